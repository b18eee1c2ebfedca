// Any bytes as a level named "fuzz.trc": the scan must not crash, hang, read
// outside the file or write to it, and a save after it may change at most
// the four bytes of the flag pair.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "level/flag_save.h"
#include "level/level4.h"

namespace {

using ornivale::FlagList;
using ornivale::LevelFile;
using ornivale::MessageIcon;
using ornivale::OpenMode;

class CheckedFile : public LevelFile {
 public:
  CheckedFile(std::vector<uint8_t>& bytes, bool writable)
      : bytes_(bytes), writable_(writable) {}
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  void Read(int64_t offset, uint8_t* out, std::size_t count) override {
    if (offset < 0 || offset + static_cast<int64_t>(count) > Size()) std::abort();
    std::copy_n(bytes_.begin() + offset, count, out);
  }
  void Write(int64_t offset, const uint8_t* data, std::size_t count) override {
    if (!writable_ || offset < 0 || offset + static_cast<int64_t>(count) > Size()) {
      std::abort();
    }
    std::copy_n(data, count, bytes_.begin() + offset);
  }
  void Flush() override {}

 private:
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<uint8_t> original(data, data + size);
  std::vector<uint8_t> bytes = original;
  ornivale::Level4 level([&](const std::string&, OpenMode mode) {
    return std::make_unique<CheckedFile>(bytes, mode == OpenMode::ReadWrite);
  });
  Window window;
  level.OpenLevel("fuzz.trc", window);
  if (bytes != original) std::abort();

  window.c2 = 4;
  window.c1 = 2;
  ornivale::SaveFlags(level, window);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto offset = static_cast<int64_t>(i);
    const bool in_pair = level.LastScan() && offset >= level.FlagsPos() - 1 &&
                         offset <= level.FlagsPos() + 2;
    if (bytes[i] != original[i] && !in_pair) std::abort();
  }
  return 0;
}
