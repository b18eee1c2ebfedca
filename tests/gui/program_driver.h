#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/gui/window_queries.h"
#include "tests/test_support.h"

// Uses a running ornivale.exe from outside, the way a user would: presses
// its buttons, types into its Open dialog, reads its controls and answers
// its message boxes. Every wait has a timeout.
namespace ornivale::gui_test {

// Generous, for a busy machine: every wait ends as soon as what it waits
// for is there.
inline constexpr DWORD kWaitMs = 30000;

// A path as Windows programs under Wine take it: a Linux path becomes one on
// drive Z:, a Windows path stays as it is.
std::wstring WindowsPath(const std::wstring& path);

// The visible main window of `process_id` (any process when 0), waiting up
// to `timeout_ms`; null if it did not come.
HWND WaitForMainWindow(DWORD process_id, DWORD timeout_ms);

// The visible folder view of `process_id` (any process when 0), once it
// has read its rows, waiting up to `timeout_ms`; null if it did not come.
HWND WaitForFolderView(DWORD process_id, DWORD timeout_ms);

// The calls of NotifyWinEvent made since this log was made, as Wine's
// relay log shows them: what screen readers are told, which no hook in
// another process sees under Wine. The test program runs with that log
// going to the file ORNIVALE_RELAY_LOG names, and the programs it starts
// with it.
class WinEventLog {
 public:
  // How many times a program raised `event` for `window` so far.
  int Count(DWORD event, HWND window) const;

 private:
  testing::RelayLog log_;
};

// A program this test started. Ending it ends only that process.
class StartedProgram {
 public:
  // Each of `arguments` is passed quoted, whole; none may hold a quote or
  // end in a backslash.
  explicit StartedProgram(const std::wstring& exe,
                          const std::vector<std::wstring>& arguments = {});
  ~StartedProgram();
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  bool started() const { return process_.hProcess != nullptr; }
  DWORD process_id() const { return process_.dwProcessId; }
  bool WaitForExit(DWORD timeout_ms, DWORD* exit_code = nullptr) const;

 private:
  PROCESS_INFORMATION process_{};
};

class MainWindowDriver {
 public:
  explicit MainWindowDriver(HWND main_window);

  HWND window() const { return window_; }
  DWORD process_id() const { return process_id_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }

  // Presses a button with a posted click, so a modal dialog that the command
  // opens cannot hold the driver.
  void Press(int button_id) const;
  // Presses Load, types `path` into the Open dialog's file name box and
  // presses Open; on failure returns why.
  std::optional<std::string> LoadThroughDialog(const std::wstring& path) const;
  // Presses Load and then Cancel in the Open dialog.
  std::optional<std::string> CancelLoad() const;
  // Holds down each key of `chord` in turn, then lets them go in reverse,
  // as the keyboard would, to the window brought to the front: {VK_CONTROL,
  // 'R'} is Ctrl+R.
  void PressKeys(const std::vector<WORD>& chord) const;
  // Presses `chord` until `done` holds, up to kWaitMs; false if it never
  // did. Under Wine a chord pressed while the window is still coming to the
  // front can lose its Alt or Ctrl (the X11 driver lets go of modifiers
  // that X never saw pressed once it learns of the focus), so a press that
  // shows nothing for a while is made again: only for chords that do no
  // harm when pressed twice.
  bool PressKeysUntil(const std::vector<WORD>& chord,
                      const std::function<bool()>& done) const;
  // The control that has the keyboard focus in the program.
  HWND FocusedControl() const;
  // Makes `position` the selection of a flag list, and tells its window, as
  // picking it would.
  void Select(int list_id, int position) const;

  std::vector<std::wstring> Log() const;
  std::wstring SelectedText(int list_id) const;
  std::wstring Label() const;
  // Waits until the log has `count` lines; false on timeout.
  bool WaitForLogLines(std::size_t count) const;

  // Waits for a message box titled `title`, reads it and presses OK.
  std::optional<MessageBoxContents> AnswerMessageBox(
      const std::wstring& title) const;
  // Cancels every dialog the program still shows.
  void CloseDialogs() const;

 private:
  HWND window_;
  DWORD process_id_ = 0;
};

}  // namespace ornivale::gui_test
