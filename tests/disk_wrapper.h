#pragma once

#include <map>
#include <optional>
#include <string>

#include "level/ports/disk.h"

namespace ornivale::testing {

// A disk that sends every call on to another, the system's own unless told
// otherwise: a test overrides only what it changes. Variables set in
// `environment` are answered here and never reach the real environment.
class DiskWrapper : public Disk {
 public:
  explicit DiskWrapper(Disk& target = Disk::Default()) : target_(target) {}

  LevelStatus Open(const std::string& path, OpenMode mode,
                   std::unique_ptr<LevelFile>* file) override {
    return target_.Open(path, mode, file);
  }
  bool Exists(const std::string& path) override { return target_.Exists(path); }
  LevelStatus OpenInput(const std::string& path, std::unique_ptr<Input>* input) override {
    return target_.OpenInput(path, input);
  }
  LevelStatus OpenStandardInput(std::unique_ptr<Input>* input) override {
    return target_.OpenStandardInput(input);
  }
  LevelStatus Append(const std::string& path, const std::string& text) override {
    return target_.Append(path, text);
  }
  bool StandardOutputClosed() override { return target_.StandardOutputClosed(); }
  LevelStatus Rewrite(const std::string& path, const Rewriting& keep) override {
    return target_.Rewrite(path, keep);
  }
  LevelStatus CheckAppendable(const std::string& path) override {
    return target_.CheckAppendable(path);
  }
  LevelStatus IsFolder(const std::string& path, bool* is_folder) override {
    return target_.IsFolder(path, is_folder);
  }
  LevelStatus ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) override {
    return target_.ListFolder(folder, entries);
  }
  const char* Separators() override { return target_.Separators(); }
  bool ExpandsWildcards() override { return target_.ExpandsWildcards(); }
  bool CanNameAFile(const std::string& path) override { return target_.CanNameAFile(path); }
  bool IsAbsolute(const std::string& path) override { return target_.IsAbsolute(path); }
  std::string FullPath(const std::string& path) override { return target_.FullPath(path); }
  std::string PathKey(const std::string& full_path) override {
    return target_.PathKey(full_path);
  }
  std::optional<std::string> Environment(const char* name) override {
    const auto set = environment.find(name);
    if (set != environment.end()) return set->second;
    return target_.Environment(name);
  }
  LevelStatus DefaultHistoryPath(std::string* path) override {
    return target_.DefaultHistoryPath(path);
  }
  int64_t NowMilliseconds() override { return target_.NowMilliseconds(); }
  void Pause(int milliseconds) override { target_.Pause(milliseconds); }

  std::map<std::string, std::string> environment;

 private:
  Disk& target_;
};

// Bytes from a string, a chunk at a time as a file or a pipe gives them.
class StringInput : public Input {
 public:
  StringInput(std::string name, std::string bytes)
      : Input(std::move(name)), bytes_(std::move(bytes)) {}
  LevelStatus Read(char* buffer, std::size_t capacity, std::size_t* count) override;

 private:
  std::string bytes_;
  std::size_t at_ = 0;
};

// A disk whose standard input holds `input`.
class InputDisk : public DiskWrapper {
 public:
  InputDisk(std::string input, Disk& target) : DiskWrapper(target), input_(std::move(input)) {}
  LevelStatus OpenStandardInput(std::unique_ptr<Input>* input) override {
    *input = std::make_unique<StringInput>("standard input", input_);
    return {};
  }

 private:
  std::string input_;
};

}  // namespace ornivale::testing
