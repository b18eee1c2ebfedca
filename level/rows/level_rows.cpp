#include "level/rows/level_rows.h"

#include <tuple>

#include "level/edit/undo_plans.h"
#include "level/format/flag_vocabulary.h"
#include "level/sets/level_set.h"
#include "level/sets/name_order.h"
#include "level/words/failure_words.h"

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

std::vector<std::string> PathsOf(const std::vector<LevelRow>& rows) {
  std::vector<std::string> paths;
  paths.reserve(rows.size());
  for (const LevelRow& row : rows) paths.push_back(row.path);
  return paths;
}

// The row after its edit: what the level holds now, and why the edit was
// refused, if it was.
void TakeEdit(LevelRow& row, const EditResult& result, Disk& disk) {
  if (result.ok()) {
    row.state = result.after;
    row.state.status = {};
  } else {
    // What a refused level holds may not be what the view read before.
    ReadRow(row, disk);
  }
  row.read = true;
  row.refused = result.status;
}

// The edits of `command` for `rows`, each with its row's place in `edited`;
// the rows with none counted, and handed to `each` as they are.
LevelStatus EditsOf(RowsCommand command, std::vector<LevelRow>& rows, const FlagChange& picked,
                    const History& history, Disk& disk,
                    const std::function<void(std::size_t, const LevelRow&)>& each,
                    std::vector<LevelEdit>* edits, std::vector<std::size_t>* edited,
                    RowsDone* done) {
  const auto none = [&](std::size_t i, int* counted) {
    ++*counted;
    rows[i].refused = {};
    each(i, rows[i]);
  };
  if (command == RowsCommand::Save) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      LevelEdit& edit = edits->emplace_back(rows[i].path, picked);
      edit.full_path = rows[i].full_path;
      // Only the level as its row shows it: another program's change since
      // is refused, and the row then shows it.
      if (rows[i].read) edit.loaded = rows[i].state;
      edited->push_back(i);
    }
    return {};
  }
  if (command == RowsCommand::Restore) {
    std::vector<std::optional<LevelEdit>> restores;
    const LevelStatus read =
        RestoreEdits(PathsOf(rows), false, history, disk, &restores, &done->unreadable);
    for (std::size_t i = 0; read.ok() && i < rows.size(); ++i) {
      if (!restores[i]) {
        none(i, &done->nothing_recorded);
        continue;
      }
      edits->push_back(std::move(*restores[i]));
      edited->push_back(i);
    }
    return read;
  }
  std::vector<Reapplying> reapplyings;
  const LevelStatus read =
      ReapplyEdits(PathsOf(rows), history, disk, &reapplyings, &done->unreadable);
  for (std::size_t i = 0; read.ok() && i < rows.size(); ++i) {
    switch (reapplyings[i].kind) {
      case Reapplying::Kind::Apply:
        edits->push_back(std::move(*reapplyings[i].edit));
        edited->push_back(i);
        break;
      case Reapplying::Kind::NothingToApply:
        none(i, &done->nothing_to_apply);
        break;
      case Reapplying::Kind::NothingRecorded:
        none(i, &done->nothing_recorded);
        break;
    }
  }
  return read;
}

}  // namespace

std::vector<LevelRow> ListFolderRows(const std::string& folder, Disk& disk, LevelStatus* why) {
  std::vector<LevelRow> rows;
  *why = {};
  for (const NamedLevel& level : LevelsNamed({folder}, disk)) {
    if (!level.ok()) {
      *why = level.failure;
      continue;
    }
    LevelRow& row = rows.emplace_back();
    row.path = level.path;
    row.full_path = level.full_path;
    row.name = level.path.substr(level.path.find_last_of(disk.Separators()) + 1);
  }
  return rows;
}

void ReadRow(LevelRow& row, Disk& disk) {
  row.state = InspectLevel(row.path, NameRule::TrcNamesOnly, disk);
  row.read = true;
  row.refused = {};
}

LevelStatus FindLostValues(std::vector<LevelRow>& rows, const History& history, Disk& disk) {
  std::vector<Reapplying> reapplyings;
  int unreadable = 0;
  const LevelStatus read = ReapplyEdits(PathsOf(rows), history, disk, &reapplyings, &unreadable);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    LevelRow& row = rows[i];
    row.lost.reset();
    const auto& edit = read.ok() ? reapplyings[i].edit : std::nullopt;
    if (edit && row.read && row.state.ok() && !edit->change.HeldBy(row.state.scan)) {
      row.lost = edit->change;
    }
  }
  return read;
}

std::string CellText(const LevelRow& row, RowColumn column) {
  if (column == RowColumn::Level) return row.name;
  if (column == RowColumn::State) {
    if (!row.refused.ok()) return BriefReason(row.refused);
    if (!row.read) return {};
    if (!row.state.ok()) return BriefReason(row.state.status);
    return row.lost ? "no longer holds the values Ornivale set" : "";
  }
  if (!row.read || !row.state.ok()) return {};
  const std::size_t flag = *FlagOf(column);
  const int32_t value = row.state.scan.Value(flag);
  const char* text = kFlags[flag].entries.TextOf(value);
  return text ? text : std::to_string(value);
}

bool RowBefore(const LevelRow& a, const LevelRow& b, RowColumn column) {
  const auto flag = FlagOf(column);
  if (!flag) return NameBefore(CellText(a, column), CellText(b, column));
  // Entries in list order, then values without one by number, then none.
  const auto key = [&](const LevelRow& row) {
    if (!row.read || !row.state.ok()) return std::make_tuple(2, 0);
    const int32_t value = row.state.scan.Value(*flag);
    const auto position = kFlags[*flag].entries.PositionOf(value);
    return position ? std::make_tuple(0, *position) : std::make_tuple(1, int{value});
  };
  return key(a) < key(b);
}

std::optional<int> SharedPosition(const std::vector<const LevelRow*>& rows, std::size_t flag) {
  std::optional<int> shared;
  for (const LevelRow* row : rows) {
    if (!row->read || !row->state.ok()) return std::nullopt;
    const auto position = kFlags[flag].entries.PositionOf(row->state.scan.Value(flag));
    if (!position || (shared && *shared != *position)) return std::nullopt;
    shared = position;
  }
  return shared;
}

RowsRefusal CheckRowsCommand(RowsCommand command, std::size_t selected, const FlagChange& picked,
                             const History& history) {
  if (selected == 0) return RowsRefusal::NothingSelected;
  if (command == RowsCommand::Save) {
    return picked.empty() ? RowsRefusal::NothingPicked : RowsRefusal::None;
  }
  return history.off() ? RowsRefusal::HistoryOff : RowsRefusal::None;
}

const char* ProgramOf(RowsCommand command) {
  switch (command) {
    case RowsCommand::Save:
      return "ornivale folder view";
    case RowsCommand::Restore:
      return "ornivale folder view restore";
    case RowsCommand::ApplyAgain:
      return "ornivale folder view apply again";
  }
  return "";
}

std::string DoneText(RowsCommand command, const RowsDone& done) {
  const char* verb = command == RowsCommand::Save      ? "saved"
                     : command == RowsCommand::Restore ? "restored"
                                                       : "applied again";
  std::string text = Counted(done.done, done.done == 1 ? "level " : "levels ") + verb;
  if (done.refused > 0) text += ", " + Counted(done.refused, "refused");
  if (done.nothing_recorded > 0) {
    text += ", " + Counted(done.nothing_recorded, "with nothing recorded");
  }
  if (done.nothing_to_apply > 0) {
    text += ", " + Counted(done.nothing_to_apply, "with nothing to apply again");
  }
  if (done.unreadable > 0) {
    text += "; " + Counted(done.unreadable, "lines of the history can't be read");
  }
  if (done.stopped) text += "; stopped";
  return text;
}

LevelStatus RunRowsCommand(RowsCommand command, std::vector<LevelRow>& rows,
                           const FlagChange& picked, const EditRun& run, Disk& disk,
                           const std::function<void(std::size_t, const LevelRow&)>& each,
                           RowsDone* done) {
  *done = {};
  std::vector<LevelEdit> edits;
  std::vector<std::size_t> edited;
  const LevelStatus read =
      EditsOf(command, rows, picked, run.history, disk, each, &edits, &edited, done);
  if (!read.ok()) return read;
  std::size_t next = 0;
  EditLevels(edits, run, disk, [&](const EditResult& result) {
    const std::size_t i = edited[next++];
    TakeEdit(rows[i], result, disk);
    ++(result.ok() ? done->done : done->refused);
    each(i, rows[i]);
  });
  done->stopped = next < edits.size();
  // What their edits left in them is what Apply again would now write.
  FindLostValues(rows, run.history, disk);
  for (std::size_t i = 0; i < rows.size(); ++i) each(i, rows[i]);
  return {};
}

}  // namespace ornivale
