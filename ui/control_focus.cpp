#include "ui/control_focus.h"

namespace ornivale {

void ControlFocus::OnActivate(HWND window, WPARAM wparam) {
  if (LOWORD(wparam) == WA_INACTIVE) {
    const HWND focus = GetFocus();
    if (focus && IsChild(window, focus)) focused_ = focus;
  } else if (!HIWORD(wparam)) {
    Restore();
  }
}

void ControlFocus::Restore() const { SetFocus(focused_ && IsWindow(focused_) ? focused_ : first_); }

void ControlFocus::OnNextDialogControl(HWND window, WPARAM wparam, LPARAM lparam) {
  const HWND target = LOWORD(lparam) ? reinterpret_cast<HWND>(wparam)
                                     : GetNextDlgTabItem(window, GetFocus(), wparam != 0);
  if (target && IsChild(window, target)) SetFocus(target);
}

}  // namespace ornivale
