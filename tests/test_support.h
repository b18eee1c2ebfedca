#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "level/edit/level_access.h"
#include "level/history/records.h"
#include "level/ports/disk.h"
#include "level/ports/level_status.h"
#include "level/window_services.h"

namespace ornivale::testing {

using Bytes = std::vector<uint8_t>;

// Builds level files byte by byte, in file order.
class LevelBytes {
 public:
  LevelBytes& Raw(const Bytes& bytes);
  LevelBytes& Word(uint16_t value);
  LevelBytes& Dword(uint32_t value);
  LevelBytes& Version(uint32_t value = 3428948) { return Dword(value); }
  LevelBytes& Counts(uint16_t a = 1, uint16_t b = 2, uint16_t c = 3);
  // A texture block: its header, then `payload` bytes of filler.
  LevelBytes& Block(int32_t packed_size, uint32_t payload);
  LevelBytes& Flags(uint16_t lara, uint16_t weather);
  // What a TRC level keeps after its flags, as far as `length` bytes of it:
  // 28 zero bytes of padding, two equal sizes of its level data, a zero
  // word, its room count, and its one room, which begins with "XELA" and
  // holds `room_bytes` bytes.
  LevelBytes& TrcTail(std::size_t length = kWholeTail, uint32_t room_bytes = 16);
  Bytes Build() const { return bytes_; }

  static constexpr std::size_t kWholeTail = 68;

 private:
  Bytes bytes_;
};

// A TRC level with the given payload sizes and flags, followed by `tail`
// bytes of what a TRC level keeps after them (all of it by default, none
// for a level cut right after its flags).
Bytes MakeLevel(uint16_t lara, uint16_t weather, uint32_t p1 = 0,
                uint32_t p2 = 0, uint32_t p3 = 0,
                std::size_t tail = LevelBytes::kWholeTail);

// Expects `status` to be the failure `expected`: its code, path, part,
// offset (when `expected` gives one) and reason (when it gives one).
void ExpectStatus(const LevelStatus& status, const LevelStatus& expected);

// A window that records what the core asks of it.
class RecordingWindow : public WindowServices {
 public:
  struct Message {
    std::string text;
    std::string title;
    MessageIcon icon;
  };

  void AddLog(const std::string& text) override { log.push_back(text); }
  void SetFlagSelection(FlagList list, int position) override {
    (list == FlagList::c1 ? c1 : c2) = position;
  }
  int GetFlagSelection(FlagList list) const override {
    return list == FlagList::c1 ? c1 : c2;
  }
  std::string GetLevelPath() const override { return path; }
  void ShowMessage(const std::string& text, const std::string& title,
                   MessageIcon icon) override {
    messages.push_back({text, title, icon});
  }

  std::vector<std::string> log;
  int c1 = -1;
  int c2 = -1;
  std::string path = "No file opened";
  std::vector<Message> messages;
};

// A folder of its own for each test, removed afterwards.
class TempDir {
 public:
  // `name_part` goes into the folder's name; it may hold any characters.
  explicit TempDir(const std::string& name_part = "ornivale-test");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The UTF-8 path of `name` inside the folder.
  std::string File(const std::string& name) const;
  std::string Write(const std::string& name, const Bytes& bytes) const;
  std::string Path() const;

 private:
  std::filesystem::path dir_;
};

std::filesystem::path FsPath(const std::string& utf8);
Bytes ReadAll(const std::string& path);
bool Exists(const std::string& path);

// Wine's relay log, which a test run with RELAY_LOG (cmake/OrnivaleTests.cmake)
// writes to the file ORNIVALE_RELAY_LOG names, with the programs it starts:
// what it gained since this object was made. It grows by megabytes a test.
class RelayLog {
 public:
  RelayLog();
  std::string Since() const;

 private:
  std::string path_;  // through drive Z:
  std::streamoff from_ = 0;
};

// LevelFile::Read of the file that holds `bytes`: CutShort where it ends
// first.
// The stretches of `bytes` that a rewrite keeps, in order, or ReadFailed
// where one lies past their end.
LevelStatus KeptBytes(const Bytes& bytes, const std::vector<Stretch>& kept, const std::string& path,
                      Bytes* out);
LevelStatus ReadBytes(const Bytes& bytes, int64_t offset, uint8_t* out, std::size_t count,
                      const std::string& path);

// Level files in memory, with failures to order: what a disk does rarely.
// Each file has a stamp: an index that a new file at its path changes, and
// a last-write time that every change moves on. The history, inputs and the
// environment are in memory too.
class MemoryDisk : public Disk {
 public:
  struct Stats {
    int opens_read_only = 0;
    int opens_held = 0;          // for an edit
    int opens_for_writing = 0;   // a held file's, once a change is due
    int open_now = 0;
    int reads = 0;
    int syncs = 0;
    int stamps_of_path = 0;
    int appends = 0;
    int rewrites = 0;
    // Each write as (offset, byte count).
    std::vector<std::pair<int64_t, std::size_t>> writes;
  };

  // Changes the bytes of the file at `path`, or makes it, as another
  // program's write would.
  void Put(const std::string& path, Bytes bytes);
  // Puts a new file at `path`, as a rename over it would; a file open
  // there keeps the old one.
  void Replace(const std::string& path, Bytes bytes);
  // Deletes the file at `path` and makes a new one there with the index the
  // deleted one had, as ext4 gives a file made right after a deletion.
  void Recreate(const std::string& path, Bytes bytes);
  // The file at `path` as the system tells it.
  FileStamp Stamp(const std::string& path) const { return StampOf(*files_.at(path)); }
  // Sets the last-write time of the file at `path` back to `modified`, as a
  // copy made with its time (cp -p) does.
  void SetModified(const std::string& path, int64_t modified) {
    files_.at(path)->modified = modified;
  }
  // Takes the file at `path` away, as its deletion would.
  void Remove(const std::string& path) { files_.erase(path); }
  // Gives each of the two files the other's path, as two renames would.
  void SwapNames(const std::string& a, const std::string& b) { std::swap(files_.at(a), files_.at(b)); }
  const Bytes& Get(const std::string& path) const { return files_.at(path)->bytes; }
  // The file at `path` as text; empty when there is none.
  std::string Text(const std::string& path) const;

  LevelStatus Open(const std::string& path, OpenMode mode,
                   std::unique_ptr<LevelFile>* file) override;
  bool Exists(const std::string& path) override { return files_.count(path) != 0; }
  LevelStatus OpenInput(const std::string& path, std::unique_ptr<Input>* input) override;
  LevelStatus OpenStandardInput(std::unique_ptr<Input>* input) override;
  LevelStatus Append(const std::string& path, const std::string& text) override;
  bool StandardOutputClosed() override { return output_closed; }
  LevelStatus Rewrite(const std::string& path, const Rewriting& keep) override;
  LevelStatus CheckAppendable(const std::string& path) override;
  // A folder holds the files whose paths begin with its own and a "/".
  LevelStatus IsFolder(const std::string& path, bool* is_folder) override;
  LevelStatus ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) override;
  const char* Separators() override { return "/"; }
  bool ExpandsWildcards() override { return wildcards; }
  bool CanNameAFile(const std::string& path) override;
  bool IsAbsolute(const std::string& path) override { return path.rfind('/', 0) == 0; }
  // Its own folder is the root, "".
  std::string FullPath(const std::string& path) override {
    if (path == ".") return {};
    return path.rfind("./", 0) == 0 ? path.substr(2) : path;
  }
  std::string PathKey(const std::string& full_path) override { return full_path; }
  std::optional<std::string> Environment(const char* name) override;
  LevelStatus DefaultHistoryPath(std::string* path) override;
  int64_t NowMilliseconds() override { return ++clock_ms_; }
  // The clock's time, read without moving it on.
  int64_t clock_ms() const { return clock_ms_; }
  // Time passes at once.
  void Pause(int milliseconds) override { clock_ms_ += milliseconds; }

  // The history's file, where no ORNIVALE_HISTORY says otherwise.
  static constexpr const char* kHistory = "/state/ornivale/history.jsonl";

  bool fail_open_for_write = false;  // as a read-only file: held, never written
  bool held_by_another = false;      // every open: in use
  bool fail_write = false;
  bool fail_sync = false;
  bool fail_close = false;
  bool fail_read_back = false;  // reads after a write fail
  bool fail_stamp_of_path = false;
  bool fail_append = false;
  // The clock's time until which a compaction holds the history.
  int64_t compacting_until_ms = 0;
  bool wildcards = false;
  bool output_closed = false;  // standard output's reader has gone  // as Windows' console: names with * and ? are expanded
  // Run before and after each write, as another program might: they may
  // change the file's bytes or length.
  std::function<void(Bytes&)> before_write;
  std::function<void(Bytes&)> after_write;
  // Standard input's bytes; none at all when it is closed.
  std::optional<std::string> standard_input = std::string();
  std::map<std::string, std::string> environment;
  Stats stats;

 private:
  struct Entry {
    Bytes bytes;
    int64_t modified = 0;
    uint64_t index = 0;
    int64_t born = 0;
  };
  class File;
  FileStamp StampOf(const Entry& entry) const;

  std::map<std::string, std::shared_ptr<Entry>> files_;
  int64_t clock_ = 0;
  int64_t clock_ms_ = 1765256400000;  // 2025-12-09 05:00 UTC
  uint64_t next_index_ = 1;
};

// `set --lara LARA PATH` on `disk`, its change recorded in its history.
EditResult SetLara(MemoryDisk& disk, const std::string& path, uint16_t lara);
// The undo chain that `disk`'s history holds of the level at `path`; every
// line of it readable.
std::vector<ChangeDetails> RecordedChain(MemoryDisk& disk, const std::string& path);

}  // namespace ornivale::testing
