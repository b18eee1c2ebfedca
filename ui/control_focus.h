#pragma once

#include <windows.h>

namespace ornivale {

// What a dialog does with the focus among its controls, done for a
// top-level window that is no dialog.
class ControlFocus {
 public:
  // The control that has the focus until another one had it.
  void SetFirst(HWND first) { first_ = first; }

  // WM_ACTIVATE: a message box or another window takes the focus away; it
  // goes back to the control that had it, not to the window itself.
  void OnActivate(HWND window, WPARAM wparam);
  // WM_SETFOCUS, and after the window was activated.
  void Restore() const;
  // WM_NEXTDLGCTL, which IsDialogMessage sends when a label's access key
  // is pressed: first to focus the label, then to move on to the next
  // control, its list.
  static void OnNextDialogControl(HWND window, WPARAM wparam, LPARAM lparam);

 private:
  HWND first_ = nullptr;
  HWND focused_ = nullptr;
};

}  // namespace ornivale
