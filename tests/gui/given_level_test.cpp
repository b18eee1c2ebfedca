// Levels handed to the real window in this process other than through the
// Open dialog: named on the program's command line, or dropped onto the
// window. Each must load exactly as a level picked in the dialog does.
#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/gui/main_window_fixture.h"
#include "tests/gui/window_queries.h"
#include "ui/given_level.h"

namespace ornivale::gui_test {
namespace {

using Lines = std::vector<std::wstring>;

std::wstring FolderOf(const std::wstring& path) {
  return path.substr(0, path.rfind(L'\\'));
}

class GivenLevel : public MainWindowTest {
 protected:
  // Drops `paths` onto the window as Explorer does: a DROPFILES block in
  // global memory, posted with WM_DROPFILES. The window frees it.
  void Drop(const std::vector<std::wstring>& paths) {
    std::wstring names;
    for (const std::wstring& path : paths) names += path + L'\0';
    names += L'\0';
    const std::size_t name_bytes = names.size() * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + name_bytes);
    ASSERT_NE(memory, nullptr);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, names.data(), name_bytes);
    GlobalUnlock(memory);
    PostMessageW(Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    Pump();
  }

  // What a load of `path` through the Open dialog shows, with no dialog.
  void ExpectLoaded(const std::wstring& path, const wchar_t* lara,
                    const wchar_t* weather) {
    EXPECT_EQ(Log(), LoadLogLines(path));
    EXPECT_EQ(Label(), path);
    EXPECT_EQ(SelectedText(control_id::c2), lara);
    EXPECT_EQ(SelectedText(control_id::c1), weather);
    EXPECT_EQ(picker_.calls, 0);
    EXPECT_TRUE(boxes_.Seen().empty());
  }
};

TEST_F(GivenLevel, OnTheCommandLineLoadsTheFirstArgumentWithItsSpaces) {
  const TempFolder folder(L"levels with spaces");
  const std::wstring path = folder.Write(L"city level.trc", LevelBytes(3, 1));
  const std::wstring command_line =
      L"\"C:\\Program Files\\Ornivale\\ornivale.exe\" \"" + path +
      L"\" \"" + FolderOf(path) + L"\\other.trc\"";
  const auto given = LevelFromCommandLine(command_line.c_str());
  ASSERT_TRUE(given.has_value());
  EXPECT_EQ(*given, path);

  window_.LoadLevel(*given);
  ExpectLoaded(path, L"Catsuit", L"Rain");
}

TEST_F(GivenLevel, OnTheCommandLineANameInTheCurrentFolderBecomesAFullPath) {
  const std::wstring path = folder_.Write(L"a.trc", LevelBytes(0, 2));
  std::wstring previous(MAX_PATH, L'\0');
  previous.resize(GetCurrentDirectoryW(MAX_PATH, previous.data()));
  ASSERT_TRUE(SetCurrentDirectoryW(FolderOf(path).c_str()));
  const auto given = LevelFromCommandLine(L"ornivale.exe a.trc");
  SetCurrentDirectoryW(previous.c_str());
  ASSERT_TRUE(given.has_value());
  EXPECT_EQ(*given, path);
}

TEST_F(GivenLevel, CommandLinesWithoutALevelGiveNone) {
  for (const wchar_t* command_line :
       {L"ornivale.exe", L"\"C:\\Ornivale\\ornivale.exe\"   ",
        L"ornivale.exe \"\""}) {
    EXPECT_EQ(LevelFromCommandLine(command_line), std::nullopt)
        << command_line;
  }
}

TEST_F(GivenLevel, DroppedFilesLoadTheFirstAsThroughTheOpenDialog) {
  // Without this style Explorer sends the window no drop.
  EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  const std::wstring first = folder_.Write(L"first.trc", LevelBytes(4, 2));
  const std::wstring second = folder_.Write(L"second.trc", LevelBytes(1, 0));
  Drop({first, second});
  ExpectLoaded(first, L"Divesuit", L"Snow");
}

TEST_F(GivenLevel, DroppedPathLongerThanMaxPathIsLoadedWhole) {
  const TempFolder folder(std::wstring(200, L'd'));
  const std::wstring path =
      folder.Write(std::wstring(80, L'n') + L".trc", LevelBytes(3, 1));
  ASSERT_GT(path.size(), static_cast<std::size_t>(MAX_PATH));
  Drop({path});
  ExpectLoaded(path, L"Catsuit", L"Rain");
}

TEST_F(GivenLevel, DroppedLevelOfAWrongVersionShowsTheErrorMessage) {
  const std::wstring bad = folder_.Write(
      L"bad.trc", LevelBytes(3, 1, {0, 0, 0}, {0x54, 0x52, 0x35, 0x00}));
  Drop({bad});
  const auto seen = boxes_.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, bad + L" isn't a valid Tomb Raider Chronicles Level");
  EXPECT_EQ(seen[0].title, L"Error");
  EXPECT_EQ(Log(), Lines{L"Opening " + bad + L"..."});
  EXPECT_EQ(Label(), bad);
}

// A folder dropped onto the window opens in the folder view; the main
// window loads nothing.
TEST_F(GivenLevel, ADroppedFolderOpensInTheFolderView) {
  const std::wstring level = folder_.Write(L"city.trc", LevelBytes(3, 1));
  Drop({FolderOf(level)});
  const HWND view = FindWindowW(L"OrnivaleFolderView", nullptr);
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(IsWindowVisible(view));
  EXPECT_EQ(WindowText(view), FolderOf(level) + L" - Ornivale");
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(Label(), L"No file opened");
  EXPECT_TRUE(boxes_.Seen().empty());
  DestroyWindow(view);
  Pump();
  EXPECT_FALSE(quit_posted_) << "the main window is still open";
}

}  // namespace
}  // namespace ornivale::gui_test
