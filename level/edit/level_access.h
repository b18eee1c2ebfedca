#pragma once

#include <functional>
#include <string>
#include <vector>

#include "level/edit/edit_request.h"
#include "level/format/level_state.h"
#include "level/ports/disk.h"

namespace ornivale {

// The two roads by which every front end reads and writes levels; each rule
// on what may be read or written is applied on them and nowhere else.

// Inspect: opens `path` for reading, scans it and closes it. The state says
// what the file holds or why it is refused: with TrcNamesOnly, a name that
// is not a level's, and any level that an edit would refuse to write (Tomb
// Raider IV level data, bytes where the padding after the flags lies, a
// negative block size); with AnyName, such a level is read like any other
// and refused only when it is saved.
LevelState InspectLevel(const std::string& path, NameRule rule, Disk& disk);

// Edits the levels, in order, each with every rule: the name rules (a file
// whose own name ends in ".tr4" is never opened); the open for writing,
// which holds the level so that no other Ornivale program edits it
// meanwhile; a read that must find the level still `loaded` where that is
// given, holding what an undo expects, and one that may be written (no Tomb
// Raider IV data, zero padding after the flags, no negative block size). A
// level that holds the values already is not written at all. Otherwise the
// change is appended to the history (HistoryNotWritten, and no write, when
// it can't be); then one write of the values given, a sync, a second read of
// the head and the flags compared with the first, the close, and a look
// that the path still names the file written, at its size. A failure after
// bytes went out has may_be_written set. Several levels' changes are
// recorded in one append and one sync before any of them is written, each
// level held meanwhile, and how they were left in one more after. Every
// level is closed on every road; one that can't be opened for writing is
// read instead, and counts as edited when it holds the values already.
// `done` gets each edit's result, in order.
void EditLevels(const std::vector<LevelEdit>& edits, const EditRun& run,
                Disk& disk, const std::function<void(const EditResult&)>& done);
// EditLevels of one level.
EditResult EditLevel(const LevelEdit& edit, const EditRun& run, Disk& disk);

}  // namespace ornivale
