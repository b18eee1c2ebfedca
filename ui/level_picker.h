#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace ornivale {

// Asks the user which level to open: frmMain's `cd`. Tests put a fake in its
// place.
class LevelPicker {
 public:
  virtual ~LevelPicker() = default;
  // The full path of the chosen file, or nothing when the user cancels.
  virtual std::optional<std::wstring> PickLevel(HWND owner) = 0;
};

// The Open dialog of Windows' common dialogs, titled "Open level" and
// showing *.trc files.
class OpenLevelDialog final : public LevelPicker {
 public:
  std::optional<std::wstring> PickLevel(HWND owner) override;
};

}  // namespace ornivale
