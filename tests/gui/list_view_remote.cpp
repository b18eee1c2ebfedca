#include "tests/gui/list_view_remote.h"

#include <commctrl.h>

#include "tests/gui/window_queries.h"

namespace ornivale::gui_test {
namespace {

constexpr std::size_t kTextCapacity = 1024;

LRESULT Query(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kQueryTimeoutMs,
                           &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

// Memory lent in the process that owns a window, freed on every road.
class RemoteMemory {
 public:
  RemoteMemory(HWND window, std::size_t size) {
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    process_ =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
    if (process_) {
      base_ = static_cast<char*>(
          VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
  }
  ~RemoteMemory() {
    if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool ok() const { return base_ != nullptr; }
  char* at(std::size_t offset) const { return base_ + offset; }
  bool Put(std::size_t offset, const void* data, std::size_t size) const {
    return WriteProcessMemory(process_, base_ + offset, data, size, nullptr) != 0;
  }
  bool Get(std::size_t offset, void* data, std::size_t size) const {
    return ReadProcessMemory(process_, base_ + offset, data, size, nullptr) != 0;
  }

 private:
  HANDLE process_ = nullptr;
  char* base_ = nullptr;
};

// The list's structure first, its text after it.
constexpr std::size_t kTextOffset = 256;

std::wstring ItemText(HWND list, const RemoteMemory& memory, int item, int column) {
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.cchTextMax = static_cast<int>(kTextCapacity);
  cell.pszText = reinterpret_cast<wchar_t*>(memory.at(kTextOffset));
  if (!memory.Put(0, &cell, sizeof cell)) return {};
  const LRESULT length =
      Query(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(memory.at(0)));
  std::wstring text(kTextCapacity, L'\0');
  if (length <= 0 || !memory.Get(kTextOffset, text.data(), text.size() * sizeof(wchar_t)))
    return {};
  text.resize(static_cast<std::size_t>(length));
  return text;
}

int ColumnCount(HWND list) {
  const HWND header = reinterpret_cast<HWND>(Query(list, LVM_GETHEADER, 0, 0));
  return static_cast<int>(Query(header, HDM_GETITEMCOUNT, 0, 0));
}

}  // namespace

std::vector<std::vector<std::wstring>> ListViewRows(HWND list) {
  std::vector<std::vector<std::wstring>> rows;
  RemoteMemory memory(list, kTextOffset + kTextCapacity * sizeof(wchar_t));
  if (!memory.ok()) return rows;
  const int columns = ColumnCount(list);
  const LRESULT count = Query(list, LVM_GETITEMCOUNT, 0, 0);
  for (int item = 0; item < count; ++item) {
    std::vector<std::wstring> row;
    for (int column = 0; column < columns; ++column) {
      row.push_back(ItemText(list, memory, item, column));
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::wstring> ListViewColumns(HWND list) {
  std::vector<std::wstring> titles;
  RemoteMemory memory(list, kTextOffset + kTextCapacity * sizeof(wchar_t));
  if (!memory.ok()) return titles;
  for (int column = 0; column < ColumnCount(list); ++column) {
    LVCOLUMNW title{};
    title.mask = LVCF_TEXT;
    title.cchTextMax = static_cast<int>(kTextCapacity);
    title.pszText = reinterpret_cast<wchar_t*>(memory.at(kTextOffset));
    std::wstring text(kTextCapacity, L'\0');
    if (!memory.Put(0, &title, sizeof title) ||
        Query(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(memory.at(0))) <= 0 ||
        !memory.Get(kTextOffset, text.data(), text.size() * sizeof(wchar_t))) {
      titles.emplace_back();
      continue;
    }
    text.resize(text.find(L'\0'));
    titles.push_back(text);
  }
  return titles;
}

bool SelectListViewRows(HWND list, const std::vector<int>& items) {
  RemoteMemory memory(list, sizeof(LVITEMW));
  if (!memory.ok()) return false;
  const auto set = [&](int item, UINT state) {
    LVITEMW change{};
    change.stateMask = LVIS_SELECTED;
    change.state = state;
    return memory.Put(0, &change, sizeof change) &&
           Query(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(memory.at(0))) == TRUE;
  };
  bool ok = set(-1, 0);
  for (int item : items) ok &= set(item, LVIS_SELECTED);
  return ok;
}

std::vector<int> SelectedListViewRows(HWND list) {
  std::vector<int> rows;
  for (int item = -1;
       (item = static_cast<int>(
            Query(list, LVM_GETNEXTITEM, static_cast<WPARAM>(item), LVNI_SELECTED))) >= 0;) {
    rows.push_back(item);
  }
  return rows;
}

void ClickListViewHeader(HWND list, int column) {
  int x = 0;
  for (int i = 0; i < column; ++i) x += static_cast<int>(Query(list, LVM_GETCOLUMNWIDTH, i, 0));
  x += static_cast<int>(Query(list, LVM_GETCOLUMNWIDTH, column, 0)) / 2;
  const HWND header = reinterpret_cast<HWND>(Query(list, LVM_GETHEADER, 0, 0));
  RECT bounds{};
  GetClientRect(header, &bounds);
  const LPARAM where = MAKELPARAM(x, bounds.bottom / 2);
  PostMessageW(header, WM_MOUSEMOVE, 0, where);
  PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, where);
  PostMessageW(header, WM_LBUTTONUP, 0, where);
}

bool DoubleClickListViewRow(HWND list, int item) {
  RemoteMemory memory(list, sizeof(RECT));
  RECT bounds{LVIR_LABEL, 0, 0, 0};
  if (!memory.ok() || !memory.Put(0, &bounds, sizeof bounds) ||
      Query(list, LVM_GETITEMRECT, static_cast<WPARAM>(item),
            reinterpret_cast<LPARAM>(memory.at(0))) != TRUE ||
      !memory.Get(0, &bounds, sizeof bounds)) {
    return false;
  }
  const LPARAM where = MAKELPARAM(bounds.left + 4, (bounds.top + bounds.bottom) / 2);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, where);
  }
  return true;
}

}  // namespace ornivale::gui_test
