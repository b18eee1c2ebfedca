#include "tests/gui/window_queries.h"

namespace ornivale::gui_test {
namespace {

LRESULT Query(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG,
                           kQueryTimeoutMs, &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

// Texts of entries 0..count-1, each read with a length and a text message.
std::vector<std::wstring> Lines(HWND window, UINT count_message,
                                UINT length_message, UINT text_message) {
  std::vector<std::wstring> lines;
  const LRESULT count = Query(window, count_message, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = Query(window, length_message, i, 0);
    std::wstring text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1,
                      L'\0');
    const LRESULT copied = Query(window, text_message, i,
                                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    lines.push_back(text);
  }
  return lines;
}

struct DialogSearch {
  DWORD process_id;
  std::vector<HWND> found;
};

// A named CALLBACK, not a lambda: 32-bit Windows calls it as stdcall.
BOOL CALLBACK CollectDialog(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<DialogSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search.process_id && IsWindowVisible(window) &&
      ClassName(window) == L"#32770") {
    search.found.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> ChildrenInOrder(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

std::wstring WindowText(HWND window) {
  const LRESULT length = Query(window, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied =
      Query(window, WM_GETTEXT, text.size(),
            reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::vector<std::wstring> ListBoxLines(HWND list) {
  return Lines(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<std::wstring> ComboBoxLines(HWND combo) {
  return Lines(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int ComboSelection(HWND combo) {
  return static_cast<int>(Query(combo, CB_GETCURSEL, 0, 0));
}

std::vector<HWND> DialogsOf(DWORD process_id) {
  DialogSearch search{process_id, {}};
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForDialog(DWORD process_id, const std::wstring& title,
                   DWORD timeout_ms) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND dialog : DialogsOf(process_id)) {
          if (WindowText(dialog) == title) {
            found = dialog;
            return true;
          }
        }
        return false;
      },
      timeout_ms);
  return found;
}

MessageBoxContents ReadMessageBox(HWND box) {
  MessageBoxContents contents;
  contents.title = WindowText(box);
  contents.text = WindowText(GetDlgItem(box, 0xFFFF));
  for (HWND child = GetWindow(box, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    if (lstrcmpiW(ClassName(child).c_str(), L"Static") == 0 &&
        (style & SS_TYPEMASK) == SS_ICON) {
      contents.icon =
          reinterpret_cast<HICON>(Query(child, STM_GETICON, 0, 0));
    }
  }
  return contents;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(20);
  }
}

}  // namespace ornivale::gui_test
