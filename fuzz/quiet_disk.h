#pragma once

#include <string>
#include <vector>

#include "level/ports/disk.h"

// A disk of nothing: no files, no history, no environment. A fuzz target
// gives it the one thing it tests.
class QuietDisk : public ornivale::Disk {
 public:
  using LevelStatus = ornivale::LevelStatus;

  LevelStatus Open(const std::string& path, ornivale::OpenMode,
                   std::unique_ptr<ornivale::LevelFile>*) override {
    return Missing(path);
  }
  bool Exists(const std::string&) override { return false; }
  LevelStatus OpenInput(const std::string& path,
                        std::unique_ptr<ornivale::Input>*) override {
    return Missing(path);
  }
  LevelStatus OpenStandardInput(std::unique_ptr<ornivale::Input>*) override {
    return Missing("standard input");
  }
  LevelStatus Append(const std::string& path, const std::string&) override {
    return Missing(path);
  }
  bool StandardOutputClosed() override { return false; }
  LevelStatus Rewrite(const std::string& path, const ornivale::Rewriting&) override {
    return Missing(path);
  }
  LevelStatus CheckAppendable(const std::string& path) override { return Missing(path); }
  LevelStatus IsFolder(const std::string&, bool* is_folder) override {
    *is_folder = false;
    return {};
  }
  LevelStatus ListFolder(const std::string& folder, std::vector<ornivale::FolderEntry>*) override {
    return Missing(folder);
  }
  const char* Separators() override { return "/"; }
  bool ExpandsWildcards() override { return false; }
  bool CanNameAFile(const std::string& path) override {
    return !path.empty() && path.find('\0') == std::string::npos;
  }
  bool IsAbsolute(const std::string& path) override { return !path.empty() && path[0] == '/'; }
  std::string FullPath(const std::string& path) override { return path; }
  std::string PathKey(const std::string& path) override { return path; }
  std::optional<std::string> Environment(const char* name) override {
    // No history unless a target asks for one.
    if (std::string(name) == "ORNIVALE_HISTORY") return std::string("off");
    return std::nullopt;
  }
  LevelStatus DefaultHistoryPath(std::string* path) override {
    *path = "history.jsonl";
    return {};
  }
  int64_t NowMilliseconds() override { return 0; }
  void Pause(int) override {}

 private:
  static LevelStatus Missing(const std::string& path) {
    return ornivale::Failure(ornivale::LevelCode::CannotOpen, path, "not here");
  }
};
