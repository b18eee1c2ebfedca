#pragma once

#include <string>

namespace ornivale::gui_test {

// The ornivale.exe that a test of the running program starts: the one path
// its command line gives, after the GoogleTest options.
const std::wstring& ProgramUnderTest();

}  // namespace ornivale::gui_test
