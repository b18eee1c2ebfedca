#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "level/level4.h"
#include "ui/frm_main.h"
#include "ui/given_level.h"
#include "ui/level_picker.h"
#include "ui/message_loop.h"

namespace {

// COM, which the folder picker is made of, for as long as the program runs;
// without it the picker shows nothing.
class ComApartment {
 public:
  ComApartment() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (started_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool started_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  const ComApartment com;

  // The level state lives as long as the program.
  ornivale::Level4 level;
  ornivale::OpenLevelDialog cd;
  ornivale::frmMain window(instance, level, cd);
  if (!window.Create()) return 1;
  // A folder named on the command line is shown in the folder view alone.
  // A level ("Open with", a drop on the program's icon) is loaded once the
  // main window is on screen, so a message box of the load has its owner
  // in view.
  const auto given = ornivale::LevelFromCommandLine(GetCommandLineW());
  if (!given || !window.OpenFolder(*given)) {
    ShowWindow(window.hwnd(), show);
    UpdateWindow(window.hwnd());
    if (given) window.LoadLevel(*given);
  }
  return ornivale::RunMessageLoop();
}
