#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/test_support.h"

// The core tests' level files, with the wide paths the window works in.
namespace ornivale::gui_test {

using testing::Bytes;

inline constexpr std::array<uint8_t, 4> kTrcVersion{0x54, 0x52, 0x34, 0x00};

// A level with the given payload sizes, flags and version, followed by a few
// bytes of other level data. With empty payloads the Lara type sits at
// offset 34.
Bytes LevelBytes(uint16_t lara, uint16_t weather,
                 std::array<uint32_t, 3> payloads = {0, 0, 0},
                 std::array<uint8_t, 4> version = kTrcVersion);

// Offset of the Lara type in LevelBytes(..., payloads).
std::size_t FlagsOffset(std::array<uint32_t, 3> payloads = {0, 0, 0});

Bytes ReadBytes(const std::wstring& path);

// What the activity log shows after a load of the level at `path` succeeds.
std::vector<std::wstring> LoadLogLines(const std::wstring& path);

// A fresh folder under the temporary folder, with everything in it removed
// when the object goes.
class TempFolder {
 public:
  // `name_part` goes into the folder's name (it may hold any characters).
  explicit TempFolder(const std::wstring& name_part = L"ornivale-test");

  // Writes `bytes` to the file `name` in the folder; returns its full path.
  std::wstring Write(const std::wstring& name, const Bytes& bytes) const;
  // The folder's full path.
  std::wstring Path() const;

 private:
  testing::TempDir dir_;
};

}  // namespace ornivale::gui_test
