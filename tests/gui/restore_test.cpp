// The real ornivale.exe keeping its history, and giving a level back its
// original values from its system menu, used from outside as a user would.
//   restore_tests PATH-OF-ornivale.exe [GoogleTest options]
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "disk/wide_text.h"
#include "level/history/records.h"
#include "level/ports/disk.h"
#include "tests/gui/level_files.h"
#include "tests/gui/own_history.h"
#include "tests/gui/program_driver.h"
#include "tests/gui/program_tests_main.h"
#include "ui/control_ids.h"

namespace ornivale::gui_test {
namespace {

class Restore : protected WithItsOwnHistory, public RunningProgramTest {
 protected:

  void LoadAndWait(const std::wstring& path) {
    const std::size_t lines = driver_.Log().size();
    ASSERT_EQ(driver_.LoadThroughDialog(path), std::nullopt);
    ASSERT_TRUE(driver_.WaitForLogLines(lines + 4));
  }

  void SaveAndWait() {
    const std::size_t lines = driver_.Log().size();
    driver_.Press(control_id::Command3);
    ASSERT_TRUE(driver_.WaitForLogLines(lines + 2));
    EXPECT_EQ(driver_.Log().back(), L"Level saved");
  }
};

// Alt+Space opens the system menu; O picks "Restore original values".
bool SystemMenuOpen() { return FindWindowW(L"#32768", nullptr) != nullptr; }

bool PickRestoreFromSystemMenu(const MainWindowDriver& driver) {
  if (!driver.PressKeysUntil({VK_MENU, VK_SPACE}, SystemMenuOpen)) return false;
  driver.PressKeys({'O'});
  return true;
}

// Picks the grayed item, which leaves the menu open, closes the menu with
// Esc and waits until the window has handled any pick: a pick would have
// posted its command before the keys that follow, so once Alt+T has moved
// the focus, it has been handled.
void PickGrayedRestore(const MainWindowDriver& driver) {
  ASSERT_TRUE(PickRestoreFromSystemMenu(driver)) << "the system menu did not open";
  driver.PressKeys({VK_ESCAPE});
  ASSERT_TRUE(WaitUntil([] { return !SystemMenuOpen(); }, kWaitMs));
  const HWND lara_type = driver.Control(control_id::c2);
  ASSERT_TRUE(driver.PressKeysUntil({VK_MENU, 'T'},
                                    [&] { return driver.FocusedControl() == lara_type; }));
}

// Without a change recorded of the loaded level, the menu item is grayed:
// picking it does nothing, and the menu stays open until Esc.
TEST_F(Restore, TheMenuItemDoesNothingWithoutRecordedChanges) {
  const std::wstring path = folder_.Write(L"city.trc", LevelBytes(3, 1));
  LoadAndWait(path);
  driver_.Select(control_id::c2, 1);  // Young Lara, not saved
  ASSERT_NO_FATAL_FAILURE(PickGrayedRestore(driver_));
  EXPECT_EQ(driver_.SelectedText(control_id::c2), L"Young Lara");
  EXPECT_EQ(ReadBytes(path), LevelBytes(3, 1));
  EXPECT_TRUE(Changes().empty());
}

// Save records each change; the system menu's restore, picked with the
// keyboard as a user would, puts the first values back into the lists, and
// Save writes them.
TEST_F(Restore, SavesAreRecordedAndTheMenuGivesTheFirstValuesBack) {
  const std::wstring path = folder_.Write(L"city.trc", LevelBytes(3, 1));  // Catsuit, Rain
  LoadAndWait(path);
  driver_.Select(control_id::c2, 4);  // Invisible
  driver_.Select(control_id::c1, 2);  // Snow
  SaveAndWait();
  ASSERT_EQ(ReadBytes(path), LevelBytes(6, 2));
  std::vector<Record> changes = Changes();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].change->program, "ornivale");
  EXPECT_EQ(changes[0].path, Narrow(path));

  ASSERT_TRUE(PickRestoreFromSystemMenu(driver_)) << "the system menu did not open";
  ASSERT_TRUE(WaitUntil([&] { return driver_.SelectedText(control_id::c2) == L"Catsuit"; },
                        kWaitMs));
  EXPECT_EQ(driver_.SelectedText(control_id::c1), L"Rain");
  EXPECT_EQ(ReadBytes(path), LevelBytes(6, 2)) << "only Save writes";
  SaveAndWait();
  EXPECT_EQ(ReadBytes(path), LevelBytes(3, 1));
  EXPECT_EQ(Changes().size(), 2u);

  // Ctrl+R does the same.
  driver_.Select(control_id::c2, 0);
  SaveAndWait();
  ASSERT_TRUE(driver_.PressKeysUntil(
      {VK_CONTROL, 'R'}, [&] { return driver_.SelectedText(control_id::c2) == L"Catsuit"; }));
  EXPECT_TRUE(DialogsOf(program_.process_id()).empty());
}

// A first value without an entry in its list: a message says so and names
// ornivale-cli restore, and that list keeps no selection.
TEST_F(Restore, AValueWithoutAnEntryIsNamedWithTheCommandThatGivesItBack) {
  const std::wstring path = folder_.Write(L"odd.trc", LevelBytes(5, 1));
  LoadAndWait(path);
  driver_.Select(control_id::c2, 0);
  SaveAndWait();
  ASSERT_TRUE(driver_.PressKeysUntil({VK_CONTROL, 'R'}, [&] {
    return WaitForDialog(program_.process_id(), L"Restore original values", 0) != nullptr;
  }));
  const auto box = driver_.AnswerMessageBox(L"Restore original values");
  ASSERT_TRUE(box.has_value()) << "no message";
  EXPECT_NE(box->text.find(L"Lara type 5"), std::wstring::npos) << box->text;
  EXPECT_NE(box->text.find(L"ornivale-cli restore \"" + path + L"\""), std::wstring::npos)
      << box->text;
  EXPECT_EQ(driver_.SelectedText(control_id::c2), L"");
  EXPECT_EQ(driver_.SelectedText(control_id::c1), L"Rain");
}

// Another program writes other values over what Ornivale saved. A restore
// picked before the window knows of it is refused at Save, with one
// message, and writes nothing; once the level is loaded again, the menu item
// is grayed, as ornivale-cli restore refuses it too.
TEST_F(Restore, AnotherProgramsChangeIsNeverRestoredOver) {
  const std::wstring path = folder_.Write(L"city.trc", LevelBytes(3, 1));  // Catsuit, Rain
  LoadAndWait(path);
  driver_.Select(control_id::c2, 4);  // Invisible
  SaveAndWait();
  folder_.Write(L"city.trc", LevelBytes(1, 0));  // Young Lara, Normal Weather

  ASSERT_TRUE(driver_.PressKeysUntil(
      {VK_CONTROL, 'R'}, [&] { return driver_.SelectedText(control_id::c2) == L"Catsuit"; }));
  driver_.Press(control_id::Command3);
  const auto box = driver_.AnswerMessageBox(L"Error");
  ASSERT_TRUE(box.has_value()) << "no message";
  EXPECT_EQ(box->text, path + L" has changed since it was loaded. Load it again before saving.");
  EXPECT_EQ(ReadBytes(path), LevelBytes(1, 0));
  EXPECT_EQ(Changes().size(), 1u);

  LoadAndWait(path);
  ASSERT_EQ(driver_.SelectedText(control_id::c2), L"Young Lara");
  ASSERT_NO_FATAL_FAILURE(PickGrayedRestore(driver_));
  EXPECT_EQ(driver_.SelectedText(control_id::c2), L"Young Lara");
  EXPECT_EQ(driver_.SelectedText(control_id::c1), L"Normal Weather");
  EXPECT_EQ(ReadBytes(path), LevelBytes(1, 0));
  EXPECT_EQ(Changes().size(), 1u);
}

}  // namespace
}  // namespace ornivale::gui_test
