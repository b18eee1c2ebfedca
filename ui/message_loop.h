#pragma once

#include <windows.h>

namespace ornivale {

// Gives the top-level window `window` the keyboard shortcuts of the
// accelerator table `shortcuts_id` and the keys of a dialog (Tab, access
// keys), whichever of its controls has the focus. Until it is destroyed.
void UseWindowKeys(HWND window, int shortcuts_id);
// Hands one message to the shortcuts of its top-level window, or to that
// window's controls the way a dialog would, or else translates and
// dispatches it.
void ProcessMessage(MSG& message);
// Runs until the program quits; returns the exit code.
int RunMessageLoop();

}  // namespace ornivale
