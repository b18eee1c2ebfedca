#pragma once

#include <string>

#include "level/edit/edit_request.h"
#include "level/format/level_scan.h"
#include "level/format/level_state.h"
#include "level/ports/level_status.h"

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

// An undo's rule, on the level as `now` read it: ok where it is in one of
// the states the rule accepts (UndoRule), with its values where the history
// says, `change` then what the rule gives back in that state; ok too where
// it holds the undo's values already (nothing to write). ChangedSince with
// what is known otherwise: another file, another build, a write since
// Ornivale's, other values. For an edit that undoes nothing, `change` is
// its own.
LevelStatus CheckUndo(const LevelState& now, const LevelEdit& edit, FlagChange* change);

// What an edit's own read of the level must find before anything is
// written: the level whole, still the one the front end loaded, as an
// undo expects it, and writable; `change` gets the values to write
// (CheckUndo).
LevelStatus CheckBeforeWriting(const LevelState& now, const LevelEdit& edit,
                               FlagChange* change);

}  // namespace ornivale::rules
