#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "level/edit/level_access.h"
#include "level/format/level_state.h"
#include "level/history/history.h"

// What the folder view shows of each level and what its commands do to
// them, kept apart from the window that shows it: no Windows header here.
namespace ornivale {

struct LevelRow {
  std::string path;       // as the folder's listing gives it (UTF-8)
  std::string full_path;  // the file's, as the history names it
  std::string name;       // the file's own name
  bool read = false;      // `state` holds what was read of it
  LevelState state;       // as last read or written
  // Why the last Save, Restore or Apply again left the level as it was,
  // until it is read again.
  LevelStatus refused;
  // The values that Ornivale's changes left in the level and it no longer
  // holds (what Apply again writes), none where it holds them all.
  std::optional<FlagChange> lost;
};

// The rows of `folder`'s levels, in the order ornivale-cli lists them, not
// read yet; `why` gets the reason when the folder holds none or can't be
// listed.
std::vector<LevelRow> ListFolderRows(const std::string& folder, Disk& disk, LevelStatus* why);
// Reads the row's level again (InspectLevel); what the last command said of
// it goes.
void ReadRow(LevelRow& row, Disk& disk);
// Finds which of `rows` lost values that Ornivale set there (ReapplyEdits),
// reading the history once.
LevelStatus FindLostValues(std::vector<LevelRow>& rows, const History& history, Disk& disk);

// The columns, in their order.
enum class RowColumn { Level, LaraType, Weather, State, Count };

// A cell's text: the name; a value as its entry's text, or its number
// where its list has none, and nothing where the level can't be read or is
// not read yet; in State, nothing for a level that can be written and holds
// what Ornivale set, else why not.
std::string CellText(const LevelRow& row, RowColumn column);
// Whether `a` comes before `b` in `column`'s order: names as text, values
// as their list's order, levels without values last.
bool RowBefore(const LevelRow& a, const LevelRow& b, RowColumn column);

// The list position shared by every row of `rows` for kFlags[flag], none
// where they differ, hold a value with no entry, or are none.
std::optional<int> SharedPosition(const std::vector<const LevelRow*>& rows, std::size_t flag);

// The folder view's commands on the rows selected.
enum class RowsCommand { Save, Restore, ApplyAgain };

// What keeps a command from running at all.
enum class RowsRefusal { None, NothingSelected, NothingPicked, HistoryOff };
// Whether `command` runs on `selected` rows: none without a row; Save
// writes only values picked, so not without one; Restore and Apply again
// give back what the history holds, so not where it is off.
RowsRefusal CheckRowsCommand(RowsCommand command, std::size_t selected, const FlagChange& picked,
                             const History& history);

// What a command did, for the status line.
struct RowsDone {
  int done = 0;              // saved, restored or applied again
  int refused = 0;           // left as they were, each with its reason in State
  int nothing_recorded = 0;  // a restore's or an Apply again's levels with no history
  int nothing_to_apply = 0;  // an Apply again's levels whose changes came back
  int unreadable = 0;        // lines of the history passed over
  bool stopped = false;      // stopped before its last level
};
// "12 levels saved, 1 refused", "2 levels restored, 3 with nothing
// recorded", and that it was stopped.
std::string DoneText(RowsCommand command, const RowsDone& done);

// Runs `command` on `rows` (the rows selected, as shown) on the one road,
// recorded as the folder view's: Save writes `picked`, only where the level
// is still as its row shows it; Restore gives back the values before
// Ornivale's first change (RestoreEdits); Apply again writes what Ornivale's
// changes left (ReapplyEdits). Each row edited is read again where it was
// refused, and handed to `each` with its place among `rows` as soon as it is
// done; `done` counts them. The history's failure to be read is the status.
LevelStatus RunRowsCommand(RowsCommand command, std::vector<LevelRow>& rows,
                           const FlagChange& picked, const EditRun& run, Disk& disk,
                           const std::function<void(std::size_t, const LevelRow&)>& each,
                           RowsDone* done);

// The program name that the history records a command's changes by.
const char* ProgramOf(RowsCommand command);

}  // namespace ornivale
