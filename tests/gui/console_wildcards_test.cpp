// ornivale-cli.exe typed in a Windows console with wildcards among its
// levels: the console hands `*` and `?` over as typed, and the program
// expands them itself, as Windows console programs do; writing into a pipe
// whose reader has gone; and started the way a double-click in Explorer
// starts it, in a console of its own.
#include <windows.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "tests/gui/level_files.h"
#include "tests/gui/program_driver.h"
#include "disk/wide_text.h"

namespace ornivale::gui_test {
namespace {

struct ConsoleRun {
  int status = -1;
  std::string output;
};

// Runs ornivale-cli.exe with `arguments` through the command interpreter,
// in `folder`, and collects what it prints.
ConsoleRun RunInConsole(const std::wstring& folder,
                        const std::wstring& arguments) {
  const std::wstring program = WindowsPath(Wide(ORNIVALE_CLI_PROGRAM));
  std::wstring previous(MAX_PATH, L'\0');
  previous.resize(GetCurrentDirectoryW(MAX_PATH, previous.data()));
  SetCurrentDirectoryW(folder.c_str());
  FILE* pipe = _wpopen((L"\"" + program + L"\" " + arguments).c_str(), L"rb");
  SetCurrentDirectoryW(previous.c_str());
  ConsoleRun run;
  if (!pipe) return run;
  char chunk[256];
  while (const std::size_t read = std::fread(chunk, 1, sizeof chunk, pipe)) {
    run.output.append(chunk, read);
  }
  run.status = _pclose(pipe);
  return run;
}

TEST(ConsoleWildcards, StarAndQuestionMarkNameTheMatchingLevels) {
  const TempFolder folder;
  const std::wstring city = folder.Write(L"city.trc", LevelBytes(3, 1));
  folder.Write(L"coastal.trc", LevelBytes(4, 2));
  folder.Write(L"x.trc", LevelBytes(0, 0));
  folder.Write(L"karnak.tr4", LevelBytes(1, 0));
  const std::wstring where = city.substr(0, city.rfind(L'\\'));

  const ConsoleRun all = RunInConsole(where, L"show *.trc");
  EXPECT_EQ(all.status, 0) << all.output;
  for (const char* name : {"city.trc", "coastal.trc", "x.trc"}) {
    EXPECT_NE(all.output.find(name), std::string::npos) << all.output;
  }
  EXPECT_EQ(all.output.find("karnak"), std::string::npos) << all.output;
  EXPECT_EQ(all.output.find('*'), std::string::npos) << all.output;

  const ConsoleRun one_letter = RunInConsole(where, L"show ?.trc");
  EXPECT_EQ(one_letter.status, 0) << one_letter.output;
  EXPECT_NE(one_letter.output.find("x.trc"), std::string::npos);
  EXPECT_EQ(one_letter.output.find("city"), std::string::npos);
  EXPECT_EQ(one_letter.output.find('?'), std::string::npos);
}

// Windows matches `*.trc` against short 8.3 names too (LEVEL~1.TRC for
// level.trcx); the program goes by the long names alone.
TEST(ConsoleWildcards, LongNamesAloneDecideAndANameMatchingNothingIsReported) {
  const TempFolder folder;
  const std::wstring city = folder.Write(L"city.trc", LevelBytes(3, 1));
  folder.Write(L"level.trcx", LevelBytes(4, 2));
  const std::wstring where = city.substr(0, city.rfind(L'\\'));

  const ConsoleRun all = RunInConsole(where, L"show *.trc");
  EXPECT_EQ(all.status, 0) << all.output;
  EXPECT_NE(all.output.find("city.trc"), std::string::npos) << all.output;
  EXPECT_EQ(all.output.find("level.trcx"), std::string::npos) << all.output;

  const ConsoleRun none = RunInConsole(where, L"show *.tr5 city.trc 2>&1");
  EXPECT_EQ(none.status, 1) << none.output;
  EXPECT_NE(none.output.find("ornivale-cli: no level matches *.tr5"), std::string::npos)
      << none.output;
  EXPECT_NE(none.output.find("city.trc: Lara type Catsuit (3)"), std::string::npos)
      << none.output;
}

// What ornivale-cli.exe wrote to its standard error, and its status, when
// the reader of its standard output has gone before it writes (as `head`
// or `Select -First` go once they have what they want).
struct PipedRun {
  DWORD status = 1;
  std::string errors;
};

PipedRun RunWithItsOutputUnread(const std::wstring& arguments) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE out_read = nullptr, out_write = nullptr, err_read = nullptr, err_write = nullptr;
  PipedRun run;
  if (!CreatePipe(&out_read, &out_write, &inherited, 0)) return run;
  CloseHandle(out_read);
  if (!CreatePipe(&err_read, &err_write, &inherited, 0)) {
    CloseHandle(out_write);
    return run;
  }
  SetHandleInformation(err_read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  std::wstring command = L"\"" + WindowsPath(Wide(ORNIVALE_CLI_PROGRAM)) + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startup, &process);
  CloseHandle(out_write);
  CloseHandle(err_write);
  if (started) {
    char chunk[256];
    DWORD read = 0;
    while (ReadFile(err_read, chunk, sizeof chunk, &read, nullptr) && read > 0) {
      run.errors.append(chunk, read);
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(err_read);
  return run;
}

// A show whose reader has gone ends quietly with status 0, having nothing
// more to say to anyone; a set still says its results are lost.
TEST(ConsolePipe, AReaderThatHasGoneEndsAShowQuietlyAndASetSaysSo) {
  const TempFolder folder;
  const std::wstring city = folder.Write(L"city.trc", LevelBytes(3, 1));
  const std::wstring coastal = folder.Write(L"coastal.trc", LevelBytes(4, 2));
  const std::wstring levels = L" \"" + city + L"\" \"" + coastal + L"\"";

  const PipedRun show = RunWithItsOutputUnread(L"show" + levels);
  EXPECT_EQ(show.status, 0u) << show.errors;
  EXPECT_EQ(show.errors, "");

  const PipedRun set = RunWithItsOutputUnread(L"set --lara young" + levels);
  EXPECT_EQ(set.status, 1u) << set.errors;
  EXPECT_NE(set.errors.find("can't write to standard output"), std::string::npos) << set.errors;
}

// What a console's window shows, read through a handle to its screen: the
// rows of its buffer that are in view, not those scrolled away.
std::wstring ScreenText(HANDLE screen) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!GetConsoleScreenBufferInfo(screen, &info)) return {};
  const auto rows = static_cast<std::size_t>(info.srWindow.Bottom - info.srWindow.Top + 1);
  std::wstring text(static_cast<std::size_t>(info.dwSize.X) * rows, L' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(screen, text.data(), static_cast<DWORD>(text.size()),
                              COORD{0, info.srWindow.Top}, &read);
  text.resize(read);
  return text;
}

// Double-clicked, the program has a console of its own, which closes when
// it ends: it shows a help that fits the window there, its usage lines in
// view, and waits for a key first.
TEST(OwnConsole, ShowsAShortHelpInViewAndWaitsForAKey) {
  std::wstring command = L"\"" + WindowsPath(Wide(ORNIVALE_CLI_PROGRAM)) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                             CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &process));
  // Still there a while later: it waits for the key.
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 2000), static_cast<DWORD>(WAIT_TIMEOUT));

  FreeConsole();
  ASSERT_TRUE(AttachConsole(process.dwProcessId));
  const HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  const HANDLE keys = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  const std::wstring shown = ScreenText(screen);
  INPUT_RECORD key{};
  key.EventType = KEY_EVENT;
  key.Event.KeyEvent.bKeyDown = TRUE;
  key.Event.KeyEvent.wRepeatCount = 1;
  key.Event.KeyEvent.wVirtualKeyCode = VK_SPACE;
  key.Event.KeyEvent.uChar.UnicodeChar = L' ';
  DWORD written = 0;
  EXPECT_TRUE(WriteConsoleInputW(keys, &key, 1, &written));
  CloseHandle(keys);
  CloseHandle(screen);
  FreeConsole();

  EXPECT_NE(shown.find(L"Usage: ornivale-cli show"), std::wstring::npos) << shown;
  EXPECT_NE(shown.find(L"ornivale-cli restore"), std::wstring::npos) << shown;
  EXPECT_NE(shown.find(L"ornivale-cli --help | more"), std::wstring::npos) << shown;
  EXPECT_NE(shown.find(L"Press any key to close this window."), std::wstring::npos);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  EXPECT_EQ(status, 0u);
  if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace ornivale::gui_test
