#include <windows.h>

#include <commctrl.h>

#include "level/level4.h"
#include "ui/frm_main.h"
#include "ui/given_level.h"
#include "ui/level_picker.h"
#include "ui/message_loop.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  // The level state lives as long as the program.
  ornivale::Level4 level;
  ornivale::OpenLevelDialog cd;
  ornivale::frmMain window(instance, level, cd);
  if (!window.Create()) return 1;
  ShowWindow(window.hwnd(), show);
  UpdateWindow(window.hwnd());
  // A level named on the command line ("Open with", a drop on the program's
  // icon) is loaded once the window is on screen, so a message box of the
  // load has its owner in view.
  if (const auto path = ornivale::LevelFromCommandLine(GetCommandLineW())) {
    window.LoadLevel(*path);
  }
  return ornivale::RunMessageLoop(window.hwnd());
}
