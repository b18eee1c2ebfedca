#include "tests/gui/level_files.h"

#include <algorithm>

#include "disk/wide_text.h"

namespace ornivale::gui_test {

Bytes LevelBytes(uint16_t lara, uint16_t weather,
                 std::array<uint32_t, 3> payloads,
                 std::array<uint8_t, 4> version) {
  Bytes out = testing::MakeLevel(lara, weather, payloads[0], payloads[1],
                                 payloads[2]);
  std::copy(version.begin(), version.end(), out.begin());
  return out;
}

std::size_t FlagsOffset(std::array<uint32_t, 3> payloads) {
  return 34 + payloads[0] + payloads[1] + payloads[2];
}

Bytes ReadBytes(const std::wstring& path) {
  return testing::ReadAll(Narrow(path));
}

std::vector<std::wstring> LoadLogLines(const std::wstring& path) {
  return {L"Opening " + path + L"...", L"File opened", L"Reading textures...",
          L"Done"};
}

TempFolder::TempFolder(const std::wstring& name_part) : dir_(Narrow(name_part)) {}

std::wstring TempFolder::Write(const std::wstring& name,
                               const Bytes& bytes) const {
  return Wide(dir_.Write(Narrow(name), bytes));
}

std::wstring TempFolder::Path() const { return Wide(dir_.Path()); }

}  // namespace ornivale::gui_test
