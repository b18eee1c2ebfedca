#pragma once

#include <string>

#include "level/level_access.h"
#include "level/level_scan.h"
#include "level/level_state.h"
#include "level/level_status.h"

// The rules on what may be read and written, shared by the two roads in
// level_access.cpp and level_edit.cpp.
namespace ornivale::rules {

// The name rules, before anything is opened: a file whose own name ends in
// ".tr4" is never opened for an edit, and with TrcNamesOnly a name that
// doesn't end in ".trc" is no level at all.
LevelStatus CheckName(const std::string& path, NameRule rule);

// Why a level that scanned whole must not be written: it would not be a TRC
// level's flags that the bytes land in.
LevelStatus CheckWritable(const LevelScan& scan, const std::string& path);

// An undo's rule, on the level as `now` read it: ok where it holds the
// undo's values already (nothing to write), or where it is the file and
// the build the undone change was made to, with its values where that
// change found them, and holds what Ornivale last wrote there (or what
// that change found, had its write not happened). ChangedSince with what is
// known otherwise.
LevelStatus CheckUndo(const LevelState& now, const LevelEdit& edit);

// What an edit's own read of the level must find before anything is
// written: the level whole, still the one the front end loaded, holding
// what an undo expects, and writable.
LevelStatus CheckBeforeWriting(const LevelState& now, const LevelEdit& edit);

}  // namespace ornivale::rules
