#include "ui/level_list_view.h"

#include <commctrl.h>

#include <unordered_set>

#include "disk/wide_text.h"

namespace ornivale {
namespace {

struct Column {
  const wchar_t* title;
  int width;  // pixels at 96 DPI
};
constexpr Column kColumns[] = {
    {L"Level", 200}, {L"Lara type", 110}, {L"Weather", 110}, {L"State", 240}};
constexpr int kColumnCount = static_cast<int>(RowColumn::Count);
static_assert(sizeof kColumns / sizeof kColumns[0] == kColumnCount);

LRESULT Send(HWND list, UINT message, WPARAM wparam, const void* data) {
  return SendMessageW(list, message, wparam, reinterpret_cast<LPARAM>(data));
}

void SetState(HWND list, int item, UINT mask, UINT state) {
  LVITEMW change{};
  change.stateMask = mask;
  change.state = state;
  Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), &change);
}

}  // namespace

bool LevelListView::Create(HWND parent, HINSTANCE instance, int id) {
  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0,
                          0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                          nullptr);
  if (!list_) return false;
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  for (int i = 0; i < kColumnCount; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(kColumns[i].title);
    column.iSubItem = i;
    Send(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), &column);
  }
  return true;
}

void LevelListView::ScaleColumns(UINT dpi) {
  for (int i = 0; i < kColumnCount; ++i) {
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i),
                 MulDiv(kColumns[i].width, static_cast<int>(dpi), 96));
  }
}

void LevelListView::Show(const std::vector<LevelRow>& rows,
                         const std::vector<std::string>& selected) {
  rows_ = &rows;
  const std::unordered_set<std::string> again(selected.begin(), selected.end());
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t row = 0; row < rows.size(); ++row) {
    const std::wstring name = Wide(rows[row].name);
    LVITEMW item{};
    item.mask = LVIF_PARAM | LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.lParam = static_cast<LPARAM>(row);
    item.pszText = const_cast<wchar_t*>(name.c_str());
    Send(list_, LVM_INSERTITEMW, 0, &item);
    ShowCells(static_cast<int>(row), row);
    if (again.count(rows[row].path)) {
      SetState(list_, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
    }
  }
  if (sorted_by_ >= 0) Sort();
  // The keyboard starts at the first row, as in Explorer.
  SetState(list_, 0, LVIS_FOCUSED, LVIS_FOCUSED);
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

void LevelListView::ShowRow(std::size_t row) {
  LVFINDINFOW find{};
  find.flags = LVFI_PARAM;
  find.lParam = static_cast<LPARAM>(row);
  ShowCells(static_cast<int>(Send(list_, LVM_FINDITEMW, WPARAM(-1), &find)), row);
}

void LevelListView::ShowCells(int item, std::size_t row) {
  for (int column = 1; column < kColumnCount; ++column) {
    const std::wstring text = Wide(CellText((*rows_)[row], static_cast<RowColumn>(column)));
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = const_cast<wchar_t*>(text.c_str());
    Send(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(item), &cell);
  }
}

std::vector<std::size_t> LevelListView::SelectedRows() const {
  std::vector<std::size_t> rows;
  for (int item = -1;
       (item = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(item),
                                             LVNI_SELECTED))) != -1;) {
    LVITEMW found{};
    found.mask = LVIF_PARAM;
    found.iItem = item;
    Send(list_, LVM_GETITEMW, 0, &found);
    rows.push_back(static_cast<std::size_t>(found.lParam));
  }
  return rows;
}

std::size_t LevelListView::SelectedCount() const {
  return static_cast<std::size_t>(SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0));
}

void LevelListView::SelectAll() { SetState(list_, -1, LVIS_SELECTED, LVIS_SELECTED); }

void LevelListView::SortBy(int column) {
  ascending_ = column == sorted_by_ ? !ascending_ : true;
  sorted_by_ = column;
  Sort();
  ShowSortArrow();
}

void LevelListView::Unsort() {
  sorted_by_ = -1;
  ShowSortArrow();
}

int CALLBACK LevelListView::CompareRows(LPARAM a, LPARAM b, LPARAM self) {
  const auto& view = *reinterpret_cast<const LevelListView*>(self);
  const LevelRow& first = (*view.rows_)[static_cast<std::size_t>(a)];
  const LevelRow& second = (*view.rows_)[static_cast<std::size_t>(b)];
  const auto column = static_cast<RowColumn>(view.sorted_by_);
  // Rows alike in the column keep the folder's order.
  int order = RowBefore(first, second, column) ? -1 : RowBefore(second, first, column) ? 1 : 0;
  if (!view.ascending_) order = -order;
  return order != 0 ? order : (a < b ? -1 : a > b ? 1 : 0);
}

void LevelListView::Sort() {
  if (!rows_) return;
  SendMessageW(list_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(this),
               reinterpret_cast<LPARAM>(&LevelListView::CompareRows));
}

void LevelListView::ShowSortArrow() {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
  for (int i = 0; i < kColumnCount; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Send(header, HDM_GETITEMW, static_cast<WPARAM>(i), &item);
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == sorted_by_) item.fmt |= ascending_ ? HDF_SORTUP : HDF_SORTDOWN;
    Send(header, HDM_SETITEMW, static_cast<WPARAM>(i), &item);
  }
}

}  // namespace ornivale
