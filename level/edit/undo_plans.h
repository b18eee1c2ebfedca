#pragma once

#include <optional>
#include <string>
#include <vector>

#include "level/edit/level_access.h"
#include "level/history/history.h"
#include "level/history/records.h"
#include "level/ports/disk.h"

namespace ornivale {

// The edits that give back or apply again what the history recorded, each
// written only where its rules allow: the one place that turns a level's
// undo chain into an edit, for every front end.

// The edit that gives the level at `path` the values it held before the
// first change of its chain (with `last`: before the last change that no
// restore --last has undone; none when every one has been, or the chain is
// empty), written only where the level is still as Ornivale last left it
// (rules::CheckUndo). A last change that never told how it left the level
// counts as never written, where the level is still as that change found
// it: an interrupted run never stands in an undo's way. The one rule of
// restore and of the windows' "Restore original values".
std::optional<LevelEdit> RestoreEdit(const std::string& path,
                                     const std::vector<ChangeDetails>& chain, bool last);

// RestoreEdit of each of the levels at `paths`, in their order, reading the
// history once for them all: none for a level whose history holds nothing
// to give back. `unreadable` counts the lines passed over (History::Read);
// the status is the history's own failure, if any.
LevelStatus RestoreEdits(const std::vector<std::string>& paths, bool last,
                         const History& history, Disk& disk,
                         std::vector<std::optional<LevelEdit>>* edits, int* unreadable);

// What a record read back asks of its level (set --from), held in a
// fraction of a LevelEdit's memory, for an input may hold a great many.
struct RecordEdit {
  std::string path;
  FlagValues values{};                  // what the record says the level holds
  std::optional<FlagValues> before;     // a set's or a change's: what it found
  std::optional<ChangeDetails> change;  // a change of the history's, without
                                        // its time and program
  const LevelFormat* kind = &kTrcFormat;  // which flags its values hold
};
RecordEdit EditOfRecord(Record&& record);

// The edits that `records` ask for, in their order: a show or check record
// gives its level its values; a set record gives back only the values that
// set changed, where the level still holds what it wrote; a change of the
// history does too, and asks restore's question besides, of the level's
// chain where the change lies on it, else of that change alone. The history
// is read once, for the changes among them; its failure is the status.
LevelStatus EditsOfRecords(const std::vector<RecordEdit>& records, const History& history,
                           Disk& disk, std::vector<LevelEdit>* edits, int* unreadable);

// What reapply finds for a level.
struct Reapplying {
  enum class Kind {
    NothingRecorded,  // the history holds no change of it
    NothingToApply,   // its last change is a restore, or gave every value back
    Apply,            // `edit` writes the values Ornivale's changes left
  };
  Kind kind = Kind::NothingRecorded;
  std::optional<LevelEdit> edit;
};

// For each of the levels at `paths`, in their order, reading the history
// once: the values that Ornivale's changes to it left, each field whose
// value after its chain's last change differs from its value before the
// chain's first (a change that never told how it left the level counts as
// never written), as an edit like a set's. A level that holds them already
// is not written by it.
LevelStatus ReapplyEdits(const std::vector<std::string>& paths, const History& history,
                         Disk& disk, std::vector<Reapplying>* reapplyings, int* unreadable);

}  // namespace ornivale
