#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "level/disk.h"
#include "level/level_access.h"
#include "level/records.h"

namespace ornivale {

// The history: one line of JSON for each change Ornivale made to a level
// (records.h), appended before the change is written, so that the values a
// level held can be given back.

// Where the history is kept, or that it is kept nowhere.
struct HistoryPlace {
  bool off = false;
  std::string path;
};

// ORNIVALE_HISTORY names the file by its absolute path, and "off" in any
// case turns the history off; any other value is BadHistorySetting. Unset
// or empty: the system's own place for it (Disk::DefaultHistoryPath).
LevelStatus LocateHistory(Disk& disk, HistoryPlace* place);

// HistoryNotRead of the history file at `history`, with the system's reason.
LevelStatus HistoryNotRead(const std::string& history, const std::string& reason);

// `milliseconds` after 1970-01-01 00:00 UTC as "2026-12-09T05:10:00.123Z".
std::string UtcTime(int64_t milliseconds);

// Each change the history keeps, oldest first, to `each`; a history not
// written yet keeps none. A line it can't read (a write cut short by a
// crash, a hand's edit, a line over 1 MiB) is passed over and counted in
// `unreadable`.
// HistoryNotRead with the system's reason when the file can't be read.
// Given `level`, the lines that can't be about that level are passed over
// unread: a long history is read quickly for one level.
LevelStatus ReadHistory(Disk& disk, const HistoryPlace& place,
                        const std::function<void(Record record)>& each,
                        int* unreadable, const std::string& level = {});

// The changes recorded of each level, under its disk.PathKey(full path),
// oldest first: its undo chain, the changes since the chain last broke, for
// what came before belongs to another file or another build at that path.
// A change whose write the next one shows never happened is left out.
using ChangesByLevel = std::map<std::string, std::vector<ChangeDetails>>;
LevelStatus RecordedChanges(Disk& disk, const HistoryPlace& place,
                            ChangesByLevel* changes, int* unreadable,
                            const std::string& level = {});

// The edit that gives the level at `path` the values it held before the
// first change of its chain (with `last`: before the last change that no
// restore --last has undone; none when every one has been, or the chain is
// empty), written only
// where the rules of an undo allow (rules::CheckUndo). The one rule of both
// restore and the window's "Restore original values".
std::optional<LevelEdit> RestoreEdit(const std::string& path,
                                     const std::vector<ChangeDetails>& chain, bool last);

}  // namespace ornivale
