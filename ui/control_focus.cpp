#include "ui/control_focus.h"

namespace ornivale {

bool ControlFocus::Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) focused_ = focus;
      } else if (!HIWORD(wparam)) {
        Restore();
      }
      return true;
    case WM_SETFOCUS:
      Restore();
      return true;
    case WM_NEXTDLGCTL: {
      const HWND target = LOWORD(lparam) ? reinterpret_cast<HWND>(wparam)
                                         : GetNextDlgTabItem(window, GetFocus(), wparam != 0);
      if (target && IsChild(window, target)) SetFocus(target);
      return true;
    }
    default:
      return false;
  }
}

void ControlFocus::Restore() const { SetFocus(focused_ && IsWindow(focused_) ? focused_ : first_); }

}  // namespace ornivale
