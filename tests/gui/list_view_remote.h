#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A report list view of another process, read and selected from outside:
// its messages carry pointers, so they point into memory lent in that
// process.
namespace ornivale::gui_test {

// Each row's cells, in the list's order, each column's text.
std::vector<std::vector<std::wstring>> ListViewRows(HWND list);
// The list's column titles, in their order.
std::vector<std::wstring> ListViewColumns(HWND list);
// Selects the rows at `items` and only those, as clicks with Ctrl would.
bool SelectListViewRows(HWND list, const std::vector<int>& items);
// The rows selected, in the list's order.
std::vector<int> SelectedListViewRows(HWND list);
// Clicks the header of `column` with the mouse's left button.
void ClickListViewHeader(HWND list, int column);
// Double-clicks the row at `item` with the mouse's left button; false if
// its place can't be read.
bool DoubleClickListViewRow(HWND list, int item);

}  // namespace ornivale::gui_test
