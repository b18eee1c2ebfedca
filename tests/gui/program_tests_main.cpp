// The entry point of the tests that start the real ornivale.exe:
//   TESTS PATH-OF-ornivale.exe [GoogleTest options]
#include "tests/gui/program_tests_main.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "tests/gui/program_driver.h"

namespace ornivale::gui_test {
namespace {

std::wstring& Program() {
  static std::wstring program;
  return program;
}

}  // namespace

const std::wstring& ProgramUnderTest() { return Program(); }

}  // namespace ornivale::gui_test

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 2) {
    std::fwprintf(stderr, L"usage: %ls PATH-OF-ornivale.exe\n", argv[0]);
    return 2;
  }
  ornivale::gui_test::Program() = ornivale::gui_test::WindowsPath(argv[1]);
  return RUN_ALL_TESTS();
}
