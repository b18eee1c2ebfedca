#include "cli/level_commands.h"

#include <algorithm>
#include <iterator>

#include "cli/flag_report.h"
#include "cli/output.h"
#include "cli/records_input.h"
#include "level/edit/undo_plans.h"
#include "level/history/history.h"
#include "level/history/records.h"
#include "level/sets/level_set.h"

namespace ornivale::cli {
namespace {

// Runs `one` on each level that the LEVELs given stand for, reporting those
// that stand for none; the exit status of them all.
template <typename One>
int EachLevel(const Arguments& args, Disk& disk, const Output& output, One one) {
  bool all_succeeded = true;
  for (const NamedLevel& level : LevelsNamed(args.levels, disk)) {
    // Results that can't be written out end the run.
    if (!output.out) break;
    all_succeeded &= level.failure.ok()
                         ? one(level)
                         : ReportLevel(level.failure, output.access, output);
  }
  return all_succeeded ? kAllSucceeded : kSomeFailed;
}

// A note for each value the game's lists have no entry for.
void NoteValuesWithoutEntries(const FlagChange& change, std::ostream& err) {
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    const auto& value = change.values[i];
    if (value && !kFlags[i].entries.PositionOf(static_cast<int16_t>(*value))) {
      err << "ornivale-cli: note: the game's " << kFlags[i].name
          << " list has no entry for " << *value << "; it is written as given\n";
    }
  }
}

// The edits that the records of `source` ask for, made a few thousand at a
// time: an input of many records is held as records, not as edits.
int SetFrom(const std::string& source, const EditRun& run, Disk& disk, const Output& output) {
  constexpr std::size_t kEditsAtOnce = 4096;
  std::vector<RecordEdit> records;
  if (!EditsFrom(source, disk, output.err, &records)) return kUsageError;
  bool all_succeeded = true;
  std::vector<LevelEdit> edits;
  for (auto done = records.begin(); done != records.end();) {
    const auto end = done + std::min<std::ptrdiff_t>(kEditsAtOnce, records.end() - done);
    const std::vector<RecordEdit> some(std::make_move_iterator(done), std::make_move_iterator(end));
    done = end;
    int unreadable = 0;
    const LevelStatus read = EditsOfRecords(some, run.history, disk, &edits, &unreadable);
    NoteUnreadable(run.history, unreadable, output.err);
    if (!read.ok()) {
      Report(read, Access::Writes, output);
      return kSomeFailed;
    }
    all_succeeded &= RunEdits(edits, run, disk, output) == kAllSucceeded;
  }
  return all_succeeded ? kAllSucceeded : kSomeFailed;
}

}  // namespace

int RunEdits(const std::vector<LevelEdit>& edits, const EditRun& run, Disk& disk,
             const Output& output) {
  bool all_succeeded = true;
  std::size_t next = 0;
  EditLevels(edits, run, disk, [&](const EditResult& edit) {
    all_succeeded &= PrintEdit(edit, edits[next++].path, output);
  });
  return all_succeeded ? kAllSucceeded : kSomeFailed;
}

int RunSteps(std::vector<Step>& steps, const std::vector<NamedLevel>& levels, const EditRun& run,
             Disk& disk, const Output& output) {
  bool all_succeeded = true;
  std::vector<LevelEdit> edits;
  const auto edit_those_before = [&]() {
    all_succeeded &= RunEdits(edits, run, disk, output) == kAllSucceeded;
    edits.clear();
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    Step& step = steps[i];
    if (step.edit) {
      edits.push_back(std::move(*step.edit));
      continue;
    }
    edit_those_before();
    if (!step.nothing) {
      all_succeeded &= ReportLevel(step.failure, Access::Writes, output);
      continue;
    }
    output.tally.Count(step.nothing->outcome);
    if (output.quiet) continue;
    if (output.json) {
      output.out << step.nothing->json(levels[i].full_path) << '\n';
    } else {
      PrintLine(output.out, levels[i].path + ": " + step.nothing->words);
    }
  }
  edit_those_before();
  return all_succeeded ? kAllSucceeded : kSomeFailed;
}

int RunShow(const Arguments& args, Disk& disk, const History&, const Output& output) {
  return EachLevel(args, disk, output, [&](const NamedLevel& named) {
    const LevelState level = InspectLevel(named.path, NameRule::TrcNamesOnly, disk);
    if (!level.ok()) return ReportLevel(level.status, Access::ReadOnly, output);
    output.tally.Count(Outcome::Shown);
    if (output.quiet) return true;
    if (output.json) {
      output.out << ShowJson(named.full_path, level.scan) << '\n';
    } else {
      PrintLine(output.out, named.path + ": " + DescribeFlags(level.scan));
    }
    return true;
  });
}

int RunCheck(const Arguments& args, Disk& disk, const History&, const Output& output) {
  return EachLevel(args, disk, output, [&](const NamedLevel& named) {
    const std::string& path = named.path;
    const LevelState level = InspectLevel(path, NameRule::TrcNamesOnly, disk);
    if (!level.ok()) return ReportLevel(level.status, Access::ReadOnly, output);
    const bool matches = args.change.HeldBy(level.scan);
    output.tally.Count(matches ? Outcome::Matching : Outcome::Different);
    if (matches && output.quiet) return true;
    if (output.json) output.out << CheckJson(named.full_path, level.scan, matches) << '\n';
    if (!matches) {
      PrintLine(output.err, "ornivale-cli: " + path + " holds " +
                                DescribeDifference(level.scan, args.change));
    } else if (!output.json) {
      PrintLine(output.out, path + ": " + DescribeFlags(level.scan));
    }
    return matches;
  });
}

int RunSet(const Arguments& args, Disk& disk, const History& history, const Output& output) {
  const EditRun run{"ornivale-cli set", history, args.dry_run};
  if (args.from) return SetFrom(*args.from, run, disk, output);
  NoteValuesWithoutEntries(args.change, output.err);
  const std::vector<NamedLevel> levels = LevelsNamed(args.levels, disk);
  std::vector<Step> steps;
  for (const NamedLevel& level : levels) {
    Step& step = steps.emplace_back();
    step.failure = level.failure;
    if (level.failure.ok()) {
      step.edit.emplace(level.path, args.change);
      step.edit->full_path = level.full_path;
    }
  }
  return RunSteps(steps, levels, run, disk, output);
}

}  // namespace ornivale::cli
