#pragma once

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>

#include "level/ports/disk.h"

// Levels handed to the program other than through its Open dialog: named on
// its command line (what "Open with" and a drop on the program's icon do),
// or dropped onto its window.
namespace ornivale {

// The full path of the first argument of `command_line` (a whole Windows
// command line, the program's own name first), or nothing without one.
std::optional<std::wstring> LevelFromCommandLine(const wchar_t* command_line);

// The path of the first file of a drop, or nothing if it holds none. The
// drop stays the caller's to finish.
std::optional<std::wstring> FirstDroppedFile(HDROP drop);

// Whether a path given or dropped names a folder, which the folder view
// shows, as `disk` tells.
bool NamesFolder(const std::wstring& path, Disk& disk);

}  // namespace ornivale
