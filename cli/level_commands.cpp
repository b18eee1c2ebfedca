#include "cli/level_commands.h"

#include <fstream>
#include <iostream>

#include "cli/flag_report.h"
#include "cli/level_arguments.h"
#include "cli/level_records.h"
#include "cli/one_line.h"
#include "cli/type_names.h"
#include "disk/utf8_path.h"
#include "level/failure_words.h"
#include "level/level_access.h"

namespace ornivale::cli {
namespace {

// One line of text on `stream`, kept to one line whatever the path holds.
void PrintLine(std::ostream& stream, const std::string& text) {
  stream << OneLine(text) << '\n';
}

bool Report(const LevelStatus& status, Access access, const Output& output) {
  const std::string message = TerminalMessage(status, access);
  PrintLine(output.err, "ornivale-cli: " + message);
  if (output.json) output.out << FailureJson(status, message) << '\n';
  return false;
}

// Runs `one` on each level that the LEVELs given stand for, reporting those
// that stand for none; the exit status of them all.
template <typename One>
int EachLevel(const Arguments& args, const Output& output, One one) {
  bool all_succeeded = true;
  for (const LevelArgument& level : ExpandLevelArguments(args.levels)) {
    all_succeeded &= level.failure.ok()
                         ? one(level.path)
                         : Report(level.failure, args.command->access, output);
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

// Reads the records of `--from`, or says on `err` why it can't.
bool ReadRecordsFrom(const std::string& source, Records* records,
                     std::ostream& err) {
  std::ifstream file;
  if (source != "-") {
    file.open(PathFromUtf8(source), std::ios::binary);
    if (!file) {
      err << "ornivale-cli: can't open " << OneLine(source) << '\n';
      return false;
    }
  }
  std::istream& in = source == "-" ? std::cin : file;
  *records = ReadRecords(in);
  const std::string name = source == "-" ? "standard input" : OneLine(source);
  if (in.bad()) {
    err << "ornivale-cli: can't read " << name << '\n';
    return false;
  }
  if (records->bad_line) {
    err << "ornivale-cli: line " << records->bad_line << " of " << name
        << " isn't a line that show, check or set printed with --json; no "
           "level was set\n";
    return false;
  }
  for (const std::string& path : records->failed_paths) {
    err << "ornivale-cli: note: " << name << " records a failure of "
        << OneLine(path) << ", so it holds no values for it; passed over\n";
  }
  return true;
}

// Edits one level through the core, reading it under the edit's hold:
// "before" is what it held right before the write.
bool SetLevel(const std::string& path, const FlagChange& change, Disk& disk,
              const Output& output) {
  const EditResult edit = EditLevel({path, change, NameRule::TrcNamesOnly, {}}, disk);
  if (!edit.ok()) return Report(edit.status, Access::Writes, output);
  if (output.json) {
    output.out << SetJson(path, edit.before, edit.after.scan) << '\n';
  } else {
    PrintLine(output.out, path + ": " + DescribeSet(edit.before, edit.after.scan));
  }
  return true;
}

}  // namespace

int RunShow(const Arguments& args, Disk& disk, const Output& output) {
  return EachLevel(args, output, [&](const std::string& path) {
    const LevelState level = InspectLevel(path, NameRule::TrcNamesOnly, disk);
    if (!level.ok()) return Report(level.status, Access::ReadOnly, output);
    if (output.json) {
      output.out << FlagsJson(path, level.scan) << '\n';
    } else {
      PrintLine(output.out, path + ": " + DescribeFlags(level.scan));
    }
    return true;
  });
}

int RunCheck(const Arguments& args, Disk& disk, const Output& output) {
  return EachLevel(args, output, [&](const std::string& path) {
    const LevelState level = InspectLevel(path, NameRule::TrcNamesOnly, disk);
    if (!level.ok()) return Report(level.status, Access::ReadOnly, output);
    const bool matches = args.change.HeldBy(level.scan);
    if (output.json) output.out << CheckJson(path, level.scan, matches) << '\n';
    if (!matches) {
      PrintLine(output.err, "ornivale-cli: " + path + " holds " +
                                DescribeDifference(level.scan, args.change));
    } else if (!output.json) {
      PrintLine(output.out, path + ": " + DescribeFlags(level.scan));
    }
    return matches;
  });
}

int RunSet(const Arguments& args, Disk& disk, const Output& output) {
  if (args.from) {
    Records records;
    if (!ReadRecordsFrom(*args.from, &records, output.err)) return kUsageError;
    bool all_succeeded = true;
    for (const LevelRecord& record : records.levels) {
      all_succeeded &= SetLevel(record.path, record.values, disk, output);
    }
    return all_succeeded ? kAllSucceeded : kSomeFailed;
  }
  NoteValuesWithoutEntries(args.change, output.err);
  return EachLevel(args, output, [&](const std::string& path) {
    return SetLevel(path, args.change, disk, output);
  });
}

}  // namespace ornivale::cli
