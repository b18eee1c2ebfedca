#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Reading windows the way a user's eyes would, from this process or another:
// every query has a timeout, so a hung window fails a test instead of
// hanging it.
namespace ornivale::gui_test {

inline constexpr DWORD kQueryTimeoutMs = 5000;

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
std::vector<std::wstring> ListBoxLines(HWND list);
std::vector<std::wstring> ComboBoxLines(HWND combo);
int ComboSelection(HWND combo);

// The direct children of `parent` in their order among its children (the
// order of creation, which is the tab order and the one screen readers
// follow).
std::vector<HWND> ChildrenInOrder(HWND parent);

// The visible top-level dialogs (#32770) of process `process_id`.
std::vector<HWND> DialogsOf(DWORD process_id);
// The first visible dialog of the process titled `title`, waiting up to
// `timeout_ms` for it; null if none came.
HWND WaitForDialog(DWORD process_id, const std::wstring& title,
                   DWORD timeout_ms);

// A message box as it shows itself.
struct MessageBoxContents {
  std::wstring title;
  std::wstring text;
  HICON icon = nullptr;  // meaningful inside the box's own process only
};
MessageBoxContents ReadMessageBox(HWND box);

// Polls `condition` until it holds or `timeout_ms` passes.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms);

}  // namespace ornivale::gui_test
