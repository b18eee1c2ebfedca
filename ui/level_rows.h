#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "level/level_access.h"
#include "level/level_state.h"

// What the folder view shows of each level and what its commands did, kept
// apart from the window that shows it.
namespace ornivale {

struct LevelRow {
  std::string path;  // as the folder's listing gives it (UTF-8)
  std::string name;  // the file's own name
  LevelState state;  // as last read or written
  // Why the last Save or Restore left the level as it was, until the
  // folder is read again.
  LevelStatus refused;
};

// The rows of `folder`'s levels, each read (InspectLevel), in the order
// ornivale-cli lists them; `why` gets the reason when the folder holds none
// or can't be listed.
std::vector<LevelRow> ReadFolderRows(const std::string& folder, Disk& disk, LevelStatus* why);

// The columns, in their order.
enum class RowColumn { Level, LaraType, Weather, State, Count };

// A cell's text: the name; a value as its entry's text, or its number
// where its list has none, and nothing where the level can't be read; in
// State, nothing for a level that can be written, else why not.
std::string CellText(const LevelRow& row, RowColumn column);
// Whether `a` comes before `b` in `column`'s order: names as text, values
// as their list's order, levels without values last.
bool RowBefore(const LevelRow& a, const LevelRow& b, RowColumn column);

// The list position shared by every row of `rows` for kFlags[flag], none
// where they differ, hold a value with no entry, or are none.
std::optional<int> SharedPosition(const std::vector<const LevelRow*>& rows, std::size_t flag);

// What a Save or a Restore did, for the status line.
struct RowsDone {
  int done = 0;              // saved, or restored
  int refused = 0;           // left as they were, each with its reason in State
  int nothing_recorded = 0;  // a restore's levels with nothing to give back
};
// "12 levels saved, 1 refused", "2 levels restored, 3 with nothing recorded".
std::string DoneText(const RowsDone& done, const char* verb);
// The row after its edit: what the level holds now, and why the edit was
// refused, if it was.
void TakeEdit(LevelRow& row, const EditResult& result, Disk& disk);

}  // namespace ornivale
