#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "level/rows/level_rows.h"

namespace ornivale {

// The folder view's report list view of levels: a virtual list, which asks
// for each cell as it draws it, so that a folder of thousands of levels
// shows at once; its items are the rows given, in the folder's order or
// sorted by a column.
class LevelListView {
 public:
  // Makes the list view as the child `id` of `parent`, with its columns.
  bool Create(HWND parent, HINSTANCE instance, int id);
  HWND hwnd() const { return list_; }
  void ScaleColumns(UINT dpi);

  // Shows `rows` in place of what it showed, those of `selected` paths
  // selected again, in the order of the column last sorted by. The rows
  // must stay where they are until the next Show.
  void Show(const std::vector<LevelRow>& rows, const std::vector<std::string>& selected);
  // Shows the row's cells anew.
  void ShowRow(std::size_t row);
  // Puts the rows in the order of the column sorted by again, their
  // selection kept, once their cells changed.
  void Resort();
  // Answers the list view's question for a cell's text.
  void TellCell(NMLVDISPINFOW& cell);

  // Whether the selection changes because this view sets it again after
  // a new order or new rows: no change of the user's.
  bool KeepingSelection() const { return keeping_selection_; }
  std::vector<std::size_t> SelectedRows() const;
  std::size_t SelectedCount() const;
  // The row of `item`, if it shows one.
  std::optional<std::size_t> RowAt(int item) const;
  // The row that Enter acts on: the focused one where it is selected, or
  // else the first selected.
  std::optional<std::size_t> ActiveRow() const;
  void SelectAll();
  // Sorts by `column`, or the other way round when it is sorted by it.
  void SortBy(int column);
  // Back to the folder's order.
  void Unsort();

 private:
  void Sort();
  void Select(const std::vector<std::size_t>& rows);
  void ShowSortArrow();

  HWND list_ = nullptr;
  const std::vector<LevelRow>* rows_ = nullptr;
  std::vector<std::size_t> order_;    // each item's row
  std::vector<std::size_t> item_of_;  // each row's item
  int sorted_by_ = -1;
  bool ascending_ = true;
  bool keeping_selection_ = false;
};

}  // namespace ornivale
