#pragma once

#include <windows.h>

namespace ornivale {

// What a dialog does with the focus among its controls, done for a
// top-level window that is no dialog.
class ControlFocus {
 public:
  // The control that has the focus until another one had it.
  void SetFirst(HWND first) { first_ = first; }

  // Handles the messages of `window` that move the focus among its
  // controls; false for any other message.
  //   WM_ACTIVATE: a message box or another window takes the focus away; it
  //     goes back to the control that had it, not to the window itself.
  //   WM_SETFOCUS: the same.
  //   WM_NEXTDLGCTL, which IsDialogMessage sends when a label's access key
  //     is pressed: first to focus the label, then to move on to the next
  //     control, its list.
  bool Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void Restore() const;

  HWND first_ = nullptr;
  HWND focused_ = nullptr;
};

}  // namespace ornivale
