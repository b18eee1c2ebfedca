#pragma once

#include <map>
#include <memory>
#include <string>

#include "level/ports/disk.h"
#include "tests/test_support.h"

namespace ornivale::testing {

// Files in memory that a crash can cut short, as a power cut does: each
// file keeps what was synced (its bytes and its last-write time) apart from
// what was written since. At the
// call numbered `crash_at` (from 1; each open, read, write, sync, close,
// look and append is one, an append two: its write and its sync; a
// rewrite three: the new file's write, its sync and the rename) the
// system stops: what was not synced is dropped, and that call and every
// later one fail. Recover() starts it again on what survived.
class CrashDisk : public Disk {
 public:
  // The history's file.
  static constexpr const char* kHistory = "/h/history.jsonl";

  void Put(const std::string& path, const Bytes& bytes);
  const Bytes& Get(const std::string& path) const { return files_.at(path)->now; }
  std::string Text(const std::string& path) const;
  void Recover() { crashed_ = false; crash_at = 0; }
  bool crashed() const { return crashed_; }

  // 0: never.
  int crash_at = 0;
  // The calls made so far.
  int calls = 0;

  LevelStatus Open(const std::string& path, OpenMode mode,
                   std::unique_ptr<LevelFile>* file) override;
  bool Exists(const std::string& path) override { return files_.count(path) != 0; }
  LevelStatus OpenInput(const std::string& path, std::unique_ptr<Input>* input) override;
  LevelStatus OpenStandardInput(std::unique_ptr<Input>* input) override;
  LevelStatus Append(const std::string& path, const std::string& text) override;
  bool StandardOutputClosed() override { return false; }
  LevelStatus Rewrite(const std::string& path, const Rewriting& keep) override;
  LevelStatus CheckAppendable(const std::string&) override { return {}; }
  LevelStatus IsFolder(const std::string&, bool* is_folder) override {
    *is_folder = false;
    return {};
  }
  LevelStatus ListFolder(const std::string& folder, std::vector<FolderEntry>*) override {
    return Failure(LevelCode::CannotOpen, folder, "Not a directory");
  }
  const char* Separators() override { return "/"; }
  bool ExpandsWildcards() override { return false; }
  bool CanNameAFile(const std::string& path) override { return !path.empty(); }
  bool IsAbsolute(const std::string& path) override { return !path.empty() && path[0] == '/'; }
  std::string FullPath(const std::string& path) override { return path; }
  std::string PathKey(const std::string& full_path) override { return full_path; }
  std::optional<std::string> Environment(const char* name) override;
  LevelStatus DefaultHistoryPath(std::string* path) override;
  int64_t NowMilliseconds() override { return 1765256400000 + calls; }
  void Pause(int) override {}

 private:
  // What was synced, the file's bytes and last-write time, and what is now.
  struct Entry {
    Bytes synced;
    int64_t synced_modified = 0;
    Bytes now;
    int64_t modified = 0;
    uint64_t index = 0;
  };
  class File;

  // Counts a call; false once the system has stopped, at this call or before.
  bool Call();

  std::map<std::string, std::shared_ptr<Entry>> files_;
  bool crashed_ = false;
  uint64_t next_index_ = 1;
};

}  // namespace ornivale::testing
