#include "cli/level_commands.h"

#include <memory>

#include "cli/flag_report.h"
#include "cli/one_line.h"
#include "level/level_access.h"

namespace ornivale::cli {
namespace {

// One line of text on `stream`, kept to one line whatever the path holds.
void PrintLine(std::ostream& stream, const std::string& text) {
  stream << OneLine(text) << '\n';
}

}  // namespace

bool ReportFailure(const LevelStatus& status, Access access,
                   const Output& output) {
  const std::string message = TerminalMessage(status, access);
  PrintLine(output.err, "ornivale-cli: " + message);
  if (output.json) output.out << FailureJson(status, message) << '\n';
  return false;
}

bool ShowLevel(const std::string& path, const LevelFileOpener& opener,
               const Output& output) {
  const LevelState level = InspectLevel(path, NameRule::TrcNamesOnly, opener);
  if (!level.ok()) return ReportFailure(level.status, Access::ReadOnly, output);
  if (output.json) {
    output.out << FlagsJson(path, level.scan) << '\n';
  } else {
    PrintLine(output.out, path + ": " + DescribeFlags(level.scan));
  }
  return true;
}

bool CheckLevel(const std::string& path, const FlagChange& asked,
                const LevelFileOpener& opener, const Output& output) {
  const LevelState level = InspectLevel(path, NameRule::TrcNamesOnly, opener);
  if (!level.ok()) return ReportFailure(level.status, Access::ReadOnly, output);
  const bool matches = asked.HeldBy(level.scan);
  if (output.json) output.out << CheckJson(path, level.scan, matches) << '\n';
  if (!matches) {
    PrintLine(output.err, "ornivale-cli: " + path + " holds " +
                              DescribeDifference(level.scan, asked));
  } else if (!output.json) {
    PrintLine(output.out, path + ": " + DescribeFlags(level.scan));
  }
  return matches;
}

bool SetLevel(const std::string& path, const FlagChange& change,
              const LevelFileOpener& opener, const Output& output) {
  // Read first: a level that holds the values already is never opened for
  // writing, so its last-write time stays for the build tools that look.
  const LevelState before = InspectLevel(path, NameRule::TrcNamesOnly, opener);
  if (!before.ok()) return ReportFailure(before.status, Access::Writes, output);
  LevelState after = before;
  if (!change.HeldBy(before.scan)) {
    std::unique_ptr<LevelFile> file;
    after.status = OpenForSaving(path, NameRule::TrcNamesOnly, opener, &file);
    // Written only while it is still the level just read, so that "before"
    // is what it held.
    if (after.ok()) after = ApplyFlags(std::move(file), change, &before);
    if (!after.ok()) return ReportFailure(after.status, Access::Writes, output);
  }
  if (output.json) {
    output.out << SetJson(path, before.scan, after.scan) << '\n';
  } else {
    PrintLine(output.out, path + ": " + DescribeSet(before.scan, after.scan));
  }
  return true;
}

}  // namespace ornivale::cli
