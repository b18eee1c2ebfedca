// The main window on a 144-DPI screen: run in a Wine prefix set to 144 DPI.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/gui/main_window_fixture.h"
#include "ui/dpi.h"

namespace ornivale::gui_test {
namespace {

class HighDpi : public MainWindowTest {};

TEST_F(HighDpi, ScalesTheClientAreaControlsAndFonts) {
  ASSERT_EQ(DpiForWindow(Window()), 144u) << "this test needs a 144-DPI screen";
  RECT client{};
  GetClientRect(Window(), &client);
  EXPECT_EQ(client.right, 954);
  EXPECT_EQ(client.bottom, 717);

  const RECT log = ClientRectOf(control_id::l);
  EXPECT_EQ(log.left, 12);
  EXPECT_EQ(log.top, 12);
  EXPECT_EQ(log.right - log.left, 470);
  EXPECT_EQ(log.bottom - log.top, 104);

  const RECT weather = ClientRectOf(control_id::c1);
  EXPECT_EQ(weather.left, 12);
  EXPECT_EQ(weather.top, 132);
  EXPECT_EQ(weather.right - weather.left, 470);
  EXPECT_EQ(weather.bottom - weather.top, 32);

  const RECT load = ClientRectOf(control_id::Command4);
  EXPECT_EQ(load.left, 12);
  EXPECT_EQ(load.top, 648);
  EXPECT_EQ(load.right - load.left, 158);
  EXPECT_EQ(load.bottom - load.top, 62);

  for (int id : {control_id::c1, control_id::WeatherLabel,
                 control_id::LaraTypeLabel}) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(
                   SendMessageW(Control(id), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -17) << "control " << id;  // 8.25 pt, rounded
  }
}

// The width of the window's icon of `kind` (ICON_BIG, ICON_SMALL).
int IconWidth(HWND window, WPARAM kind) {
  ICONINFO info{};
  if (!GetIconInfo(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, kind, 0)), &info)) {
    return 0;
  }
  BITMAP colour{};
  GetObjectW(info.hbmColor, sizeof colour, &colour);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return colour.bmWidth;
}

// The title bar's and Alt+Tab's icons are drawn for the DPI, and drawn
// again when the window moves to a screen of another.
TEST_F(HighDpi, TheIconsFollowTheDpi) {
  ASSERT_EQ(DpiForWindow(Window()), 144u) << "this test needs a 144-DPI screen";
  EXPECT_EQ(IconWidth(Window(), ICON_BIG), 48);
  EXPECT_EQ(IconWidth(Window(), ICON_SMALL), 24);
  RECT place{};
  GetWindowRect(Window(), &place);
  SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&place));
  EXPECT_EQ(IconWidth(Window(), ICON_BIG), 32);
  EXPECT_EQ(IconWidth(Window(), ICON_SMALL), 16);
}

TEST_F(HighDpi, ListsKeepTheirLabelsBesideThem) {
  ASSERT_EQ(DpiForWindow(Window()), 144u) << "this test needs a 144-DPI screen";
  EXPECT_GT(LabelPixelsBeside(control_id::c1), 120);
  EXPECT_GT(LabelPixelsBeside(control_id::c2), 120);
}

}  // namespace
}  // namespace ornivale::gui_test
