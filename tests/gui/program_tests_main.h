#pragma once

#include <string>

#include <gtest/gtest.h>

#include "tests/gui/program_driver.h"

namespace ornivale::gui_test {

// The ornivale.exe that a test of the running program starts: the one path
// its command line gives, after the GoogleTest options.
const std::wstring& ProgramUnderTest();

// A test on that program, started for it with its main window found.
class RunningProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.started()) << "cannot start the program";
    const HWND window = WaitForMainWindow(program_.process_id(), kWaitMs);
    ASSERT_NE(window, nullptr) << "the main window did not appear";
    driver_ = MainWindowDriver(window);
  }

  StartedProgram program_{ProgramUnderTest()};
  MainWindowDriver driver_{nullptr};
};

}  // namespace ornivale::gui_test
