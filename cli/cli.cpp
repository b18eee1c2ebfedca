#include "cli/cli.h"

#include <filesystem>
#include <fstream>
#include <iostream>

#include "cli/arguments.h"
#include "cli/level_arguments.h"
#include "cli/level_commands.h"
#include "cli/level_records.h"
#include "cli/one_line.h"
#include "cli/type_names.h"
#include "level/flag_vocabulary.h"

namespace ornivale::cli {
namespace {

// The failures a level can meet here, as --json names them.
constexpr LevelCode kFailureCodes[] = {
    LevelCode::CannotOpen,     LevelCode::InUse,
    LevelCode::NotRegularFile, LevelCode::ReadFailed,
    LevelCode::WrongVersion,   LevelCode::RemasteredLevel,
    LevelCode::CutShort,       LevelCode::TooLarge,
    LevelCode::Tr4Level,       LevelCode::Changed,
    LevelCode::WriteFailed,    LevelCode::NotNamedAsLevel,
    LevelCode::NoLevelFound,
};

// The codes, comma-separated, in lines of at most 72 characters that begin
// with two spaces.
std::string FailureCodeList() {
  std::string list;
  std::string line = " ";
  for (std::size_t i = 0; i < std::size(kFailureCodes); ++i) {
    const std::string item = std::string(CodeName(kFailureCodes[i])) +
                             (i + 1 == std::size(kFailureCodes) ? "." : ",");
    if (line.size() + 1 + item.size() > 72) {
      list += line + "\n";
      line = " ";
    }
    line += " " + item;
  }
  return list + line + "\n";
}

void PrintHelp(std::ostream& out) {
  out << "Usage: ornivale-cli show [--json] LEVEL...\n"
         "       ornivale-cli check [--json] [--lara TYPE] [--weather TYPE] "
         "LEVEL...\n"
         "       ornivale-cli set [--json] [--lara TYPE] [--weather TYPE] "
         "LEVEL...\n"
         "       ornivale-cli set [--json] --from FILE\n"
         "       ornivale-cli --help | -h | /? | --version\n"
         "\n"
         "Shows, checks or changes the Lara type and weather of Tomb Raider\n"
         "Chronicles levels.\n"
         "\n"
         "  show       prints each level's Lara type and weather\n"
         "  check      only reads: succeeds when every level holds the values\n"
         "             named, and names each level that holds others\n"
         "  set        rewrites the values named in place, two bytes each, and\n"
         "             no other byte; a value not named keeps what is stored,\n"
         "             and a level that holds the values already is not\n"
         "             written at all. Prints what each level held and holds.\n"
         "  --from     gives each level of FILE (- for standard input) the\n"
         "             values its line records: FILE holds lines that show,\n"
         "             check or set printed with --json, and a set line gives\n"
         "             back the values its level held before the set\n"
         "  --json     one JSON object a line instead, for scripts; a failed\n"
         "             level's is {\"path\":…,\"error\":{\"code\":…,\"message\":…}}\n"
         "  --lara     Lara type: "
      << LaraTypeNames()
      << "\n"
         "  --weather  weather: "
      << WeatherTypeNames()
      << "\n"
         "\n"
         "A TYPE may also be the full list text in any case (\"Normal "
         "Lara\",\n"
         "\"Normal Weather\") or the value a level stores, 0 to 65535 (3 for\n"
         "Catsuit); a value the game's lists have no entry for is written as\n"
         "given, with a note.\n"
         "\n"
         "Levels end in .trc. A folder stands for the .trc levels directly in\n"
         "it, in name order. On Windows, * and ? in a LEVEL's last part stand\n"
         "for the files whose long names fit it, in name order. A Tomb Raider\n"
         "IV level, named .tr4 or holding its data where a TRC level keeps\n"
         "padding, and a level of the remastered edition are never set.\n"
         "\n"
         "The codes of failed levels in --json:\n"
      << FailureCodeList()
      << "\n"
         "Exit status: 0 when every level succeeded (and for check, holds the\n"
         "values named), 1 when any failed or differs, 2 for a usage error.\n"
         "A failed level is reported and the others go on.\n";
}

// A note for each value the game's lists have no entry for.
void NoteValuesWithoutEntries(const FlagChange& change, std::ostream& err) {
  const auto note = [&](const char* kind, uint16_t value) {
    err << "ornivale-cli: note: the game's " << kind << " list has no entry "
        << "for " << value << "; it is written as given\n";
  };
  if (change.lara && !LaraPosition(static_cast<int16_t>(*change.lara))) {
    note("Lara type", *change.lara);
  }
  if (change.weather &&
      !WeatherPosition(static_cast<int16_t>(*change.weather))) {
    note("weather", *change.weather);
  }
}

// Reads the records of `--from`, or says on `err` why it can't.
bool ReadRecordsFrom(const std::string& source, Records* records,
                     std::ostream& err) {
  std::ifstream file;
  if (source != "-") {
    file.open(std::filesystem::u8path(source), std::ios::binary);
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

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err, const LevelFileOpener& opener) {
  Arguments parsed;
  try {
    parsed = ParseArguments(args);
  } catch (const UsageError& e) {
    err << "ornivale-cli: " << OneLine(e.what()) << '\n' << e.hint() << '\n';
    return kUsageError;
  }

  const Output output{out, err, parsed.json};
  bool all_succeeded = true;
  const auto each_level = [&](const auto& run, Access access) {
    for (const LevelArgument& level : ExpandLevelArguments(parsed.levels)) {
      all_succeeded &= level.failure.ok()
                           ? run(level.path)
                           : ReportFailure(level.failure, access, output);
    }
  };
  switch (parsed.command) {
    case Command::Help:
      PrintHelp(out);
      break;
    case Command::Version:
      out << "ornivale-cli " << ORNIVALE_VERSION << '\n';
      break;
    case Command::Show:
      each_level([&](const std::string& path) {
        return ShowLevel(path, opener, output);
      }, Access::ReadOnly);
      break;
    case Command::Check:
      each_level([&](const std::string& path) {
        return CheckLevel(path, parsed.change, opener, output);
      }, Access::ReadOnly);
      break;
    case Command::Set:
      if (parsed.from) {
        Records records;
        if (!ReadRecordsFrom(*parsed.from, &records, err)) return kUsageError;
        for (const LevelRecord& record : records.levels) {
          all_succeeded &= SetLevel(record.path, record.values, opener, output);
        }
        break;
      }
      NoteValuesWithoutEntries(parsed.change, err);
      each_level([&](const std::string& path) {
        return SetLevel(path, parsed.change, opener, output);
      }, Access::Writes);
      break;
  }
  // Results that never reached their reader (a full disk, a closed pipe)
  // are a failure too, and the levels a set changed stay changed.
  if (!out.flush()) {
    err << "ornivale-cli: can't write to standard output, so the results are "
           "lost"
        << (parsed.command == Command::Set ? "; the levels were set all the same"
                                           : "")
        << '\n';
    return kSomeFailed;
  }
  return all_succeeded ? kAllSucceeded : kSomeFailed;
}

}  // namespace ornivale::cli
