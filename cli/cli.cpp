#include "cli/cli.h"

#include "cli/arguments.h"
#include "cli/level_commands.h"
#include "cli/type_names.h"

namespace ornivale::cli {
namespace {

void PrintHelp(std::ostream& out) {
  out << "Usage: ornivale-cli show [--json] LEVEL...\n"
         "       ornivale-cli set [--json] [--lara TYPE] [--weather TYPE] "
         "LEVEL...\n"
         "       ornivale-cli --help | --version\n"
         "\n"
         "Shows or changes the Lara type and weather of Tomb Raider "
         "Chronicles levels.\n"
         "\n"
         "  show       prints each level's Lara type and weather\n"
         "  --json     one JSON object a line instead, for scripts; a failed\n"
         "             level's is {\"path\":…,\"error\":{\"code\":…,\"message\":…}}\n"
         "  set        rewrites the values named in place, two bytes each, and\n"
         "             no other byte; a value not named keeps what is stored\n"
         "  --lara     Lara type: "
      << LaraTypeNames()
      << "\n"
         "  --weather  weather: "
      << WeatherTypeNames()
      << "\n"
         "\n"
         "A TYPE may also be the full list text in any case (\"Normal "
         "Lara\",\n"
         "\"Normal Weather\") or the value a level stores for it (3 for "
         "Catsuit).\n"
         "Levels end in .trc. A Tomb Raider IV level, named .tr4 or holding\n"
         "its data where a TRC level keeps padding, is never set, and show\n"
         "reports it as one.\n"
         "\n"
         "Exit status: 0 when every level succeeded, 1 when any failed, 2 "
         "for a\n"
         "usage error. A failed level is reported and the others go on.\n";
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out,
           std::ostream& err, const LevelFileOpener& opener) {
  Arguments parsed;
  try {
    parsed = ParseArguments(args);
  } catch (const UsageError& e) {
    err << "ornivale-cli: " << e.what() << '\n' << e.hint() << '\n';
    return kUsageError;
  }

  const Output output{out, err, parsed.json};
  bool all_succeeded = true;
  switch (parsed.command) {
    case Command::Help:
      PrintHelp(out);
      break;
    case Command::Version:
      out << "ornivale-cli " << ORNIVALE_VERSION << '\n';
      break;
    case Command::Show:
      for (const std::string& path : parsed.levels) {
        all_succeeded &= ShowLevel(path, opener, output);
      }
      break;
    case Command::Set:
      for (const std::string& path : parsed.levels) {
        all_succeeded &= SetLevel(path, parsed.change, opener, output);
      }
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
