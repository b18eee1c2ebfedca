// Any bytes as a level: the scan must not crash, hang, read outside the file
// or write to it; an edit changes only the two bytes of each value given,
// never a level with anything but zero bytes in the padding after its flags
// (Tomb Raider IV data among them: any zlib stream after a packed size) or
// with a negative block size, and never the file's length. The window's
// commands run on the same bytes under a ".trc" name.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/quiet_disk.h"
#include "level/edit/level_access.h"
#include "level/flag_save.h"
#include "level/format/level_scan.h"
#include "level/history/history.h"
#include "level/level4.h"

namespace {

using ornivale::FileStamp;
using ornivale::FlagList;
using ornivale::LevelFile;
using ornivale::LevelStatus;
using ornivale::MessageIcon;
using ornivale::OpenMode;

class CheckedFile : public LevelFile {
 public:
  CheckedFile(std::vector<uint8_t>& bytes, bool held)
      : LevelFile("fuzz.trc", FileStamp{static_cast<int64_t>(bytes.size()), 0, 0, 0}),
        bytes_(bytes),
        held_(held) {}
  LevelStatus OpenForWriting() override {
    if (!held_) std::abort();
    writable_ = true;
    return {};
  }
  LevelStatus CheckWritable() override { return {}; }
  LevelStatus Read(int64_t offset, uint8_t* out, std::size_t count) override {
    if (offset < 0 || offset + static_cast<int64_t>(count) > Length()) std::abort();
    std::copy_n(bytes_.begin() + offset, count, out);
    return {};
  }
  LevelStatus Write(int64_t offset, const uint8_t* data, std::size_t count) override {
    if (!writable_ || offset < 0 || offset + static_cast<int64_t>(count) > Length()) {
      std::abort();
    }
    std::copy_n(data, count, bytes_.begin() + offset);
    return {};
  }
  LevelStatus Sync() override { return {}; }
  LevelStatus Close() override { return {}; }
  LevelStatus StampOfPath(FileStamp* stamp) override {
    *stamp = Stamp();
    return {};
  }

 private:
  int64_t Length() const { return static_cast<int64_t>(bytes_.size()); }
  std::vector<uint8_t>& bytes_;
  bool held_;
  bool writable_ = false;
};

// One file, `bytes`, whatever the path; written only when held for an
// edit and then opened for writing.
class FuzzDisk : public QuietDisk {
 public:
  explicit FuzzDisk(std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  LevelStatus Open(const std::string&, OpenMode mode,
                   std::unique_ptr<LevelFile>* file) override {
    *file = std::make_unique<CheckedFile>(bytes_, mode == OpenMode::Held);
    return {};
  }

 private:
  std::vector<uint8_t>& bytes_;
};

class Window : public ornivale::WindowServices {
 public:
  void AddLog(const std::string&) override {}
  void SetFlagSelection(FlagList list, int position) override {
    if (position < -1 || position > (list == FlagList::c1 ? 2 : 4)) std::abort();
    (list == FlagList::c1 ? c1 : c2) = position;
  }
  int GetFlagSelection(FlagList list) const override {
    return list == FlagList::c1 ? c1 : c2;
  }
  std::string GetLevelPath() const override { return "fuzz.trc"; }
  void ShowMessage(const std::string&, const std::string&, MessageIcon) override {}

  int c1 = -1;
  int c2 = -1;
};

// Whether the 28 bytes after the flags at `offset`, as far as the file
// goes, are anything but zero: no TRC level keeps data there, and a Tomb
// Raider IV level keeps its level data's sizes and zlib stream there.
bool DataAfterFlags(const std::vector<uint8_t>& bytes, int64_t offset) {
  const auto size = static_cast<int64_t>(bytes.size());
  for (int64_t at = offset + 4; at >= 4 && at < std::min(size, offset + 32); ++at) {
    if (bytes[static_cast<std::size_t>(at)] != 0) return true;
  }
  return false;
}

// Whether a texture block's packed size reads as negative.
bool NegativeBlockSize(const ornivale::LevelScan& scan) {
  for (const auto& chunk : scan.header.Chunks) {
    if (chunk.PackedSize.Value < 0) return true;
  }
  return false;
}

// Only the bytes of [first, last) may differ.
void CheckOnlyChanged(const std::vector<uint8_t>& before,
                      const std::vector<uint8_t>& after, int64_t first,
                      int64_t last) {
  if (after.size() != before.size()) std::abort();
  for (std::size_t i = 0; i < after.size(); ++i) {
    const auto offset = static_cast<int64_t>(i);
    if (after[i] != before[i] && (offset < first || offset >= last)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<uint8_t> original(data, data + size);
  std::vector<uint8_t> bytes = original;

  // The edit from a command: the Lara type only, then the weather only,
  // then both.
  FuzzDisk disk(bytes);
  const ornivale::FlagChange changes[] = {
      {uint16_t{6}, std::nullopt}, {std::nullopt, uint16_t{2}}, {uint16_t{1}, uint16_t{0}}};
  const ornivale::History history = ornivale::History::Locate(disk);
  for (const ornivale::FlagChange& change : changes) {
    const std::vector<uint8_t> before = bytes;
    const ornivale::EditResult edit =
        ornivale::EditLevel({"fuzz.trc", change}, {"fuzz", history}, disk);
    const int64_t pair = edit.before.flags_offset;
    if (bytes != before &&
        (DataAfterFlags(before, pair) || NegativeBlockSize(edit.before))) {
      std::abort();
    }
    if (!edit.ok() && bytes != before) std::abort();
    CheckOnlyChanged(before, bytes, pair + (change.values[0] ? 0 : 2),
                     pair + (change.values[1] ? 4 : 2));
  }

  // The window's Load and Save.
  bytes = original;
  FuzzDisk window_disk(bytes);
  ornivale::Level4 level(window_disk);
  Window window;
  level.OpenLevel("fuzz.trc", window);
  if (bytes != original) std::abort();
  window.c2 = 4;
  window.c1 = 2;
  ornivale::SaveFlags(level, window);
  const int64_t pair = level.LastScan() ? level.FlagsPos() - 1 : 0;
  if (bytes != original &&
      (DataAfterFlags(original, pair) || NegativeBlockSize(level.LastScan()->scan))) {
    std::abort();
  }
  CheckOnlyChanged(original, bytes, pair, level.LastScan() ? pair + 4 : 0);
  return 0;
}
