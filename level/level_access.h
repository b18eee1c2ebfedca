#pragma once

#include <optional>
#include <string>

#include "level/level_file.h"
#include "level/level_state.h"

namespace ornivale {

// The two roads by which every front end reads and writes levels; each rule
// on what may be read or written is applied here and nowhere else.

// Inspect: opens `path` for reading, scans it and closes it. The state says
// what the file holds or why it is refused: with TrcNamesOnly, a name that
// is not a level's, and any level that an edit would refuse to write (Tomb
// Raider IV level data, bytes where the padding after the flags lies, a
// negative block size); with AnyName, such a level is read like any other
// and refused only when it is saved.
LevelState InspectLevel(const std::string& path, NameRule rule, Disk& disk);

// An edit of one level: the values to write and what the front end knows of
// the level.
struct LevelEdit {
  std::string path;
  FlagChange change;
  NameRule names = NameRule::TrcNamesOnly;
  // The level as the front end read it when the values were chosen (the
  // window's loaded level): the edit writes only while the file is still
  // exactly that. Without it the edit reads the level itself, holding it,
  // and "before" is what it held right before the write.
  std::optional<LevelState> loaded;
};

struct EditResult {
  LevelStatus status;   // ok, or the one failure
  bool opened = false;  // the level was opened and read
  LevelScan before;     // the level as the edit read it
  LevelState after;     // what it holds now: a later edit's `loaded`

  bool ok() const { return status.ok(); }
  // Whether any value the level holds now differs from before.
  bool ValuesChanged() const;
};

// Edits one level, with every rule: the name rules (a file whose own name
// ends in ".tr4" is never opened); the open for writing, which holds the
// level so that no other Ornivale program edits it meanwhile; a scan that
// must find the level still `loaded` where that is given, and a level that
// may be written (no Tomb Raider IV data, zero padding after the flags, no
// negative block size). A level that holds the values already is not
// written at all. Otherwise one write of the values given, a sync, a second
// read of the head and the flags compared with the first, the close, and a
// look that the path still names the file written, at its size. A failure
// after bytes went out has may_be_written set. The level is closed on every
// road; a level that can't be opened for writing is read instead, and
// counts as edited when it holds the values already.
EditResult EditLevel(const LevelEdit& edit, Disk& disk);

// Whether an entry of a folder given for levels is one of them: a ".trc"
// name as Windows resolves it.
bool FolderEntryIsLevel(const std::string& name);

}  // namespace ornivale
