#include "ui/level_list_view.h"

#include <algorithm>
#include <numeric>
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
  list_ = CreateWindowExW(
      // Its text, never shown, is what screen readers name it by.
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"Levels",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA, 0, 0,
      0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
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
  keeping_selection_ = true;
  rows_ = &rows;
  order_.resize(rows.size());
  std::iota(order_.begin(), order_.end(), std::size_t{0});
  SetState(list_, -1, LVIS_SELECTED, 0);
  SendMessageW(list_, LVM_SETITEMCOUNT, rows.size(), LVSICF_NOSCROLL);
  Sort();
  const std::unordered_set<std::string> again(selected.begin(), selected.end());
  std::vector<std::size_t> reselected;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (again.count(rows[row].path) != 0) reselected.push_back(row);
  }
  Select(reselected);
  // The keyboard starts at the first row, as in Explorer.
  if (!rows.empty()) SetState(list_, 0, LVIS_FOCUSED, LVIS_FOCUSED);
  keeping_selection_ = false;
}

void LevelListView::ShowRow(std::size_t row) {
  if (row >= item_of_.size()) return;
  const auto item = static_cast<WPARAM>(item_of_[row]);
  SendMessageW(list_, LVM_REDRAWITEMS, item, static_cast<LPARAM>(item));
}

void LevelListView::Resort() {
  if (sorted_by_ < 0) return;
  keeping_selection_ = true;
  const std::vector<std::size_t> selected = SelectedRows();
  SetState(list_, -1, LVIS_SELECTED, 0);
  Sort();
  Select(selected);
  keeping_selection_ = false;
}

void LevelListView::TellCell(NMLVDISPINFOW& cell) {
  const auto item = static_cast<std::size_t>(cell.item.iItem);
  if (!(cell.item.mask & LVIF_TEXT) || !rows_ || item >= order_.size()) return;
  const std::wstring text =
      Wide(CellText((*rows_)[order_[item]], static_cast<RowColumn>(cell.item.iSubItem)));
  lstrcpynW(cell.item.pszText, text.c_str(), cell.item.cchTextMax);
}

std::vector<std::size_t> LevelListView::SelectedRows() const {
  std::vector<std::size_t> rows;
  for (int item = -1;
       (item = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(item),
                                             LVNI_SELECTED))) != -1;) {
    if (static_cast<std::size_t>(item) < order_.size()) rows.push_back(order_[item]);
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
  Resort();
  ShowSortArrow();
}

void LevelListView::Unsort() {
  sorted_by_ = -1;
  ShowSortArrow();
}

void LevelListView::Sort() {
  if (rows_ && sorted_by_ >= 0) {
    const auto column = static_cast<RowColumn>(sorted_by_);
    const std::vector<LevelRow>& rows = *rows_;
    // Rows alike in the column keep the folder's order, either way round.
    std::sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
      const LevelRow& first = rows[ascending_ ? a : b];
      const LevelRow& second = rows[ascending_ ? b : a];
      if (RowBefore(first, second, column)) return true;
      return !RowBefore(second, first, column) && a < b;
    });
  } else {
    std::sort(order_.begin(), order_.end());
  }
  item_of_.assign(order_.size(), 0);
  for (std::size_t item = 0; item < order_.size(); ++item) item_of_[order_[item]] = item;
  InvalidateRect(list_, nullptr, TRUE);
}

std::optional<std::size_t> LevelListView::RowAt(int item) const {
  if (item < 0 || static_cast<std::size_t>(item) >= order_.size()) return std::nullopt;
  return order_[static_cast<std::size_t>(item)];
}

std::optional<std::size_t> LevelListView::ActiveRow() const {
  int item = static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED | LVNI_SELECTED));
  if (item < 0) {
    item = static_cast<int>(
        SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  }
  return RowAt(item);
}

void LevelListView::Select(const std::vector<std::size_t>& rows) {
  for (std::size_t row : rows) {
    if (row < item_of_.size()) {
      SetState(list_, static_cast<int>(item_of_[row]), LVIS_SELECTED, LVIS_SELECTED);
    }
  }
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
