// The labels of the two flag lists in the real ornivale.exe, read and used
// from outside as a screen reader and a keyboard user would. Run at 96 and
// at 144 DPI.
//   list_labels_tests PATH-OF-ornivale.exe [GoogleTest options]
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/gui/level_files.h"
#include "tests/gui/program_driver.h"
#include "tests/gui/program_tests_main.h"
#include "ui/control_ids.h"
#include "ui/dpi.h"

namespace ornivale::gui_test {
namespace {

// Where the labels' left edge lies: where the picture's painted labels were
// at 96 DPI (x 333), scaled.
int LabelLeftAt(UINT dpi) {
  switch (dpi) {
    case 96:
      return 333;
    case 144:
      return 500;
    default:
      return -1;
  }
}

class ListLabels : public RunningProgramTest {
 protected:
  RECT ClientRectOf(int id) const {
    RECT r{};
    GetWindowRect(driver_.Control(id), &r);
    MapWindowPoints(nullptr, driver_.window(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  // Which control has the focus, for a failure's message.
  std::string FocusName() const {
    const HWND focus = driver_.FocusedControl();
    return "the focus is on control " + std::to_string(GetDlgCtrlID(focus)) +
           (IsChild(driver_.window(), focus) ? "" : ", outside the window");
  }

  // Types Alt+`letter` and waits for the focus to reach `expected`.
  HWND FocusAfterAltKey(char letter, HWND expected) const {
    driver_.PressKeysUntil({VK_MENU, static_cast<WORD>(letter)},
                           [&] { return driver_.FocusedControl() == expected; });
    return driver_.FocusedControl();
  }
};

TEST_F(ListLabels, EachComesDirectlyBeforeItsListAmongTheWindowsChildren) {
  std::vector<int> order;
  for (HWND child : ChildrenInOrder(driver_.window())) {
    order.push_back(GetDlgCtrlID(child));
  }
  EXPECT_EQ(order,
            (std::vector<int>{control_id::l, control_id::WeatherLabel,
                              control_id::c1, control_id::LaraTypeLabel,
                              control_id::c2, control_id::Command1,
                              control_id::Command2, control_id::Command3,
                              control_id::Command4, control_id::Label1,
                              control_id::Announcement}));
}

TEST_F(ListLabels, AreStaticTextsWithAccessKeysAndNoTabStop) {
  const struct {
    int id;
    const wchar_t* text;
  } labels[] = {{control_id::WeatherLabel, L"&Weather"},
                {control_id::LaraTypeLabel, L"Lara &type"}};
  for (const auto& label : labels) {
    const HWND control = driver_.Control(label.id);
    ASSERT_NE(control, nullptr) << "label " << label.id;
    EXPECT_EQ(ClassName(control), L"Static") << "label " << label.id;
    EXPECT_EQ(WindowText(control), label.text);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    EXPECT_TRUE(style & WS_VISIBLE) << "label " << label.id;
    EXPECT_FALSE(style & WS_TABSTOP) << "label " << label.id;
    EXPECT_FALSE(style & SS_NOPREFIX) << "label " << label.id;
  }
}

TEST_F(ListLabels, SitRightOfTheirListsInTheirRows) {
  const UINT dpi = SystemDpi();
  ASSERT_NE(LabelLeftAt(dpi), -1) << "no layout known for " << dpi << " DPI";
  RECT client{};
  GetClientRect(driver_.window(), &client);
  for (const auto& [label_id, list_id] :
       {std::pair{control_id::WeatherLabel, control_id::c1},
        std::pair{control_id::LaraTypeLabel, control_id::c2}}) {
    const RECT label = ClientRectOf(label_id);
    const RECT list = ClientRectOf(list_id);
    EXPECT_EQ(label.left, LabelLeftAt(dpi)) << "label " << label_id;
    EXPECT_GT(label.left, list.right) << "label " << label_id;
    EXPECT_EQ(label.top, list.top) << "label " << label_id;
    EXPECT_EQ(label.bottom, list.bottom) << "label " << label_id;
    EXPECT_LE(label.right, client.right) << "label " << label_id;
  }
}

TEST_F(ListLabels, AltWAndAltTFocusTheirLists) {
  const HWND weather = driver_.Control(control_id::c1);
  const HWND lara_type = driver_.Control(control_id::c2);
  const HWND log = driver_.Control(control_id::l);
  WaitUntil([&] { return driver_.FocusedControl() == log; }, kWaitMs);
  ASSERT_EQ(driver_.FocusedControl(), log)
      << "the log should have the focus at start";
  EXPECT_EQ(FocusAfterAltKey('T', lara_type), lara_type) << FocusName();
  EXPECT_EQ(FocusAfterAltKey('W', weather), weather) << FocusName();
  EXPECT_EQ(FocusAfterAltKey('T', lara_type), lara_type) << FocusName();
  // Only the focus moved: no command ran, no list changed.
  EXPECT_TRUE(DialogsOf(program_.process_id()).empty());
  EXPECT_EQ(ComboSelection(weather), -1);
  EXPECT_EQ(ComboSelection(lara_type), -1);
}

// What a screen reader hears of the main window beyond its controls: a
// save, and a failure, each once, from the live region.
class Announcements : public ::testing::Test {
 protected:
  void SetUp() override {
    const HWND window = WaitForMainWindow(program_.process_id(), kWaitMs);
    ASSERT_NE(window, nullptr) << "the main window did not appear";
    driver_ = MainWindowDriver(window);
    ASSERT_TRUE(driver_.WaitForLogLines(LoadLogLines(level_).size()));
  }
  HWND Region() const { return driver_.Control(control_id::Announcement); }
  int Announced() const { return events_.Count(0x8019, Region()); }  // a live region's change

  const TempFolder folder_;
  const std::wstring level_ = WindowsPath(folder_.Write(L"city.trc", LevelBytes(1, 2)));
  const WinEventLog events_;
  StartedProgram program_{ProgramUnderTest(), {level_}};
  MainWindowDriver driver_{nullptr};
};

TEST_F(Announcements, ASaveAndAFailureAreEachAnnouncedOnce) {
  EXPECT_EQ(Announced(), 0) << "a load is not announced";
  driver_.Press(control_id::Command3);
  ASSERT_TRUE(WaitUntil([&] { return Announced() == 1; }, kWaitMs));
  EXPECT_EQ(WindowText(Region()), L"Level saved");

  folder_.Write(L"city.trc", LevelBytes(2, 2));  // another program's change
  driver_.Press(control_id::Command3);
  const std::optional<MessageBoxContents> refused = driver_.AnswerMessageBox(L"Error");
  ASSERT_TRUE(refused);
  EXPECT_EQ(Announced(), 2);
  EXPECT_EQ(WindowText(Region()), refused->text);
}

}  // namespace
}  // namespace ornivale::gui_test
