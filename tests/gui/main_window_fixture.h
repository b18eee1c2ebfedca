#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "level/level4.h"
#include "tests/gui/level_files.h"
#include "tests/gui/message_box_closer.h"
#include "ui/control_ids.h"
#include "ui/frm_main.h"
#include "ui/level_picker.h"

namespace ornivale::gui_test {

// Stands in for the Open dialog: hands back whatever the test chose.
class FakeLevelPicker final : public LevelPicker {
 public:
  std::optional<std::wstring> PickLevel(HWND owner) override {
    ++calls;
    last_owner = owner;
    return answer;
  }

  std::optional<std::wstring> answer;
  int calls = 0;
  HWND last_owner = nullptr;
};

// The real frmMain, shown, in this process, with a fake Open dialog and the
// real message boxes answered by a MessageBoxCloser.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND Window() const { return window_.hwnd(); }
  HWND Control(int id) const { return GetDlgItem(window_.hwnd(), id); }
  // Presses a button as a click would, and returns when its command ended.
  void Click(int id);
  // Load with the Open dialog answering `path` (nothing: cancelled).
  void Load(const std::optional<std::wstring>& path);
  // Handles what is waiting in the thread's queue as the program's own
  // message loop would; remembers a WM_QUIT.
  void Pump();

  std::vector<std::wstring> Log() const;
  std::wstring SelectedText(int list_id) const;
  std::wstring Label() const;
  RECT ClientRectOf(int id) const;
  // Nearly white pixels on screen right of the list `list_id`, in its rows
  // and over a quarter of its width: the letters of its label.
  int LabelPixelsBeside(int list_id);

  Level4 level_;
  FakeLevelPicker picker_;
  frmMain window_{GetModuleHandleW(nullptr), level_, picker_};
  TempFolder folder_;
  MessageBoxCloser boxes_;
  bool quit_posted_ = false;
};

}  // namespace ornivale::gui_test
