#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace ornivale {

// The system's folder picker (the Open dialog choosing folders), titled
// "Open folder": the full path of the folder chosen, or nothing when the
// user cancels or the system has no picker to show.
std::optional<std::wstring> PickFolder(HWND owner);

}  // namespace ornivale
