#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "level/format/level_identity.h"
#include "level/format/level_state.h"
#include "level/ports/level_status.h"

namespace ornivale {

// What a front end asks of the edit road (EditLevels), and what it answers:
// the road and its rules both take these.

// A state an undo accepts the level in, as the history tells it: one that
// Ornivale left it in, or that its last change found it in where that
// change never said how it left it.
struct KnownState {
  // The values it holds there, for some of the flags.
  FlagChange holds;
  // The file and build there, none where the history's line tells none;
  // with `exact`, untouched since (its last-write time and size too).
  std::optional<LevelIdentity> file;
  bool exact = false;
  // What the undo gives back in this state.
  FlagChange gives;
};

// An undo's rule (rules::CheckUndo): the level must be in one of `states`,
// the first the one Ornivale last left it in, with its flags at `offset`
// where the history tells it.
struct UndoRule {
  std::optional<int64_t> offset;
  std::vector<KnownState> states;
};

// An edit of one level: the values to write and what the front end knows of
// the level.
struct LevelEdit {
  LevelEdit(std::string path, FlagChange change,
            NameRule names = NameRule::TrcNamesOnly)
      : path(std::move(path)), change(change), names(names) {}

  std::string path;
  FlagChange change;
  NameRule names;
  // The level's full path (Disk::FullPath), as the history names it, where
  // the front end has it already: the edit asks the disk otherwise.
  std::string full_path;
  // The level as the front end read it when the values were chosen (the
  // window's loaded level, a folder view's row): the edit writes only while
  // the file is still exactly that. Without it the edit reads the level
  // itself, holding it, and "before" is what it held right before the
  // write.
  std::optional<LevelState> loaded;
  // An undo's: what the level must still be for it to be written, and what
  // it then gives back, in place of `change`.
  std::optional<UndoRule> undo;
  // Recorded as a restore --last.
  bool undoes_last = false;
};

class History;

// Who edits, as the history names it ("ornivale", "ornivale-cli set"), the
// history its changes are recorded in, and how: a dry run reads and checks
// each level as an edit would, opens none for writing and records nothing.
struct EditRun {
  std::string program;
  const History& history;
  bool dry_run = false;
  // Whether the history's appends wait for a compaction under way, up to
  // minutes: not on a window's thread, which must answer meanwhile.
  bool waits_for_compaction = true;
  // Asked before each level and while waiting for a compaction: true ends
  // the run there. Levels read for a batch not recorded yet are let go
  // unwritten, without a result; those recorded are written first.
  std::function<bool()> stop = nullptr;
};

struct EditResult {
  std::string full_path;  // the level's, as the history names it
  LevelStatus status;     // ok, or the one failure
  bool opened = false;  // the level was opened and read, and opened for
                        // writing where a change was due
  LevelScan before;     // the level as the edit read it
  LevelState after;     // what it holds now (for a dry run, would hold): a
                        // later edit's `loaded`
  // Why the history could not keep how the write left the level, where it
  // could not (HistoryNotWritten): the level is written all the same, but
  // an undo of it will be refused.
  LevelStatus left_unrecorded;

  bool ok() const { return status.ok(); }
  // Whether any value the level holds now differs from before.
  bool ValuesChanged() const;
};

}  // namespace ornivale
