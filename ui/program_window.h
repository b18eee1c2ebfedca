#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// What the program's top-level windows share: a class registered once with
// the program's icon, and a window procedure that hands each message to the
// object the window belongs to.
namespace ornivale {

// Registers the window class `name` with `procedure`, the program's icon
// and `background` (null: the window paints all of it), unless it is
// registered already; false on failure.
bool RegisterProgramWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                                HBRUSH background);

// The program's icons in a window's title bar and Alt+Tab, drawn at the
// sizes Windows shows for the window's DPI, set again for each new DPI.
class WindowIcons {
 public:
  void SetFor(HWND window, HINSTANCE instance, UINT dpi);

 private:
  struct Destroy {
    void operator()(HICON icon) const { DestroyIcon(icon); }
  };
  using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, Destroy>;
  Icon big_;
  Icon small_;
};

// The window procedure of a class whose every window belongs to one object
// of `Window`, handed to CreateWindowExW as its last argument: the object
// learns its window first (Attached), then gets each message
// (HandleMessage), and last learns that the window is gone (Detached).
template <typename Window>
LRESULT CALLBACK ProgramWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->Attached(hwnd);
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    const LRESULT result = DefWindowProcW(hwnd, message, wparam, lparam);
    self->Detached();
    return result;
  }
  return self->HandleMessage(message, wparam, lparam);
}

}  // namespace ornivale
