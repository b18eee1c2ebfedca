#pragma once

#include <windows.h>

namespace ornivale {

// Hands one message to frmMain's keyboard shortcuts, or to its controls the
// way a dialog would (Tab, access keys), or else translates and dispatches
// it.
void ProcessMessage(HWND main_window, MSG& message);
// Runs until the program quits; returns the exit code.
int RunMessageLoop(HWND main_window);

}  // namespace ornivale
