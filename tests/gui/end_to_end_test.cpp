// The real ornivale.exe, started and used from outside through its windows
// and the real Open dialog, with real message boxes.
//   end_to_end_tests PATH-OF-ornivale.exe [GoogleTest options]
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/gui/level_files.h"
#include "tests/gui/program_driver.h"
#include "tests/gui/program_tests_main.h"
#include "ui/control_ids.h"

namespace ornivale::gui_test {
namespace {

using Lines = std::vector<std::wstring>;

class Program : public RunningProgramTest {
 protected:
  TempFolder folder_;
};

TEST_F(Program, LoadsALevelAndSavesNewFlagsThroughTheRealDialog) {
  constexpr std::array<uint32_t, 3> kPayloads{16, 8, 4};
  const Bytes original = LevelBytes(3, 1, kPayloads);
  const std::wstring path = folder_.Write(L"city.trc", original);

  ASSERT_EQ(driver_.LoadThroughDialog(path), std::nullopt);
  ASSERT_TRUE(driver_.WaitForLogLines(4));
  EXPECT_EQ(driver_.Log(), LoadLogLines(path));
  EXPECT_EQ(driver_.SelectedText(control_id::c2), L"Catsuit");
  EXPECT_EQ(driver_.SelectedText(control_id::c1), L"Rain");
  EXPECT_EQ(driver_.Label(), path);

  driver_.Select(control_id::c2, 4);  // Invisible
  driver_.Select(control_id::c1, 2);  // Snow
  driver_.Press(control_id::Command3);
  ASSERT_TRUE(driver_.WaitForLogLines(6));
  EXPECT_EQ(driver_.Log()[4], L"Saving level...");
  EXPECT_EQ(driver_.Log()[5], L"Level saved");
  EXPECT_TRUE(DialogsOf(program_.process_id()).empty());

  Bytes expected = original;
  const std::size_t flags = FlagsOffset(kPayloads);
  expected[flags] = 0x06;
  expected[flags + 2] = 0x02;
  EXPECT_EQ(ReadBytes(path), expected);
}

TEST_F(Program, ANameTypedWithoutItsExtensionOpensTheTrcLevel) {
  const std::wstring path = folder_.Write(L"city.trc", LevelBytes(3, 1));
  const std::wstring typed = path.substr(0, path.size() - 4);
  ASSERT_EQ(driver_.LoadThroughDialog(typed), std::nullopt);
  ASSERT_TRUE(driver_.WaitForLogLines(4));
  EXPECT_EQ(driver_.Label(), path);
  EXPECT_EQ(driver_.Log(), LoadLogLines(path));
  EXPECT_EQ(driver_.SelectedText(control_id::c2), L"Catsuit");
  EXPECT_TRUE(DialogsOf(program_.process_id()).empty());
}

TEST_F(Program, WrongVersionIsReportedInAnErrorBox) {
  const std::wstring path = folder_.Write(
      L"other.trc", LevelBytes(3, 1, {0, 0, 0}, {0x54, 0x52, 0x35, 0x00}));
  ASSERT_EQ(driver_.LoadThroughDialog(path), std::nullopt);
  const auto box = driver_.AnswerMessageBox(L"Error");
  ASSERT_TRUE(box.has_value()) << "no message box";
  EXPECT_EQ(box->text, path + L" isn't a valid Tomb Raider Chronicles Level");
  EXPECT_EQ(driver_.Log(), Lines{L"Opening " + path + L"..."});
  EXPECT_EQ(driver_.Label(), path);
  EXPECT_EQ(ComboSelection(driver_.Control(control_id::c1)), -1);
}

TEST_F(Program, OpensAndSavesALevelWhoseFolderAndNameAreNotAscii) {
  TempFolder folder(L"dossier-Ümlaut-ß");
  const Bytes original = LevelBytes(4, 0);
  const std::wstring path = folder.Write(L"niveau-été-ß.trc", original);

  ASSERT_EQ(driver_.LoadThroughDialog(path), std::nullopt);
  ASSERT_TRUE(driver_.WaitForLogLines(4));
  EXPECT_EQ(driver_.Log(), LoadLogLines(path));
  EXPECT_EQ(driver_.Label(), path);
  EXPECT_EQ(driver_.SelectedText(control_id::c2), L"Divesuit");

  driver_.Select(control_id::c1, 1);  // Rain
  driver_.Press(control_id::Command3);
  ASSERT_TRUE(driver_.WaitForLogLines(6));
  Bytes expected = original;
  expected[36] = 0x01;
  EXPECT_EQ(ReadBytes(path), expected);
}

// Windows opens "karnak.tr4." as karnak.tr4. That name ends in neither
// level ending, so the kind of the level before it stays and the scan finds
// a "flag pair"; Save goes by the name of the file it would write, and
// leaves it alone without opening it.
TEST_F(Program, TombRaiderFourLevelPickedWithATrailingDotIsNotSaved) {
  const std::wstring city = folder_.Write(L"city.trc", LevelBytes(3, 1));
  const Bytes tr4 = testing::LevelBytes().Version().Counts().Block(0, 0).Block(0, 0)
                        .Block(0, 0).Dword(64).Dword(4).Raw({0x78, 0x9C, 0x03, 0x00})
                        .Build();
  const std::wstring karnak = folder_.Write(L"karnak.tr4", tr4);

  ASSERT_EQ(driver_.LoadThroughDialog(city), std::nullopt);
  ASSERT_TRUE(driver_.WaitForLogLines(4));
  ASSERT_EQ(driver_.LoadThroughDialog(karnak + L"."), std::nullopt);
  ASSERT_TRUE(driver_.WaitForLogLines(8));
  ASSERT_EQ(driver_.Log()[7], L"Done");
  EXPECT_EQ(driver_.Label(), karnak + L".");

  driver_.Press(control_id::Command3);
  const auto box = driver_.AnswerMessageBox(L"Error");
  ASSERT_TRUE(box.has_value()) << "no message box";
  const std::wstring told = L" is a Tomb Raider IV level";
  EXPECT_EQ(box->text.rfind(karnak + L"." + told, 0), 0u) << box->text;
  EXPECT_EQ(driver_.Log().back(), L"Done");
  EXPECT_EQ(ReadBytes(karnak), tr4);
}

// Another program (the game's editor, or ornivale-cli) changes the level
// after it was loaded. Save, even with the lists as the load left them,
// must not undo that: it refuses and the level keeps the other program's
// bytes.
TEST_F(Program, LevelChangedByAnotherProgramSinceItWasLoadedIsNotSaved) {
  const Bytes original = LevelBytes(3, 1);  // Catsuit, Rain
  Bytes snow = original;
  snow[FlagsOffset() + 2] = 0x02;
  Bytes grown = original;
  grown.push_back(0x00);
  Bytes rewritten = original;
  rewritten.back() ^= 0xFF;
  for (const Bytes& changed : {snow, grown, rewritten}) {
    const std::wstring path = folder_.Write(L"city.trc", original);
    const std::size_t lines = driver_.Log().size();
    ASSERT_EQ(driver_.LoadThroughDialog(path), std::nullopt);
    ASSERT_TRUE(driver_.WaitForLogLines(lines + 4));
    folder_.Write(L"city.trc", changed);

    driver_.Press(control_id::Command3);
    const auto box = driver_.AnswerMessageBox(L"Error");
    ASSERT_TRUE(box.has_value()) << "no message box";
    EXPECT_EQ(box->text, path + L" has changed since it was loaded. Load it again "
                                L"before saving.");
    EXPECT_EQ(driver_.Log().back(), L"Saving level...");
    EXPECT_EQ(ReadBytes(path), changed);
  }
}

TEST_F(Program, CancellingTheOpenDialogChangesNothing) {
  ASSERT_EQ(driver_.CancelLoad(), std::nullopt);
  EXPECT_EQ(driver_.Log(), Lines{});
  EXPECT_EQ(driver_.Label(), L"No file opened");
  EXPECT_TRUE(DialogsOf(program_.process_id()).empty());
}

TEST_F(Program, SaveBeforeAnyLoadIsRefusedInAnErrorBox) {
  driver_.Press(control_id::Command3);
  const auto box = driver_.AnswerMessageBox(L"Error");
  ASSERT_TRUE(box.has_value()) << "no message box";
  EXPECT_FALSE(box->text.empty());
  EXPECT_EQ(driver_.Log(), Lines{});
}

TEST_F(Program, AboutShowsItsText) {
  driver_.Press(control_id::Command2);
  const auto box = driver_.AnswerMessageBox(L"About");
  ASSERT_TRUE(box.has_value()) << "no message box";
  EXPECT_EQ(box->text,
            L"Ornivale is a very simple program that change the Lara type and "
            L"weather flags in TRC levels. It take me about one hour to code "
            L"it. Created by Pellamir.");
  EXPECT_TRUE(IsWindowEnabled(driver_.window()));
}

TEST_F(Program, ExitEndsTheProcess) {
  driver_.Press(control_id::Command1);
  DWORD exit_code = 1;
  ASSERT_TRUE(program_.WaitForExit(kWaitMs, &exit_code));
  EXPECT_EQ(exit_code, 0u);
}

TEST_F(Program, ClosingByTheTitleBarEndsTheProcess) {
  PostMessageW(driver_.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(program_.WaitForExit(kWaitMs));
}

// "Open with" and a drop on the program's icon start it with the level's
// path as its one argument.
TEST(ProgramStartedWithALevel, ShowsItLoadedAsThroughTheOpenDialog) {
  const TempFolder folder(L"levels with spaces");
  const std::wstring path = folder.Write(L"city level.trc", LevelBytes(3, 1));
  const StartedProgram program(ProgramUnderTest(), {path});
  ASSERT_TRUE(program.started()) << "cannot start the program";
  const HWND window = WaitForMainWindow(program.process_id(), kWaitMs);
  ASSERT_NE(window, nullptr) << "the main window did not appear";
  const MainWindowDriver driver(window);

  ASSERT_TRUE(driver.WaitForLogLines(4));
  EXPECT_EQ(driver.Log(), LoadLogLines(path));
  EXPECT_EQ(driver.Label(), path);
  EXPECT_EQ(driver.SelectedText(control_id::c2), L"Catsuit");
  EXPECT_EQ(driver.SelectedText(control_id::c1), L"Rain");
  EXPECT_TRUE(DialogsOf(program.process_id()).empty());
}

TEST(ProgramStartedWithALevel, OfAWrongVersionShowsTheErrorOverItsWindow) {
  const TempFolder folder;
  const std::wstring path = folder.Write(
      L"other.trc", LevelBytes(3, 1, {0, 0, 0}, {0x54, 0x52, 0x35, 0x00}));
  const StartedProgram program(ProgramUnderTest(), {path});
  ASSERT_TRUE(program.started()) << "cannot start the program";
  const HWND box = WaitForDialog(program.process_id(), L"Error", kWaitMs);
  ASSERT_NE(box, nullptr) << "no message box";
  // The box belongs to the main window, which is already on screen.
  const HWND window = WaitForMainWindow(program.process_id(), 0);
  ASSERT_NE(window, nullptr) << "the main window is not on screen";
  EXPECT_EQ(GetWindow(box, GW_OWNER), window);

  const MainWindowDriver driver(window);
  const auto contents = driver.AnswerMessageBox(L"Error");
  ASSERT_TRUE(contents.has_value());
  EXPECT_EQ(contents->text,
            path + L" isn't a valid Tomb Raider Chronicles Level");
  EXPECT_EQ(driver.Log(), Lines{L"Opening " + path + L"..."});
  EXPECT_EQ(driver.Label(), path);
}

}  // namespace
}  // namespace ornivale::gui_test
