#include "cli/output.h"

#include "cli/flag_report.h"
#include "cli/one_line.h"
#include "level/history/history.h"
#include "level/history/records.h"

namespace ornivale::cli {

void PrintLine(std::ostream& stream, const std::string& text) {
  stream << OneLine(text) << '\n';
}

bool Report(const LevelStatus& status, Access access, const Output& output) {
  const std::string message = TerminalMessage(status, access);
  PrintLine(output.err, "ornivale-cli: " + message);
  if (output.json) output.out << FailureJson(status, message) << '\n';
  return false;
}

bool ReportLevel(const LevelStatus& status, Access access, const Output& output) {
  output.tally.Count(access == Access::Writes ? Outcome::Refused : Outcome::Failed);
  return Report(status, access, output);
}

namespace {

void NotePassedOver(const History& history, int lines, const std::string& why,
                    std::ostream& err) {
  if (lines == 0) return;
  err << "ornivale-cli: note: " << lines << " line" << (lines == 1 ? "" : "s")
      << " of the history file " << OneLine(history.path()) << " " << why << "\n";
}

}  // namespace

void NoteUnreadable(const History& history, int unreadable, std::ostream& err) {
  NotePassedOver(history, unreadable, "can't be read and were passed over", err);
}

void NoteNewer(const History& history, int newer, std::ostream& err) {
  const std::string were = newer == 1 ? "was" : "were";
  NotePassedOver(history, newer,
                 were + " written by a later version of Ornivale and " + were + " passed over",
                 err);
}

bool PrintEdit(const EditResult& edit, const std::string& path, const Output& output) {
  if (!edit.ok()) return ReportLevel(edit.status, Access::Writes, output);
  if (!edit.left_unrecorded.ok()) {
    PrintLine(output.err, "ornivale-cli: note: " + path +
                              " was written, but how it was left can't be recorded in the "
                              "history file " + edit.left_unrecorded.part + ": " +
                              ReasonOf(edit.left_unrecorded));
  }
  output.tally.Count(edit.ValuesChanged() ? Outcome::Changed : Outcome::Unchanged);
  if (output.quiet) return true;
  if (output.json) {
    output.out << SetJson(edit.full_path, ValuesOf(edit.before), ValuesOf(edit.after.scan))
               << '\n';
  } else {
    PrintLine(output.out, path + ": " + DescribeSet(edit.before, edit.after.scan));
  }
  return true;
}

}  // namespace ornivale::cli
