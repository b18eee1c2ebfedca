#include "cli/cli.h"

#include "cli/command_line.h"
#include "cli/help.h"
#include "cli/one_line.h"
#include "level/history/history.h"

namespace ornivale::cli {
namespace {

// An ORNIVALE_HISTORY that names no file is the command line's mistake, told
// before any level is opened.
bool HistorySettingUsable(const Command& command, const History& history, std::ostream& err) {
  if ((command.takes & kUsesHistory) == 0) return true;
  if (history.status().code != LevelCode::BadHistorySetting) return true;
  err << "ornivale-cli: " << OneLine(TerminalMessage(history.status(), Access::ReadOnly))
      << '\n';
  return false;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err, Disk& disk) {
  Arguments parsed;
  try {
    parsed = ParseArguments(args);
  } catch (const UsageError& e) {
    err << "ornivale-cli: " << OneLine(e.what()) << '\n' << e.hint() << '\n';
    return kUsageError;
  }

  int status = kAllSucceeded;
  switch (parsed.action) {
    case Arguments::Action::Help:
      PrintHelp(out);
      break;
    case Arguments::Action::Version:
      out << "ornivale-cli " << ORNIVALE_VERSION << '\n';
      break;
    case Arguments::Action::Run: {
      const History history = History::Locate(disk);
      if (!HistorySettingUsable(*parsed.command, history, err)) return kUsageError;
      Tally tally;
      status = parsed.command->run(parsed, disk, history,
                                   {out, err, tally, parsed.json, parsed.quiet,
                                    parsed.command->access});
      // A reader that has gone (`| head`) has what it wanted of a run that
      // only reads, which ends there.
      if (!out.flush() && parsed.command->access == Access::ReadOnly &&
          disk.StandardOutputClosed()) {
        return status;
      }
      if (!parsed.quiet && !parsed.json) tally.Print(err, parsed.dry_run);
      break;
    }
  }
  // Other results that never reached their reader (a full disk) are a
  // failure too, and the levels a set changed stay changed.
  if (!out.flush()) {
    err << "ornivale-cli: can't write to standard output, so the results are "
           "lost"
        << (parsed.command && parsed.command->access == Access::Writes
                ? "; the levels were set all the same"
                : "")
        << '\n';
    return kSomeFailed;
  }
  return status;
}

}  // namespace ornivale::cli
