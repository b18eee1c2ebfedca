// Any bytes as a level: the scan must not crash, hang, read outside the file
// or write to it; a write after it changes only the two bytes of each value
// given, never a level with Tomb Raider IV data (any zlib stream after a
// packed size), and never the file's length. The window's commands run on
// the same bytes under a ".trc" name.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "level/flag_save.h"
#include "level/level4.h"
#include "level/level_access.h"
#include "level/level_scan.h"

namespace {

using ornivale::FileStamp;
using ornivale::FlagList;
using ornivale::LevelFile;
using ornivale::LevelStatus;
using ornivale::MessageIcon;
using ornivale::OpenMode;

class CheckedFile : public LevelFile {
 public:
  CheckedFile(std::vector<uint8_t>& bytes, bool writable)
      : LevelFile("fuzz.trc", FileStamp{static_cast<int64_t>(bytes.size()), 0, 0, 0}),
        bytes_(bytes),
        writable_(writable) {}
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
  bool writable_;
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

// Whether Tomb Raider IV level data could begin at `offset`: a packed size
// above zero, then any zlib header that RFC 1950 allows.
bool MayBeTr4LevelData(const std::vector<uint8_t>& bytes, int64_t offset) {
  if (offset < 0 || offset + 10 > static_cast<int64_t>(bytes.size())) return false;
  const uint8_t* head = bytes.data() + offset;
  const bool packed = head[4] | head[5] | head[6] | head[7];
  const uint8_t cmf = head[8];
  const uint8_t flg = head[9];
  return packed && (cmf & 0x0F) == 8 && (cmf >> 4) < 8 && !(flg & 0x20) &&
         ((cmf << 8) | flg) % 31 == 0;
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

  // The value API: the Lara type only, then the weather only, then both.
  const ornivale::FlagChange changes[] = {
      {uint16_t{6}, std::nullopt}, {std::nullopt, uint16_t{2}}, {uint16_t{1}, uint16_t{0}}};
  for (const ornivale::FlagChange& change : changes) {
    const std::vector<uint8_t> before = bytes;
    const ornivale::LevelState state =
        ornivale::ApplyFlags(std::make_unique<CheckedFile>(bytes, true), change, nullptr);
    const int64_t pair = state.scan.flags_offset;
    if (state.ok() && MayBeTr4LevelData(before, pair)) std::abort();
    if (!state.ok() && bytes != before) std::abort();
    CheckOnlyChanged(before, bytes, pair + (change.lara ? 0 : 2),
                     pair + (change.weather ? 4 : 2));
  }

  // The window's Load and Save.
  bytes = original;
  ornivale::Level4 level([&](const std::string&, OpenMode mode,
                             std::unique_ptr<LevelFile>* opened) {
    *opened = std::make_unique<CheckedFile>(bytes, mode == OpenMode::ReadWrite);
    return LevelStatus{};
  });
  Window window;
  level.OpenLevel("fuzz.trc", window);
  if (bytes != original) std::abort();
  window.c2 = 4;
  window.c1 = 2;
  ornivale::SaveFlags(level, window);
  const int64_t pair = level.LastScan() ? level.FlagsPos() - 1 : 0;
  if (bytes != original && MayBeTr4LevelData(original, pair)) std::abort();
  CheckOnlyChanged(original, bytes, pair, level.LastScan() ? pair + 4 : 0);
  return 0;
}
