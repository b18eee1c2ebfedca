#include "cli/history_commands.h"

#include <set>
#include <vector>

#include "cli/flag_report.h"
#include "cli/level_commands.h"
#include "cli/one_line.h"
#include "cli/output.h"
#include "level/edit/level_access.h"
#include "level/edit/undo_plans.h"
#include "level/history/history.h"
#include "level/history/records.h"
#include "level/sets/level_set.h"
#include "level/words/failure_words.h"

namespace ornivale::cli {
namespace {

// Whether there is a history to read; false after saying why there is none.
bool Readable(const History& history, const Output& output) {
  if (history.status().ok()) return true;
  const LevelStatus& why = history.status();
  return Report(HistoryNotRead(why.path, ReasonOf(why)), Access::ReadOnly, output);
}

// What the LEVELs and FOLDERs given name, by the disk's keys.
struct Named {
  std::set<std::string> levels;
  std::set<std::string> folders;

  bool Holds(Disk& disk, const std::string& path) const {
    return levels.count(disk.PathKey(path)) != 0 ||
           (!folders.empty() && folders.count(disk.PathKey(FolderOf(path, disk))) != 0);
  }
};

Named NamedBy(const std::vector<std::string>& args, Disk& disk) {
  Named named;
  for (const std::string& arg : args) {
    bool folder = false;
    disk.IsFolder(arg, &folder);
    // A folder's own path, as the path of a file in it gives it.
    const std::string full = disk.FullPath(folder ? arg + disk.Separators()[0] + "x" : arg);
    (folder ? named.folders : named.levels)
        .insert(disk.PathKey(folder ? FolderOf(full, disk) : full));
  }
  return named;
}

// CannotOpen, with the system's reason, where `path` names no file at all.
LevelStatus NoFileAt(const std::string& path, Disk& disk) {
  if (disk.Exists(path)) return {};
  return InspectLevel(path, NameRule::AnyName, disk).status;
}

LevelScan ScanWith(const FlagValues& values) {
  LevelScan scan;
  for (std::size_t i = 0; i < kFlagCount; ++i) scan.flags[i].Value = values[i];
  return scan;
}

// The exit status of a command that `does` what the history recorded where
// there is no history to read, after saying why: `when_off` where it is
// turned off.
std::optional<int> Unavailable(const History& history, const char* does, int when_off,
                               const Output& output) {
  if (history.off()) {
    output.err << "ornivale-cli: " << does
               << " what the history recorded, and ORNIVALE_HISTORY=off keeps none\n";
    return when_off;
  }
  if (!Readable(history, output)) return kSomeFailed;
  return std::nullopt;
}

// Whether the history was read for the levels named: false after saying
// why not. The lines passed over get a note either way.
bool Read(const LevelStatus& read, int unreadable, const History& history,
          const Output& output) {
  NoteUnreadable(history, unreadable, output.err);
  if (read.ok()) return true;
  Report(read, Access::Writes, output);
  return false;
}

// The levels among those named that stand for a file.
std::vector<std::string> Found(const std::vector<NamedLevel>& levels) {
  std::vector<std::string> found;
  for (const NamedLevel& level : levels) {
    if (level.failure.ok()) found.push_back(level.path);
  }
  return found;
}

constexpr NothingToDo kNothingRecorded{Outcome::NothingRecorded,
                                       "nothing recorded, left as it is", NothingRecordedJson};
constexpr NothingToDo kNothingToApply{Outcome::NothingToApply,
                                      "nothing to apply again, left as it is",
                                      NothingToApplyJson};

// The step of a level with no edit: its failure, a LEVEL that names no file
// at all among them, or `nothing` to do.
Step Without(const NamedLevel& level, const NothingToDo* nothing, Disk& disk) {
  Step step;
  step.failure = level.failure.ok() ? NoFileAt(level.path, disk) : level.failure;
  if (step.failure.ok()) step.nothing = nothing;
  return step;
}

int Compact(const History& history, const Output& output) {
  Compaction kept;
  const LevelStatus compacted = history.Compact(&kept);
  if (!compacted.ok()) {
    Report(compacted, Access::ReadOnly, output);
    return kSomeFailed;
  }
  PrintLine(output.out, "the history file " + history.path() + " keeps " +
                            std::to_string(kept.lines_kept) + " of its " +
                            std::to_string(kept.lines_before) + " lines (" +
                            std::to_string(kept.bytes_kept) + " of " +
                            std::to_string(kept.bytes_before) + " bytes): what restore "
                            "and restore --last can still give back" +
                            (kept.lines_newer == 0
                                 ? std::string()
                                 : ", and " + std::to_string(kept.lines_newer) +
                                       (kept.lines_newer == 1 ? " line" : " lines") +
                                       " of a later version of Ornivale"));
  return kAllSucceeded;
}

}  // namespace

int RunHistory(const Arguments& args, Disk& disk, const History& history,
               const Output& output) {
  if (history.off()) {
    output.err << "ornivale-cli: note: ORNIVALE_HISTORY=off: no history is kept\n";
    return kAllSucceeded;
  }
  if (!Readable(history, output)) return kSomeFailed;
  if (args.compact) return Compact(history, output);
  const Named named = NamedBy(args.levels, disk);
  int unreadable = 0;
  int newer = 0;
  const LevelStatus read = history.Read(
      [&](const Record& record) {
        // How a change left its level is no change of its own.
        if (!output.out || !record.change) return;
        const ChangeDetails& change = *record.change;
        if (output.json) {
          output.out << ChangeJson(record.path, change) << '\n';
          return;
        }
        const auto scan = [&](const auto& bytes) {
          return ScanWith(ValuesOfBytes(bytes, *change.kind));
        };
        PrintLine(output.out, change.time + " " + change.program + ": " + record.path + ": " +
                                  DescribeSet(scan(change.before), scan(change.written)));
      },
      &unreadable,
      args.levels.empty() ? HistoryScope()
                          : [&](const std::string& path) { return named.Holds(disk, path); },
      &newer);
  NoteUnreadable(history, unreadable, output.err);
  NoteNewer(history, newer, output.err);
  if (!read.ok()) {
    Report(read, Access::ReadOnly, output);
    return kSomeFailed;
  }
  // A LEVEL that names no file is told, whatever the history kept of it.
  bool all_found = true;
  for (const std::string& level : args.levels) {
    const LevelStatus missing = NoFileAt(level, disk);
    if (!missing.ok()) all_found = Report(missing, Access::ReadOnly, output);
  }
  return all_found ? kAllSucceeded : kSomeFailed;
}

int RunRestore(const Arguments& args, Disk& disk, const History& history,
               const Output& output) {
  if (const auto off = Unavailable(history, "restore gives back", kUsageError, output)) return *off;
  const std::vector<NamedLevel> levels = LevelsNamed(args.levels, disk);
  std::vector<std::optional<LevelEdit>> restores;
  int unreadable = 0;
  const LevelStatus read =
      RestoreEdits(Found(levels), args.last, history, disk, &restores, &unreadable);
  if (!Read(read, unreadable, history, output)) return kSomeFailed;
  std::vector<Step> steps;
  auto restore = restores.begin();
  for (const NamedLevel& level : levels) {
    Step& step = steps.emplace_back();
    if (level.failure.ok()) step.edit = std::move(*restore++);
    if (!step.edit) step = Without(level, &kNothingRecorded, disk);
  }
  return RunSteps(steps, levels, {"ornivale-cli restore", history, args.dry_run}, disk, output);
}

int RunReapply(const Arguments& args, Disk& disk, const History& history,
               const Output& output) {
  if (const auto off = Unavailable(history, "reapply writes again", kSomeFailed, output)) {
    return *off;
  }
  const std::vector<NamedLevel> levels = LevelsNamed(args.levels, disk);
  std::vector<Reapplying> reapplyings;
  int unreadable = 0;
  const LevelStatus read = ReapplyEdits(Found(levels), history, disk, &reapplyings, &unreadable);
  if (!Read(read, unreadable, history, output)) return kSomeFailed;
  std::vector<Step> steps;
  auto reapplying = reapplyings.begin();
  for (const NamedLevel& level : levels) {
    Step& step = steps.emplace_back();
    if (!level.failure.ok()) {
      step.failure = level.failure;
      continue;
    }
    Reapplying& found = *reapplying++;
    if (found.kind == Reapplying::Kind::Apply) {
      step.edit = std::move(found.edit);
    } else {
      step = Without(level, found.kind == Reapplying::Kind::NothingToApply ? &kNothingToApply
                                                                          : &kNothingRecorded,
                     disk);
    }
  }
  return RunSteps(steps, levels, {"ornivale-cli reapply", history, args.dry_run}, disk, output);
}

}  // namespace ornivale::cli
