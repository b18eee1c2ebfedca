#include "cli/cli.h"

#include "cli/arguments.h"
#include "cli/level_commands.h"
#include "cli/type_names.h"

namespace ornivale::cli {
namespace {

void PrintHelp(std::ostream& out) {
  out << "Usage: ornivale-cli show [--json] LEVEL...\n"
         "       ornivale-cli set [--lara TYPE] [--weather TYPE] LEVEL...\n"
         "       ornivale-cli --help | --version\n"
         "\n"
         "Shows or changes the Lara type and weather of Tomb Raider "
         "Chronicles levels.\n"
         "\n"
         "  show       prints each level's Lara type and weather\n"
         "  --json     one JSON object a line instead, for scripts\n"
         "  set        rewrites the two values in place, and no other byte;\n"
         "             a value not named keeps what the level stores\n"
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
         "Levels end in .trc; .tr4 levels can be shown but not set.\n"
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
        all_succeeded &= ShowLevel(path, parsed.json, opener, out, err);
      }
      break;
    case Command::Set:
      for (const std::string& path : parsed.levels) {
        all_succeeded &=
            SetLevel(path, {parsed.lara, parsed.weather}, opener, out, err);
      }
      break;
  }
  return all_succeeded ? kAllSucceeded : kSomeFailed;
}

}  // namespace ornivale::cli
