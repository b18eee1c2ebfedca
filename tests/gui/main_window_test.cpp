// The real main window in this process: layout, start state, the four
// commands, keyboard use, icon and colours.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/gui/main_window_fixture.h"
#include "tests/gui/window_queries.h"
#include "ui/dpi.h"
#include "ui/main_window_layout.h"

namespace ornivale::gui_test {
namespace {

using Lines = std::vector<std::wstring>;

constexpr wchar_t kAboutText[] =
    L"Ornivale is a very simple program that change the Lara type and "
    L"weather flags in TRC levels. It take me about one hour to code it. "
    L"Created by Pellamir.";

std::wstring Describe(const RECT& r) {
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" " +
         std::to_wstring(r.right - r.left) + L"x" +
         std::to_wstring(r.bottom - r.top);
}

std::wstring Describe(int left, int top, int width, int height) {
  return Describe(RECT{left, top, left + width, top + height});
}

HICON StandardIcon(const wchar_t* id) { return LoadIconW(nullptr, id); }

class MainWindow : public MainWindowTest {
 protected:
  std::wstring WriteLevel(const std::wstring& name, uint16_t lara,
                          uint16_t weather) {
    return folder_.Write(name, LevelBytes(lara, weather));
  }
  void Select(int list_id, int position) {
    SendMessageW(Control(list_id), CB_SETCURSEL, position, 0);
  }
};

TEST_F(MainWindow, ClientAreaAndControlsSitWhereTheLayoutPutsThemAt96Dpi) {
  ASSERT_EQ(DpiForWindow(Window()), 96u) << "this test needs a 96-DPI screen";
  RECT client{};
  GetClientRect(Window(), &client);
  EXPECT_EQ(Describe(client), Describe(0, 0, 636, 478));

  const struct {
    int id;
    int left, top, width, height;  // twips / 15
  } expected[] = {
      {control_id::l, 8, 8, 313, 69},
      {control_id::c1, 8, 88, 313, 21},
      {control_id::c2, 8, 120, 313, 21},
      {control_id::WeatherLabel, 333, 88, 100, 21},
      {control_id::LaraTypeLabel, 333, 120, 100, 21},
      {control_id::Label1, 8, 152, 313, 89},
      {control_id::Command4, 8, 432, 105, 41},
      {control_id::Command3, 120, 432, 105, 41},
      {control_id::Command2, 416, 432, 105, 41},
      {control_id::Command1, 528, 432, 105, 41},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(Describe(ClientRectOf(e.id)),
              Describe(e.left, e.top, e.width, e.height))
        << "control " << e.id;
  }
}

TEST_F(MainWindow, FollowsAMoveToAMonitorOf144Dpi) {
  RECT suggested{};
  GetWindowRect(Window(), &suggested);
  SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  // The frame is still drawn at 96 DPI here, so only the window's outer
  // size is the one of a 954 x 717 client area at 144 DPI.
  const SIZE expected = WindowSizeForClient(
      SIZE{954, 717}, static_cast<DWORD>(GetWindowLongPtrW(Window(), GWL_STYLE)),
      static_cast<DWORD>(GetWindowLongPtrW(Window(), GWL_EXSTYLE)), 144);
  RECT window{};
  GetWindowRect(Window(), &window);
  EXPECT_EQ(window.right - window.left, expected.cx);
  EXPECT_EQ(window.bottom - window.top, expected.cy);
  EXPECT_EQ(Describe(ClientRectOf(control_id::c2)), Describe(12, 180, 470, 32));
  EXPECT_EQ(Describe(ClientRectOf(control_id::Command1)),
            Describe(792, 648, 158, 62));
}

TEST_F(MainWindow, StartsWithAnEmptyLogNoSelectionsAndNoFile) {
  EXPECT_EQ(WindowText(Window()), L"Ornivale by Pellamir");
  EXPECT_EQ(Log(), Lines{});
  EXPECT_EQ(ComboSelection(Control(control_id::c1)), -1);
  EXPECT_EQ(ComboSelection(Control(control_id::c2)), -1);
  EXPECT_EQ(Label(), L"No file opened");
  EXPECT_EQ(ComboBoxLines(Control(control_id::c1)),
            (Lines{L"Normal Weather", L"Rain", L"Snow"}));
  EXPECT_EQ(ComboBoxLines(Control(control_id::c2)),
            (Lines{L"Normal Lara", L"Young Lara", L"Catsuit", L"Divesuit",
                   L"Invisible"}));
  EXPECT_EQ(WindowText(Control(control_id::Command4)), L"&Load");
  EXPECT_EQ(WindowText(Control(control_id::Command3)), L"&Save");
  EXPECT_EQ(WindowText(Control(control_id::Command2)), L"&About");
  EXPECT_EQ(WindowText(Control(control_id::Command1)), L"&Exit");
  EXPECT_TRUE(IsWindowVisible(Window()));
}

TEST_F(MainWindow, UsesBoldMsSansSerifForListsAndLabelsAndRegularButtons) {
  for (int id : {control_id::l, control_id::c1, control_id::c2,
                 control_id::Label1, control_id::WeatherLabel,
                 control_id::LaraTypeLabel}) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Control(id), WM_GETFONT,
                                                    0, 0)),
               sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif") << "control " << id;
    EXPECT_EQ(font.lfHeight, -11) << "control " << id;
    EXPECT_EQ(font.lfWeight, FW_BOLD) << "control " << id;
  }
  for (int id : {control_id::Command1, control_id::Command2,
                 control_id::Command3, control_id::Command4}) {
    const auto handle =
        reinterpret_cast<HFONT>(SendMessageW(Control(id), WM_GETFONT, 0, 0));
    ASSERT_NE(handle, nullptr) << "control " << id;
    LOGFONTW font{};
    GetObjectW(handle, sizeof font, &font);
    EXPECT_EQ(font.lfWeight, FW_NORMAL) << "control " << id;
  }
}

TEST_F(MainWindow, LoadShowsTheLevelsFlagsAndLogsEachStage) {
  const std::wstring path = WriteLevel(L"a.trc", 3, 1);
  Load(path);
  EXPECT_EQ(picker_.calls, 1);
  EXPECT_EQ(picker_.last_owner, Window());
  EXPECT_EQ(Log(), LoadLogLines(path));
  EXPECT_EQ(SelectedText(control_id::c2), L"Catsuit");
  EXPECT_EQ(SelectedText(control_id::c1), L"Rain");
  EXPECT_EQ(Label(), path);
  EXPECT_TRUE(boxes_.Seen().empty());
}

TEST_F(MainWindow, LoadOfAWrongVersionShowsAStopMessageAndKeepsTheFlags) {
  const std::wstring good = WriteLevel(L"good.trc", 4, 2);
  const std::wstring bad = folder_.Write(
      L"bad.trc", LevelBytes(0, 0, {0, 0, 0}, {0x54, 0x52, 0x35, 0x00}));
  Load(good);
  Load(bad);

  const auto seen = boxes_.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text,
            bad + L" isn't a valid Tomb Raider Chronicles Level");
  EXPECT_EQ(seen[0].title, L"Error");
  EXPECT_EQ(seen[0].icon, StandardIcon(IDI_HAND));
  Lines expected = LoadLogLines(good);
  expected.push_back(L"Opening " + bad + L"...");
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(Label(), bad);
  EXPECT_EQ(SelectedText(control_id::c2), L"Divesuit");
  EXPECT_EQ(SelectedText(control_id::c1), L"Snow");
}

TEST_F(MainWindow, CancellingTheOpenDialogChangesNothing) {
  Load(std::nullopt);
  EXPECT_EQ(picker_.calls, 1);
  EXPECT_EQ(Log(), Lines{});
  EXPECT_EQ(Label(), L"No file opened");
  EXPECT_EQ(ComboSelection(Control(control_id::c1)), -1);

  const std::wstring path = WriteLevel(L"a.trc", 1, 0);
  Load(path);
  Load(std::nullopt);
  EXPECT_EQ(picker_.calls, 3);
  EXPECT_EQ(Log(), LoadLogLines(path));
  EXPECT_EQ(Label(), path);
  EXPECT_EQ(SelectedText(control_id::c2), L"Young Lara");
  EXPECT_EQ(SelectedText(control_id::c1), L"Normal Weather");
  EXPECT_EQ(level_.FlagsPos(), 35);
  EXPECT_TRUE(boxes_.Seen().empty());
}

TEST_F(MainWindow, TwoLoadsInARowLogBothInOrder) {
  const std::wstring first = WriteLevel(L"first.trc", 3, 1);
  const std::wstring second = folder_.Write(
      L"second.TRC", LevelBytes(6, 0, {5, 0, 2}));
  Load(first);
  Load(second);
  Lines expected = LoadLogLines(first);
  for (const auto& line : LoadLogLines(second)) expected.push_back(line);
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(SelectedText(control_id::c2), L"Invisible");
  EXPECT_EQ(SelectedText(control_id::c1), L"Normal Weather");
  EXPECT_EQ(Label(), second);
  EXPECT_EQ(level_.FlagsPos(), 42);
}

TEST_F(MainWindow, LoadsAPathWithCharactersOutsideAscii) {
  TempFolder folder(L"dossier-Ümlaut-ß");
  const std::wstring path =
      folder.Write(L"niveau-été-ß.trc", LevelBytes(3, 2));
  Load(path);
  EXPECT_EQ(Log(), LoadLogLines(path));
  EXPECT_EQ(Label(), path);
  EXPECT_EQ(SelectedText(control_id::c1), L"Snow");

  Select(control_id::c1, 1);
  Click(control_id::Command3);
  EXPECT_EQ(ReadBytes(path)[36], 1);
  EXPECT_TRUE(boxes_.Seen().empty());
}

// Save: which bytes change for each pair of selections.
struct SaveCase {
  const char* name;
  int lara_position;
  int weather_position;
  std::array<uint8_t, 4> flag_bytes;  // expected at offsets 34..37
};

class SaveFlags : public MainWindow,
                  public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveFlags, WritesOnlyTheSelectedFlags) {
  const SaveCase& c = GetParam();
  const Bytes original = LevelBytes(3, 1);  // 03 00 01 00 at offset 34
  const std::wstring path = folder_.Write(L"a.trc", original);
  Load(path);
  Select(control_id::c2, c.lara_position);
  Select(control_id::c1, c.weather_position);
  Click(control_id::Command3);

  Bytes expected = original;
  std::copy(c.flag_bytes.begin(), c.flag_bytes.end(), expected.begin() + 34);
  EXPECT_EQ(ReadBytes(path), expected);
  Lines log = LoadLogLines(path);
  log.push_back(L"Saving level...");
  log.push_back(L"Level saved");
  EXPECT_EQ(Log(), log);
  EXPECT_TRUE(boxes_.Seen().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Selections, SaveFlags,
    ::testing::Values(
        SaveCase{"InvisibleAndSnow", 4, 2, {0x06, 0x00, 0x02, 0x00}},
        SaveCase{"NormalLaraAndNormalWeather", 0, 0, {0x00, 0x00, 0x00, 0x00}},
        SaveCase{"YoungLaraOnly", 1, -1, {0x01, 0x00, 0x01, 0x00}},
        SaveCase{"DivesuitAndRain", 3, 1, {0x04, 0x00, 0x01, 0x00}},
        SaveCase{"NoLaraTypeAndSnow", -1, 2, {0x03, 0x00, 0x02, 0x00}},
        SaveCase{"Nothing", -1, -1, {0x03, 0x00, 0x01, 0x00}}),
    [](const ::testing::TestParamInfo<SaveCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(MainWindow, SaveWithNothingLoadedIsRefused) {
  Click(control_id::Command3);
  const auto seen = boxes_.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, L"Error");
  EXPECT_EQ(seen[0].icon, StandardIcon(IDI_HAND));
  EXPECT_FALSE(seen[0].text.empty());
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(MainWindow, SaveAfterAFailedLoadIsRefusedAndWritesNoFile) {
  const Bytes good_bytes = LevelBytes(3, 1);
  const Bytes bad_bytes = LevelBytes(3, 1, {0, 0, 0}, {0x54, 0x52, 0x35, 0});
  const std::wstring good = folder_.Write(L"good.trc", good_bytes);
  const std::wstring bad = folder_.Write(L"bad.trc", bad_bytes);
  Load(good);
  Load(bad);
  Select(control_id::c2, 4);
  Click(control_id::Command3);

  const auto seen = boxes_.Seen();
  ASSERT_EQ(seen.size(), 2u);  // the wrong version, then the refusal
  EXPECT_EQ(seen[1].title, L"Error");
  EXPECT_EQ(seen[1].icon, StandardIcon(IDI_HAND));
  EXPECT_FALSE(seen[1].text.empty());
  EXPECT_EQ(ReadBytes(good), good_bytes);
  EXPECT_EQ(ReadBytes(bad), bad_bytes);
  EXPECT_EQ(Log().back(), L"Opening " + bad + L"...");
}

TEST_F(MainWindow, SaveOfATr4LevelIsRefused) {
  const Bytes bytes = LevelBytes(3, 1);
  const std::wstring path = folder_.Write(L"old.tr4", bytes);
  Load(path);
  EXPECT_EQ(Log(), LoadLogLines(path));
  Select(control_id::c2, 4);
  Click(control_id::Command3);

  const auto seen = boxes_.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, L"Error");
  EXPECT_EQ(seen[0].icon, StandardIcon(IDI_HAND));
  EXPECT_EQ(ReadBytes(path), bytes);
}

TEST_F(MainWindow, AboutShowsItsInformationMessage) {
  Click(control_id::Command2);
  const auto seen = boxes_.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, kAboutText);
  EXPECT_EQ(seen[0].title, L"About");
  EXPECT_EQ(seen[0].icon, StandardIcon(IDI_INFORMATION));
  EXPECT_EQ(Log(), Lines{});
}

TEST_F(MainWindow, ExitClosesTheWindowAndEndsTheProgram) {
  Click(control_id::Command1);
  EXPECT_EQ(Window(), nullptr);
  EXPECT_TRUE(quit_posted_);
}

TEST_F(MainWindow, ClosingByTheTitleBarEndsTheProgram) {
  SendMessageW(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_EQ(Window(), nullptr);
  EXPECT_TRUE(quit_posted_);
}

TEST_F(MainWindow, IsNotResizable) {
  const LONG_PTR style = GetWindowLongPtrW(Window(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
}

TEST_F(MainWindow, CarriesTheProgramIconAt32By32) {
  const auto icon =
      reinterpret_cast<HICON>(GetClassLongPtrW(Window(), GCLP_HICON));
  ASSERT_NE(icon, nullptr);
  EXPECT_NE(GetClassLongPtrW(Window(), GCLP_HICONSM), 0u);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP colour{};
  GetObjectW(info.hbmColor, sizeof colour, &colour);
  EXPECT_EQ(colour.bmWidth, 32);
  EXPECT_EQ(colour.bmHeight, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

// Keyboard: keys are posted to the focused control and handled by the
// program's own message processing, as typed keys would be.
class Keyboard : public MainWindow {
 protected:
  void Press(UINT message, WPARAM key) {
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    LPARAM flags = 1 | (static_cast<LPARAM>(scan) << 16);
    if (message == WM_SYSKEYDOWN) flags |= 1 << 29;  // Alt is down
    PostMessageW(GetFocus(), message, key, flags);
    Pump();
  }
  void AltKey(char letter) { Press(WM_SYSKEYDOWN, letter); }
};

TEST_F(Keyboard, TabRunsLogListsButtonsRightToLeftAndBack) {
  SetFocus(Control(control_id::l));
  std::vector<int> order;
  for (int i = 0; i < 8; ++i) {
    Press(WM_KEYDOWN, VK_TAB);
    order.push_back(GetDlgCtrlID(GetFocus()));
  }
  EXPECT_EQ(order, (std::vector<int>{control_id::c1, control_id::c2,
                                     control_id::Command1, control_id::Command2,
                                     control_id::Command3, control_id::Command4,
                                     control_id::l, control_id::c1}));
}

TEST_F(Keyboard, AltLRunsLoad) {
  const std::wstring path = folder_.Write(L"a.trc", LevelBytes(0, 2));
  picker_.answer = path;
  SetFocus(Control(control_id::l));
  AltKey('L');
  EXPECT_EQ(picker_.calls, 1);
  EXPECT_EQ(Label(), path);
}

TEST_F(Keyboard, AltSRunsSave) {
  const Bytes bytes = LevelBytes(0, 2);
  const std::wstring path = folder_.Write(L"a.trc", bytes);
  Load(path);
  Select(control_id::c1, 1);
  SetFocus(Control(control_id::l));
  AltKey('S');
  EXPECT_EQ(Log().back(), L"Level saved");
  EXPECT_EQ(ReadBytes(path)[36], 1);
}

TEST_F(Keyboard, AltARunsAbout) {
  SetFocus(Control(control_id::c2));
  AltKey('A');
  ASSERT_EQ(boxes_.Seen().size(), 1u);
  EXPECT_EQ(boxes_.Seen()[0].title, L"About");
}

TEST_F(Keyboard, AltERunsExit) {
  SetFocus(Control(control_id::l));
  AltKey('E');
  EXPECT_EQ(Window(), nullptr);
  EXPECT_TRUE(quit_posted_);
}

TEST_F(Keyboard, EnterAndEscRunNoCommand) {
  for (int id : {control_id::l, control_id::c1, control_id::Command2}) {
    SetFocus(Control(id));
    Press(WM_KEYDOWN, VK_ESCAPE);
    SetFocus(Control(id));
    Press(WM_KEYDOWN, VK_RETURN);
  }
  ASSERT_NE(Window(), nullptr);
  EXPECT_FALSE(quit_posted_);
  EXPECT_EQ(picker_.calls, 0);
  EXPECT_TRUE(boxes_.Seen().empty());
  for (int id : {control_id::Command1, control_id::Command2,
                 control_id::Command3, control_id::Command4}) {
    const LRESULT code = SendMessageW(Control(id), WM_GETDLGCODE, 0, 0);
    EXPECT_FALSE(code & DLGC_DEFPUSHBUTTON) << "button " << id;
  }
}

TEST_F(Keyboard, FocusComesBackToItsControlAfterAMessageBox) {
  SetFocus(Control(control_id::c2));
  // The command alone, as Alt+A would run it, without a click's focus move.
  SendMessageW(Window(), WM_COMMAND,
               MAKEWPARAM(control_id::Command2, BN_CLICKED),
               reinterpret_cast<LPARAM>(Control(control_id::Command2)));
  Pump();
  ASSERT_EQ(boxes_.Seen().size(), 1u);
  EXPECT_EQ(GetFocus(), Control(control_id::c2));
}

// Colours, read back from what the window drew on the screen.
class Colours : public MainWindow {
 protected:
  // A pixel of control `id` as drawn on screen; of the window itself for 0.
  COLORREF PixelOf(int id, int x, int y) {
    RedrawWindow(Window(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    const HWND window = id ? Control(id) : Window();
    const HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
  }
  bool HasWhitePixel(int id, const RECT& area) {
    const HDC dc = GetDC(Control(id));
    bool found = false;
    for (int y = area.top; y < area.bottom && !found; ++y) {
      for (int x = area.left; x < area.right && !found; ++x) {
        found = GetPixel(dc, x, y) == RGB(255, 255, 255);
      }
    }
    ReleaseDC(Control(id), dc);
    return found;
  }
};

TEST_F(Colours, ClosedListsAndLogShowWhiteOnBlue) {
  SetFocus(Control(control_id::Command4));  // no list has the focus
  constexpr COLORREF kBlue = RGB(128, 128, 255);
  // Well inside the field, left of the drop-down arrow.
  EXPECT_EQ(PixelOf(control_id::c1, 200, 10), kBlue);
  EXPECT_EQ(PixelOf(control_id::c2, 200, 10), kBlue);
  EXPECT_EQ(PixelOf(control_id::l, 200, 40), kBlue);

  Select(control_id::c1, 0);
  Select(control_id::c2, 0);
  window_.AddLog("File opened");
  EXPECT_EQ(PixelOf(control_id::c1, 250, 10), kBlue);
  EXPECT_TRUE(HasWhitePixel(control_id::c1, RECT{2, 3, 120, 18}));
  EXPECT_TRUE(HasWhitePixel(control_id::c2, RECT{2, 3, 120, 18}));
  EXPECT_TRUE(HasWhitePixel(control_id::l, RECT{0, 0, 120, 14}));
}

TEST_F(Colours, ListLabelsAreWhiteTextOverThePicture) {
  // A star is a pixel or two; a label's letters are far more.
  EXPECT_GT(LabelPixelsBeside(control_id::c1), 60);
  EXPECT_GT(LabelPixelsBeside(control_id::c2), 60);
  // Beside the letters each label shows the picture as it is without it.
  for (int id : {control_id::WeatherLabel, control_id::LaraTypeLabel}) {
    const COLORREF with_label = PixelOf(id, 96, 10);
    const RECT label = ClientRectOf(id);
    ShowWindow(Control(id), SW_HIDE);
    EXPECT_EQ(with_label, PixelOf(0, label.left + 96, label.top + 10))
        << "label " << id;
  }
}

TEST_F(Colours, ThePictureCarriesNoLabelsOfItsOwn) {
  // Without the label controls nothing but stars may be white there, or the
  // painted words would show through behind the controls' letters.
  ShowWindow(Control(control_id::WeatherLabel), SW_HIDE);
  ShowWindow(Control(control_id::LaraTypeLabel), SW_HIDE);
  EXPECT_LT(LabelPixelsBeside(control_id::c1), 5);
  EXPECT_LT(LabelPixelsBeside(control_id::c2), 5);
}

}  // namespace
}  // namespace ornivale::gui_test
