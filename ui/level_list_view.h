#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "ui/level_rows.h"

namespace ornivale {

// The folder view's report list view of levels: an item for each row, in
// the folder's order or sorted by a column, each knowing its row by its
// index among the rows given.
class LevelListView {
 public:
  // Makes the list view as the child `id` of `parent`, with its columns.
  bool Create(HWND parent, HINSTANCE instance, int id);
  HWND hwnd() const { return list_; }
  void ScaleColumns(UINT dpi);

  // Shows `rows` in place of what it showed, those of `selected` paths
  // selected again, in the order of the column last sorted by.
  void Show(const std::vector<LevelRow>& rows, const std::vector<std::string>& selected);
  // Shows the row's cells anew.
  void ShowRow(std::size_t row);
  std::vector<std::size_t> SelectedRows() const;
  std::size_t SelectedCount() const;
  void SelectAll();
  // Sorts by `column`, or the other way round when it is sorted by it.
  void SortBy(int column);
  // Back to the folder's order.
  void Unsort();

 private:
  static int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM self);
  void Sort();
  // The cells after the first of list item `item`, which shows `row`.
  void ShowCells(int item, std::size_t row);
  void ShowSortArrow();

  HWND list_ = nullptr;
  const std::vector<LevelRow>* rows_ = nullptr;
  int sorted_by_ = -1;
  bool ascending_ = true;
};

}  // namespace ornivale
