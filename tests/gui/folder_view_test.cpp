// The folder view of the real ornivale.exe, used from outside as a user
// would: its rows and cells read from its list view, levels selected, values
// picked, saved and restored, the files' bytes compared. Run at 96 and at
// 144 DPI.
//   folder_view_tests PATH-OF-ornivale.exe [GoogleTest options]
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/gui/level_files.h"
#include "tests/gui/list_view_remote.h"
#include "tests/gui/own_history.h"
#include "tests/gui/program_driver.h"
#include "tests/gui/program_tests_main.h"
#include "ui/control_ids.h"
#include "ui/dpi.h"

namespace ornivale::gui_test {
namespace {

namespace id = folder_view_id;
using Rows = std::vector<std::vector<std::wstring>>;

const std::wstring kKeepEach = L"(as each level has it)";

// A Tomb Raider IV level: its level data chunk (unpacked and packed sizes,
// then a zlib stream) where a TRC level keeps its flags.
Bytes Tr4Level() {
  testing::LevelBytes level;
  level.Version().Counts().Block(4, 4).Block(0, 0).Block(2, 2);
  level.Dword(160).Dword(40).Raw({0x78, 0x9C}).Raw(Bytes(38, 0x11));
  return level.Build();
}

// A pack of four levels and two files that are none, in a folder of the
// test's own, with a history of its own.
class Pack : protected WithItsOwnHistory {
 protected:
  const std::wstring alpha_ = folder_.Write(L"alpha.trc", LevelBytes(1, 2));  // Young Lara, Snow
  const std::wstring beta_ = folder_.Write(L"beta.trc", LevelBytes(2, 1));  // 2 has no entry, Rain
  const std::wstring delta_ = folder_.Write(L"delta.trc", Tr4Level());
  const std::wstring gamma_ = folder_.Write(L"gamma.trc", LevelBytes(3, 1));  // Catsuit, Rain
  const std::wstring notes_ = folder_.Write(L"notes.txt", LevelBytes(1, 1));
  const std::wstring karnak_ = folder_.Write(L"karnak.tr4", Tr4Level());
};

class FolderView : protected Pack, public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.started()) << "cannot start the program";
    const HWND window = WaitForFolderView(program_.process_id(), kWaitMs);
    ASSERT_NE(window, nullptr) << "the folder view did not appear";
    view_ = MainWindowDriver(window);
  }

  HWND Levels() const { return view_.Control(id::Levels); }
  Rows ShownRows() const { return ListViewRows(Levels()); }
  std::wstring Status() const { return WindowText(view_.Control(id::Status)); }
  bool WaitForStatus(const std::wstring& status) const {
    return WaitUntil([&] { return Status() == status; }, kWaitMs);
  }
  void Select(const std::vector<int>& rows, const std::wstring& status) const {
    ASSERT_TRUE(SelectListViewRows(Levels(), rows));
    ASSERT_TRUE(WaitForStatus(status)) << Status();
  }
  void Pick(int list_id, int position) const { view_.Select(list_id, position); }

  // What screen readers are told: the live region's changes.
  HWND Announcement() const { return view_.Control(id::Announcement); }
  int Announced() const { return events_.Count(kLiveRegionChanged, Announcement()); }
  static constexpr DWORD kLiveRegionChanged = 0x8019;

  const WinEventLog events_;
  StartedProgram program_{ProgramUnderTest(), {WindowsPath(folder_.Path())}};
  MainWindowDriver view_{nullptr};
};

TEST_F(FolderView, ShowsTheFoldersLevelsInTheOrderOfTheConsolesShow) {
  EXPECT_EQ(WindowText(view_.window()), WindowsPath(folder_.Path()) + L" - Ornivale");
  EXPECT_EQ(ClassName(Levels()), L"SysListView32");
  EXPECT_EQ(ListViewColumns(Levels()),
            (std::vector<std::wstring>{L"Level", L"Lara type", L"Weather", L"State"}));
  EXPECT_EQ(ShownRows(), (Rows{{L"alpha.trc", L"Young Lara", L"Snow", L""},
                               {L"beta.trc", L"2", L"Rain", L""},
                               {L"delta.trc", L"", L"", L"a Tomb Raider IV level"},
                               {L"gamma.trc", L"Catsuit", L"Rain", L""}}));
  EXPECT_EQ(Status(), L"4 levels, 0 selected");
  EXPECT_EQ(ComboBoxLines(view_.Control(id::LaraType)),
            (std::vector<std::wstring>{kKeepEach, L"Normal Lara", L"Young Lara", L"Catsuit",
                                       L"Divesuit", L"Invisible"}));
  EXPECT_EQ(ComboBoxLines(view_.Control(id::Weather)),
            (std::vector<std::wstring>{kKeepEach, L"Normal Weather", L"Rain", L"Snow"}));
}

// The lists show what the selected levels share, and their first entry
// where they differ.
TEST_F(FolderView, TheListsShowWhatTheSelectedLevelsShare) {
  ASSERT_NO_FATAL_FAILURE(Select({0}, L"4 levels, 1 selected"));
  EXPECT_EQ(WindowText(view_.Control(id::LaraType)), L"Young Lara");
  EXPECT_EQ(WindowText(view_.Control(id::Weather)), L"Snow");
  ASSERT_NO_FATAL_FAILURE(Select({1, 3}, L"4 levels, 2 selected"));
  EXPECT_EQ(WindowText(view_.Control(id::LaraType)), kKeepEach);  // 2 and Catsuit
  EXPECT_EQ(WindowText(view_.Control(id::Weather)), L"Rain");
}

// Save writes the one value picked into each selected level and no other
// byte; the Tomb Raider IV level among them is refused and left as it is,
// and so is every level not selected.
TEST_F(FolderView, SaveWritesThePickedValueIntoEverySelectedLevelAndOnlyThat) {
  ASSERT_NO_FATAL_FAILURE(Select({0, 2, 3}, L"4 levels, 3 selected"));
  Pick(id::Weather, 1);  // Normal Weather; the Lara type as each level has it
  view_.Press(id::Save);
  ASSERT_TRUE(WaitForStatus(L"4 levels, 3 selected \u2014 2 levels saved, 1 refused")) << Status();
  EXPECT_EQ(ShownRows(), (Rows{{L"alpha.trc", L"Young Lara", L"Normal Weather", L""},
                               {L"beta.trc", L"2", L"Rain", L""},
                               {L"delta.trc", L"", L"", L"a Tomb Raider IV level"},
                               {L"gamma.trc", L"Catsuit", L"Normal Weather", L""}}));
  EXPECT_EQ(ReadBytes(alpha_), LevelBytes(1, 0));
  EXPECT_EQ(ReadBytes(gamma_), LevelBytes(3, 0));
  EXPECT_EQ(ReadBytes(beta_), LevelBytes(2, 1));
  EXPECT_EQ(ReadBytes(delta_), Tr4Level());
  const std::vector<Record> changes = Changes();
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].change->program, "ornivale folder view");
}

// A level that another program holds open, sharing it with nobody, says so
// in State; a Save of it among others is refused for it alone.
TEST_F(FolderView, ALevelHeldByAnotherProgramSaysSoAndIsLeftAsItIs) {
  const HANDLE held = CreateFileW(gamma_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(view_.PressKeysUntil({VK_F5}, [&] {
    return ShownRows().back() ==
           std::vector<std::wstring>{L"gamma.trc", L"", L"", L"in use by another program"};
  })) << Status();
  ASSERT_NO_FATAL_FAILURE(Select({0, 3}, L"4 levels, 2 selected"));
  Pick(id::LaraType, 4);  // Divesuit
  view_.Press(id::Save);
  const bool saved = WaitForStatus(L"4 levels, 2 selected \u2014 1 level saved, 1 refused");
  CloseHandle(held);
  ASSERT_TRUE(saved) << Status();
  EXPECT_EQ(ShownRows()[0], (std::vector<std::wstring>{L"alpha.trc", L"Divesuit", L"Snow", L""}));
  EXPECT_EQ(ShownRows()[3][3], L"in use by another program");
  EXPECT_EQ(ReadBytes(alpha_), LevelBytes(4, 2));
  EXPECT_EQ(ReadBytes(gamma_), LevelBytes(3, 1));
  EXPECT_EQ(Changes().size(), 1u);
}

// Restore gives the selected levels the values they held before Ornivale
// first changed them, by the console's rule: a level another program wrote
// since is refused, and levels with nothing recorded are counted.
TEST_F(FolderView, RestoreGivesTheSelectedLevelsTheirOriginalValues) {
  ASSERT_NO_FATAL_FAILURE(Select({0, 1, 3}, L"4 levels, 3 selected"));
  Pick(id::LaraType, 5);  // Invisible
  view_.Press(id::Save);
  ASSERT_TRUE(WaitForStatus(L"4 levels, 3 selected \u2014 3 levels saved")) << Status();
  ASSERT_EQ(ReadBytes(beta_), LevelBytes(6, 1));
  folder_.Write(L"gamma.trc", LevelBytes(4, 1));  // another program's Divesuit

  // Ctrl+A selects every level, as in Explorer; what the last Save did
  // was of the selection before.
  ASSERT_TRUE(view_.PressKeysUntil({VK_CONTROL, 'A'}, [&] {
    return Status() == L"4 levels, 4 selected";
  })) << Status();
  view_.Press(id::Restore);
  ASSERT_TRUE(WaitForStatus(
      L"4 levels, 4 selected \u2014 2 levels restored, 1 refused, 1 with nothing recorded"))
      << Status();
  EXPECT_EQ(ReadBytes(alpha_), LevelBytes(1, 2));
  EXPECT_EQ(ReadBytes(beta_), LevelBytes(2, 1));
  EXPECT_EQ(ReadBytes(gamma_), LevelBytes(4, 1));
  EXPECT_EQ(ShownRows(), (Rows{{L"alpha.trc", L"Young Lara", L"Snow", L""},
                               {L"beta.trc", L"2", L"Rain", L""},
                               {L"delta.trc", L"", L"", L"a Tomb Raider IV level"},
                               {L"gamma.trc", L"Divesuit", L"Rain", L"not as Ornivale left it"}}));
  EXPECT_EQ(Changes().size(), 5u);
}

// A level that another program writes is read again without F5; a Save
// writes only the list picked, so the other keeps that program's value. A
// change the folder's watch can't see (made through another name) leaves
// the row as shown, and the Save is refused as the main window's is.
TEST_F(FolderView, ALevelWrittenElsewhereIsReadAgainAndKeepsWhatWasNotPicked) {
  ASSERT_NO_FATAL_FAILURE(Select({0}, L"4 levels, 1 selected"));
  Pick(id::LaraType, 4);                          // Divesuit
  folder_.Write(L"alpha.trc", LevelBytes(1, 1));  // another program's Rain
  ASSERT_TRUE(WaitUntil([&] { return ShownRows()[0][2] == L"Rain"; }, kWaitMs));
  EXPECT_EQ(WindowText(view_.Control(id::Weather)), L"Rain");
  EXPECT_EQ(WindowText(view_.Control(id::LaraType)), L"Divesuit") << "what was picked stays";
  view_.Press(id::Save);
  ASSERT_TRUE(WaitForStatus(L"4 levels, 1 selected \u2014 1 level saved")) << Status();
  EXPECT_EQ(ReadBytes(alpha_), LevelBytes(4, 1));

  const TempFolder elsewhere;
  const std::wstring link = elsewhere.Path() + L"\\alpha.trc";
  ASSERT_TRUE(CreateHardLinkW(link.c_str(), alpha_.c_str(), nullptr));
  elsewhere.Write(L"alpha.trc", LevelBytes(4, 2));  // Snow, unseen
  Pick(id::LaraType, 1);                            // Normal Lara
  view_.Press(id::Save);
  ASSERT_TRUE(WaitForStatus(L"4 levels, 1 selected \u2014 0 levels saved, 1 refused")) << Status();
  EXPECT_EQ(ShownRows()[0],
            (std::vector<std::wstring>{L"alpha.trc", L"Divesuit", L"Snow",
                                       L"changed since it was shown"}));
  EXPECT_EQ(ReadBytes(alpha_), LevelBytes(4, 2));
}

// A level built again loses what Ornivale set there: State says so, and
// Apply again writes it back, recorded as the folder view's.
TEST_F(FolderView, ALevelBuiltAgainSaysSoAndApplyAgainWritesBackWhatOrnivaleSet) {
  ASSERT_NO_FATAL_FAILURE(Select({3}, L"4 levels, 1 selected"));
  Pick(id::LaraType, 2);  // Young Lara
  view_.Press(id::Save);
  ASSERT_TRUE(WaitForStatus(L"4 levels, 1 selected \u2014 1 level saved")) << Status();
  folder_.Write(L"gamma.trc", LevelBytes(0, 1));  // its editor's Normal Lara
  ASSERT_TRUE(WaitUntil(
      [&] {
        return ShownRows()[3] ==
               std::vector<std::wstring>{L"gamma.trc", L"Normal Lara", L"Rain",
                                         L"no longer holds the values Ornivale set"};
      },
      kWaitMs))
      << "the level built again is not read again, or its State does not say it";
  view_.Press(id::ApplyAgain);
  ASSERT_TRUE(WaitForStatus(L"4 levels, 1 selected \u2014 1 level applied again")) << Status();
  EXPECT_EQ(ReadBytes(gamma_), LevelBytes(1, 1));
  EXPECT_EQ(ShownRows()[3], (std::vector<std::wstring>{L"gamma.trc", L"Young Lara", L"Rain", L""}));
  EXPECT_EQ(Changes().back().change->program, "ornivale folder view apply again");
}

// A double-click on a row, or Enter, loads its level in the main window,
// as its Load would.
TEST_F(FolderView, OpeningARowLoadsItsLevelInTheMainWindow) {
  ASSERT_TRUE(DoubleClickListViewRow(Levels(), 0));
  const HWND main = WaitForMainWindow(program_.process_id(), kWaitMs);
  ASSERT_NE(main, nullptr) << "the main window did not come";
  const MainWindowDriver driver(main);
  ASSERT_TRUE(driver.WaitForLogLines(LoadLogLines(WindowsPath(alpha_)).size()));
  EXPECT_EQ(driver.Label(), WindowsPath(alpha_));
  EXPECT_EQ(driver.Log(), LoadLogLines(WindowsPath(alpha_)));

  ASSERT_NO_FATAL_FAILURE(Select({3}, L"4 levels, 1 selected"));
  ASSERT_TRUE(view_.PressKeysUntil({VK_RETURN}, [&] {
    return driver.Label() == WindowsPath(gamma_);
  })) << "Enter did not load the selected level";
}

// Screen readers name each control by its text or its label, and hear each
// result once, however many levels it tells of.
TEST_F(FolderView, EachControlIsNamedAndEachResultAnnouncedOnce) {
  std::vector<int> order;
  for (HWND child : ChildrenInOrder(view_.window())) order.push_back(GetDlgCtrlID(child));
  EXPECT_EQ(order, (std::vector<int>{id::Levels, id::LaraTypeLabel, id::LaraType, id::WeatherLabel,
                                     id::Weather, id::Save, id::Restore, id::ApplyAgain,
                                     id::Status, id::Announcement}));
  EXPECT_EQ(WindowText(Levels()), L"Levels");
  EXPECT_EQ(Announced(), 0);

  view_.Press(id::Save);
  ASSERT_TRUE(WaitUntil([&] { return Announced() == 1; }, kWaitMs));
  EXPECT_EQ(WindowText(Announcement()), L"select the levels to save first");
  ASSERT_NO_FATAL_FAILURE(Select({0, 2, 3}, L"4 levels, 3 selected"));
  Pick(id::Weather, 1);
  view_.Press(id::Save);
  ASSERT_TRUE(WaitForStatus(L"4 levels, 3 selected \u2014 2 levels saved, 1 refused")) << Status();
  ASSERT_TRUE(WaitUntil([&] { return Announced() == 2; }, kWaitMs));
  EXPECT_EQ(WindowText(Announcement()), L"2 levels saved, 1 refused");
}

// A click on a header sorts by that column, a second one turns the order
// around; F5 reads the folder again and keeps the order.
TEST_F(FolderView, HeadersSortAndF5ReadsTheFolderAgain) {
  const auto names = [&] {
    std::vector<std::wstring> shown;
    for (const auto& row : ShownRows()) shown.push_back(row[0]);
    return shown;
  };
  using Names = std::vector<std::wstring>;
  // The Lara types in their list's order, then values without an entry,
  // then levels without values.
  const Names by_lara{L"alpha.trc", L"gamma.trc", L"beta.trc", L"delta.trc"};
  ClickListViewHeader(Levels(), 1);
  ASSERT_TRUE(WaitUntil([&] { return names() == by_lara; }, kWaitMs));
  ClickListViewHeader(Levels(), 1);
  const Names reversed(by_lara.rbegin(), by_lara.rend());
  ASSERT_TRUE(WaitUntil([&] { return names() == reversed; }, kWaitMs));

  folder_.Write(L"alpha.trc", LevelBytes(0, 2));  // Normal Lara, by another program
  folder_.Write(L"epsilon.trc", LevelBytes(4, 0));
  ASSERT_TRUE(view_.PressKeysUntil({VK_F5}, [&] { return Status() == L"5 levels, 0 selected"; }))
      << Status();
  EXPECT_EQ(ShownRows(), (Rows{{L"delta.trc", L"", L"", L"a Tomb Raider IV level"},
                               {L"beta.trc", L"2", L"Rain", L""},
                               {L"epsilon.trc", L"Divesuit", L"Normal Weather", L""},
                               {L"gamma.trc", L"Catsuit", L"Rain", L""},
                               {L"alpha.trc", L"Normal Lara", L"Snow", L""}}));
}

// Tab visits every control in order, and the labels' access keys reach
// their lists.
TEST_F(FolderView, TheKeyboardReachesEveryControl) {
  ASSERT_TRUE(WaitUntil([&] { return view_.FocusedControl() == Levels(); }, kWaitMs));
  for (int next : {id::LaraType, id::Weather, id::Save, id::Restore, id::ApplyAgain, id::Levels}) {
    view_.PressKeys({VK_TAB});
    ASSERT_TRUE(WaitUntil([&] { return view_.FocusedControl() == view_.Control(next); }, kWaitMs))
        << "Tab did not reach control " << next;
  }
  // The rows take Explorer's keys: Shift+End selects from the first row to
  // the last, Home the first row alone.
  EXPECT_TRUE(view_.PressKeysUntil({VK_SHIFT, VK_END}, [&] {
    return Status() == L"4 levels, 4 selected";
  })) << Status();
  EXPECT_TRUE(view_.PressKeysUntil({VK_HOME}, [&] { return Status() == L"4 levels, 1 selected"; }))
      << Status();
  EXPECT_EQ(SelectedListViewRows(Levels()), std::vector<int>{0});
  EXPECT_TRUE(view_.PressKeysUntil(
      {VK_MENU, 'W'}, [&] { return view_.FocusedControl() == view_.Control(id::Weather); }));
  EXPECT_TRUE(view_.PressKeysUntil(
      {VK_MENU, 'L'}, [&] { return view_.FocusedControl() == view_.Control(id::LaraType); }));
}

// Sizes follow the screen's DPI, as the main window's do.
TEST_F(FolderView, ScalesWithTheScreen) {
  const int dpi = static_cast<int>(SystemDpi());
  RECT client{};
  GetClientRect(view_.window(), &client);
  EXPECT_EQ(client.right, MulDiv(720, dpi, 96));
  EXPECT_EQ(client.bottom, MulDiv(420, dpi, 96));
  RECT save{};
  GetWindowRect(view_.Control(id::Save), &save);
  EXPECT_EQ(save.bottom - save.top, MulDiv(25, dpi, 96));
  EXPECT_EQ(SendMessageW(Levels(), LVM_GETCOLUMNWIDTH, 0, 0), MulDiv(200, dpi, 96));
}

// A folder named on the command line shows only the folder view, and the
// program ends with it.
TEST_F(FolderView, TheProgramEndsWithItsWindow) {
  EXPECT_EQ(WaitForMainWindow(program_.process_id(), 0), nullptr);
  PostMessageW(view_.window(), WM_CLOSE, 0, 0);
  DWORD code = 1;
  ASSERT_TRUE(program_.WaitForExit(kWaitMs, &code));
  EXPECT_EQ(code, 0u);
}

// A Save into a thousand levels runs while the window answers and counts
// how far it has got; Esc stops it after the level in hand, and what was
// written is what the history recorded and the rows show.
class ManyLevels : protected WithItsOwnHistory, public ::testing::Test {
 protected:
  static constexpr int kLevels = 1000;

  ManyLevels() {
    for (int i = 0; i < kLevels; ++i) {
      levels_.push_back(folder_.Write(L"level" + std::to_wstring(10000 + i) + L".trc",
                                      LevelBytes(3, 1)));
    }
  }

  std::vector<std::wstring> levels_;
};

TEST_F(ManyLevels, ASaveLeavesTheWindowAnsweringAndEscStopsIt) {
  StartedProgram program(ProgramUnderTest(), {WindowsPath(folder_.Path())});
  const HWND window = WaitForFolderView(program.process_id(), kWaitMs);
  ASSERT_NE(window, nullptr);
  const MainWindowDriver view(window);
  const auto status = [&] { return WindowText(view.Control(id::Status)); };
  ASSERT_TRUE(view.PressKeysUntil({VK_CONTROL, 'A'}, [&] {
    return status() == L"1000 levels, 1000 selected";
  })) << status();
  view.Select(id::LaraType, 4);  // Divesuit
  view.Press(id::Save);
  bool answered = true;
  ASSERT_TRUE(WaitUntil(
      [&] {
        DWORD_PTR result = 0;
        answered &=
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
        return status().find(L"\u2014 saving ") != std::wstring::npos &&
               status().find(L"saving 0 of") == std::wstring::npos;
      },
      kWaitMs))
      << status();
  EXPECT_TRUE(answered) << "the window did not answer while it saved";
  ASSERT_TRUE(view.PressKeysUntil({VK_ESCAPE}, [&] {
    return status().find(L"; stopped") != std::wstring::npos;
  })) << status();

  int written = 0;
  for (const std::wstring& level : levels_) written += ReadBytes(level) == LevelBytes(4, 1);
  EXPECT_GT(written, 0);
  EXPECT_LT(written, kLevels);
  EXPECT_EQ(static_cast<int>(Changes().size()), written);
  EXPECT_EQ(status(), L"1000 levels, 1000 selected \u2014 " + std::to_wstring(written) +
                          L" levels saved; stopped");
  int shown = 0;
  for (const auto& row : ListViewRows(view.Control(id::Levels))) shown += row[1] == L"Divesuit";
  EXPECT_EQ(shown, written);
}

// The main window opens the system's folder picker from its system menu
// (Alt+Space, then F) and with Ctrl+Shift+O; the folder picked opens in the
// folder view. Closing it leaves the main window; Exit ends the program,
// the folder view with it.
class OpenFolder : protected Pack, public RunningProgramTest {
 protected:
  HWND PickFolder() const {
    const DWORD process = program_.process_id();
    if (!driver_.PressKeysUntil({VK_CONTROL, VK_SHIFT, 'O'}, [&] {
          return WaitForDialog(process, L"Open folder", 0) != nullptr;
        })) {
      return nullptr;
    }
    const HWND picker = WaitForDialog(process, L"Open folder", 0);
    constexpr int kFolderName = 0x480;  // the picker's name box, edt1
    SendMessageW(GetDlgItem(picker, kFolderName), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(folder_.Path().c_str()));
    PostMessageW(GetDlgItem(picker, IDOK), BM_CLICK, 0, 0);
    return WaitForFolderView(process, kWaitMs);
  }
};

bool SystemMenuOpen() { return FindWindowW(L"#32768", nullptr) != nullptr; }

TEST_F(OpenFolder, ThePickedFolderOpensInTheFolderView) {
  const DWORD process = program_.process_id();
  ASSERT_TRUE(driver_.PressKeysUntil({VK_MENU, VK_SPACE}, SystemMenuOpen));
  driver_.PressKeys({'F'});
  ASSERT_NE(WaitForDialog(process, L"Open folder", kWaitMs), nullptr);
  driver_.CloseDialogs();
  ASSERT_TRUE(WaitUntil([&] { return DialogsOf(process).empty(); }, kWaitMs));
  EXPECT_EQ(WaitForFolderView(process, 0), nullptr) << "a cancelled picker opens nothing";

  HWND view = PickFolder();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(WindowText(view), folder_.Path() + L" - Ornivale");
  EXPECT_EQ(ListViewRows(GetDlgItem(view, id::Levels)).size(), 4u);
  PostMessageW(view, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(view); }, kWaitMs));
  EXPECT_FALSE(program_.WaitForExit(0)) << "the main window is still open";

  view = PickFolder();
  ASSERT_NE(view, nullptr);
  driver_.Press(control_id::Command1);  // Exit
  DWORD code = 1;
  ASSERT_TRUE(program_.WaitForExit(kWaitMs, &code));
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace ornivale::gui_test
