#include "cli/history_commands.h"

#include <vector>

#include "cli/flag_report.h"
#include "cli/level_arguments.h"
#include "cli/level_commands.h"
#include "cli/one_line.h"
#include "cli/output.h"
#include "disk/folder.h"
#include "disk/utf8_path.h"
#include "level/history.h"
#include "level/records.h"

namespace ornivale::cli {
namespace {

// The history's place; false after saying why there is none to read.
bool Locate(Disk& disk, const Output& output, HistoryPlace* place) {
  const LevelStatus located = LocateHistory(disk, place);
  if (located.ok()) return true;
  return Report(HistoryNotRead(located.path, located.reason), Access::ReadOnly, output);
}

void NoteUnreadable(const HistoryPlace& place, int unreadable, std::ostream& err) {
  if (unreadable == 0) return;
  err << "ornivale-cli: note: " << unreadable << " line" << (unreadable == 1 ? "" : "s")
      << " of the history file " << OneLine(place.path)
      << " can't be read and were passed over\n";
}

// The folder that holds the file at `full_path`.
std::string FolderOf(const std::string& full_path) {
  return Utf8OfPath(PathFromUtf8(full_path).parent_path());
}

// What the LEVELs and FOLDERs given name, by the disk's keys.
struct Named {
  std::vector<std::string> levels;
  std::vector<std::string> folders;

  bool Holds(Disk& disk, const std::string& path) const {
    if (levels.empty() && folders.empty()) return true;
    const std::string key = disk.PathKey(path);
    const std::string folder = disk.PathKey(FolderOf(path));
    for (const std::string& level : levels) {
      if (level == key) return true;
    }
    for (const std::string& named : folders) {
      if (named == folder) return true;
    }
    return false;
  }
};

Named NamedBy(const std::vector<std::string>& args, Disk& disk) {
  Named named;
  for (const std::string& arg : args) {
    bool folder = false;
    IsFolder(arg, &folder);
    // A folder's own path, as the path of a file in it gives it.
    const std::string full = disk.FullPath(folder ? arg + "/x" : arg);
    (folder ? named.folders : named.levels).push_back(disk.PathKey(folder ? FolderOf(full) : full));
  }
  return named;
}

LevelScan ScanWith(const FlagValues& values) {
  LevelScan scan;
  for (std::size_t i = 0; i < kFlagCount; ++i) scan.flags[i].Value = values[i];
  return scan;
}

}  // namespace

int RunHistory(const Arguments& args, Disk& disk, const Output& output) {
  HistoryPlace place;
  if (!Locate(disk, output, &place)) return kSomeFailed;
  if (place.off) {
    output.err << "ornivale-cli: note: ORNIVALE_HISTORY=off: no history is kept\n";
    return kAllSucceeded;
  }
  const Named named = NamedBy(args.levels, disk);
  int unreadable = 0;
  const LevelStatus read = ReadHistory(
      disk, place,
      [&](const Record& record) {
        if (!named.Holds(disk, record.path)) return;
        const ChangeDetails& change = *record.change;
        if (output.json) {
          output.out << ChangeJson(record.path, change) << '\n';
          return;
        }
        PrintLine(output.out, change.time + " " + change.program + ": " + record.path + ": " +
                                  DescribeSet(ScanWith(ValuesOfBytes(change.before)),
                                              ScanWith(ValuesOfBytes(change.written))));
      },
      &unreadable);
  NoteUnreadable(place, unreadable, output.err);
  if (read.ok()) return kAllSucceeded;
  Report(read, Access::ReadOnly, output);
  return kSomeFailed;
}

int RunRestore(const Arguments& args, Disk& disk, const Output& output) {
  HistoryPlace place;
  if (!Locate(disk, output, &place)) return kSomeFailed;
  if (place.off) {
    output.err << "ornivale-cli: restore gives back what the history recorded, and "
                  "ORNIVALE_HISTORY=off keeps none\n";
    return kUsageError;
  }
  ChangesByLevel changes;
  int unreadable = 0;
  const LevelStatus read = RecordedChanges(disk, place, &changes, &unreadable);
  NoteUnreadable(place, unreadable, output.err);
  if (!read.ok()) {
    Report(read, Access::Writes, output);
    return kSomeFailed;
  }

  const EditRun run{"ornivale-cli restore", args.dry_run};
  bool all_succeeded = true;
  std::vector<LevelEdit> edits;
  // The levels that are not edited are reported in their place among the
  // others.
  const auto edit_those_before = [&]() {
    all_succeeded &= RunEdits(edits, run, disk, output) == kAllSucceeded;
    edits.clear();
  };
  for (const LevelArgument& level : ExpandLevelArguments(args.levels)) {
    const auto recorded = level.failure.ok()
                              ? changes.find(disk.PathKey(disk.FullPath(level.path)))
                              : changes.end();
    auto edit = recorded != changes.end()
                    ? RestoreEdit(level.path, recorded->second, args.last)
                    : std::nullopt;
    if (edit) {
      edits.push_back(std::move(*edit));
      continue;
    }
    edit_those_before();
    if (!level.failure.ok()) {
      all_succeeded &= Report(level.failure, Access::Writes, output);
    } else if (output.json) {
      output.out << NothingRecordedJson(disk.FullPath(level.path)) << '\n';
    } else {
      PrintLine(output.out, level.path + ": nothing recorded, left as it is");
    }
  }
  edit_those_before();
  return all_succeeded ? kAllSucceeded : kSomeFailed;
}

}  // namespace ornivale::cli
