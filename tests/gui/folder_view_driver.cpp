// Selects two rows of the running Ornivale's folder view, then prints where
// the window is on the screen as an ImageMagick geometry (WIDTHxHEIGHT+X+Y),
// for taking its picture.
//   folder_view_driver
#include <windows.h>

#include <cstdio>

#include "tests/gui/list_view_remote.h"
#include "tests/gui/program_driver.h"
#include "ui/control_ids.h"

int wmain() {
  using namespace ornivale::gui_test;
  const HWND window = WaitForFolderView(0, 60000);
  if (!window) {
    std::fprintf(stderr, "folder_view_driver: Ornivale's folder view did not appear\n");
    return 1;
  }
  const HWND levels = GetDlgItem(window, ornivale::folder_view_id::Levels);
  const HWND status = GetDlgItem(window, ornivale::folder_view_id::Status);
  if (!SelectListViewRows(levels, {1, 2}) ||
      !WaitUntil([&] { return WindowText(status).find(L"2 selected") != std::wstring::npos; },
                 kWaitMs)) {
    std::fprintf(stderr, "folder_view_driver: the rows could not be selected\n");
    return 1;
  }
  RECT r{};
  GetWindowRect(window, &r);
  std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
  return 0;
}
