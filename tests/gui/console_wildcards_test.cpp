// ornivale-cli.exe typed in a Windows console with wildcards among its
// levels: the console hands `*` and `?` over as typed, and the program
// expands them itself, as Windows console programs do.
#include <windows.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "tests/gui/level_files.h"
#include "tests/gui/program_driver.h"
#include "ui/wide_text.h"

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

}  // namespace
}  // namespace ornivale::gui_test
