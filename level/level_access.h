#pragma once

#include <memory>
#include <string>

#include "level/level_file.h"
#include "level/level_state.h"

namespace ornivale {

// The two operations that every front end reads and writes levels through;
// each rule on what may be read or written is applied here and nowhere else.

// Inspect: opens `path` for reading, scans it and closes it. The state says
// what the file holds or why it is refused: with TrcNamesOnly, a name that
// is not a level's, and a Tomb Raider IV level by its name or its bytes;
// with AnyName, a Tomb Raider IV level is read like any other and refused
// only when it is saved.
LevelState InspectLevel(const std::string& path, NameRule rule,
                        const LevelFileOpener& opener);

// Apply, in two steps so that a front end can tell the user once the level
// is open. First the name rules (a file whose own name ends in ".tr4" is
// never written), then the open for writing.
LevelStatus OpenForSaving(const std::string& path, NameRule rule,
                          const LevelFileOpener& opener,
                          std::unique_ptr<LevelFile>* file);

// Then, through that file: scans it again and refuses (Changed) unless it
// is still `loaded` (the same size, last-write time, header, flag position
// and four flag bytes) when one is given; refuses a level holding Tomb
// Raider IV data; writes the values given in one write; syncs; reads the
// four bytes back; closes; and checks that the path still names the file
// written, at its size. Returns what the level now holds, or the first
// failure, with may_be_written set where bytes may have gone out. Closes
// the file on every road.
LevelState ApplyFlags(std::unique_ptr<LevelFile> file, const FlagChange& change,
                      const LevelState* loaded);

// Whether an entry of a folder given for levels is one of them: a ".trc"
// name as Windows resolves it.
bool FolderEntryIsLevel(const std::string& name);

}  // namespace ornivale
