#include "ui/level_rows.h"

#include <tuple>

#include "level/failure_words.h"
#include "level/flag_vocabulary.h"
#include "level/level_set.h"

namespace ornivale {
namespace {

std::optional<std::size_t> FlagOf(RowColumn column) {
  switch (column) {
    case RowColumn::LaraType:
      return kLara;
    case RowColumn::Weather:
      return kWeather;
    default:
      return std::nullopt;
  }
}

std::string Counted(int count, const char* what) { return std::to_string(count) + " " + what; }

}  // namespace

std::vector<LevelRow> ReadFolderRows(const std::string& folder, Disk& disk, LevelStatus* why) {
  std::vector<LevelRow> rows;
  *why = {};
  for (const NamedLevel& level : LevelsNamed({folder}, disk)) {
    if (!level.ok()) {
      *why = level.failure;
      continue;
    }
    LevelRow row;
    row.path = level.path;
    row.name = level.path.substr(level.path.find_last_of(disk.Separators()) + 1);
    row.state = InspectLevel(level.path, NameRule::TrcNamesOnly, disk);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string CellText(const LevelRow& row, RowColumn column) {
  if (column == RowColumn::Level) return row.name;
  if (column == RowColumn::State) {
    if (!row.refused.ok()) return BriefReason(row.refused);
    return row.state.ok() ? std::string() : BriefReason(row.state.status);
  }
  if (!row.state.ok()) return {};
  const std::size_t flag = *FlagOf(column);
  const int32_t value = row.state.scan.Value(flag);
  const char* text = kFlags[flag].entries.TextOf(value);
  return text ? text : std::to_string(value);
}

bool RowBefore(const LevelRow& a, const LevelRow& b, RowColumn column) {
  const auto flag = FlagOf(column);
  if (!flag) return CellText(a, column) < CellText(b, column);
  // Entries in list order, then values without one by number, then none.
  const auto key = [&](const LevelRow& row) {
    if (!row.state.ok()) return std::make_tuple(2, 0);
    const int32_t value = row.state.scan.Value(*flag);
    const auto position = kFlags[*flag].entries.PositionOf(value);
    return position ? std::make_tuple(0, *position) : std::make_tuple(1, int{value});
  };
  return key(a) < key(b);
}

std::optional<int> SharedPosition(const std::vector<const LevelRow*>& rows, std::size_t flag) {
  std::optional<int> shared;
  for (const LevelRow* row : rows) {
    if (!row->state.ok()) return std::nullopt;
    const auto position = kFlags[flag].entries.PositionOf(row->state.scan.Value(flag));
    if (!position || (shared && *shared != *position)) return std::nullopt;
    shared = position;
  }
  return shared;
}

std::string DoneText(const RowsDone& done, const char* verb) {
  std::string text = Counted(done.done, done.done == 1 ? "level " : "levels ") + verb;
  if (done.refused > 0) text += ", " + Counted(done.refused, "refused");
  if (done.nothing_recorded > 0) {
    text += ", " + Counted(done.nothing_recorded, "with nothing recorded");
  }
  return text;
}

void TakeEdit(LevelRow& row, const EditResult& result, Disk& disk) {
  row.refused = result.status;
  if (result.ok()) {
    row.state = result.after;
    row.state.status = {};
  } else {
    // What a refused level holds may not be what the view read before.
    row.state = InspectLevel(row.path, NameRule::TrcNamesOnly, disk);
  }
}

}  // namespace ornivale
