// Loads a level into the running Ornivale through its Open dialog, then
// prints where the window is on the screen as an ImageMagick geometry
// (WIDTHxHEIGHT+X+Y), for taking its picture.
//   load_level_driver LEVEL-PATH
#include <windows.h>

#include <cstdio>

#include "tests/gui/program_driver.h"

int wmain(int argc, wchar_t** argv) {
  using namespace ornivale::gui_test;
  if (argc != 2) {
    std::fprintf(stderr, "usage: load_level_driver LEVEL-PATH\n");
    return 2;
  }
  const HWND window = WaitForMainWindow(0, 60000);
  if (!window) {
    std::fprintf(stderr, "load_level_driver: Ornivale's window did not appear\n");
    return 1;
  }
  const MainWindowDriver driver(window);
  if (const auto failure = driver.LoadThroughDialog(WindowsPath(argv[1]))) {
    std::fprintf(stderr, "load_level_driver: %s\n", failure->c_str());
    return 1;
  }
  if (!driver.WaitForLogLines(4) || driver.Log().back() != L"Done") {
    std::fprintf(stderr, "load_level_driver: the level did not load\n");
    driver.CloseDialogs();
    return 1;
  }
  RECT r{};
  GetWindowRect(window, &r);
  std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left,
              r.top);
  return 0;
}
