#include "cli/help.h"

#include <algorithm>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/type_names.h"
#include "level/format/flag_vocabulary.h"
#include "level/words/failure_words.h"

namespace ornivale::cli {
namespace {

// Options that are not a flag's, with what the help says of them.
struct OptionHelp {
  const char* name;
  const char* help;
};

constexpr OptionHelp kOptions[] = {
    {"--from",
     "gives each level of FILE (- for standard input) the\n"
     "values its line records: FILE holds lines that show,\n"
     "check, set or history printed with --json; a set line\n"
     "gives back only what its set changed, where the level\n"
     "still holds what that set wrote"},
    {"--dry-run", "says what would be done, in the same lines, and writes\n"
                  "nothing"},
    {"--last", "restore: the values before the last change not undone\n"
               "yet instead, one step further back each time"},
    {"--quiet",
     "prints only the levels that fail (for check: or differ),\n"
     "and no count line"},
    {"--compact",
     "history: rewrites the history, keeping only what restore\n"
     "and restore --last can still give back, and the lines of\n"
     "a later version of Ornivale"},
    {"--json",
     "one JSON object a line instead, for scripts; a failed\n"
     "level's is {\"path\":…,\"error\":{\"code\":…,\"message\":…}}"},
};

constexpr std::size_t kNameWidth = 11;

constexpr char kWhat[] =
    "Shows, checks, changes or gives back the Lara type and weather of Tomb\n"
    "Raider Chronicles levels.\n";

// "  name       first line", then each further line under the first.
std::string Entry(const std::string& name, const std::string& help) {
  std::string entry = "  " + name + std::string(kNameWidth - name.size(), ' ');
  for (char c : help) {
    entry += c;
    if (c == '\n') entry += std::string(2 + kNameWidth, ' ');
  }
  return entry + "\n";
}

std::string UsageLines() {
  std::string flags;
  for (const FlagDescription& flag : kFlags) {
    flags += std::string(" [--") + flag.key + " TYPE]";
  }
  // Lines of at most 79 characters: a longer one goes on under its command.
  std::string lines;
  const auto line = [&](const std::string& text) {
    std::string usage = (lines.empty() ? "Usage: " : "       ") +
                        std::string("ornivale-cli ") + text;
    const std::size_t indent = usage.find(' ', usage.find("cli ") + 4) + 1;
    while (usage.size() > 79) {
      // A space outside brackets: "[--weather TYPE]" stays whole.
      std::size_t cut = usage.rfind(' ', 79);
      while (std::count(usage.begin(), usage.begin() + cut, '[') !=
             std::count(usage.begin(), usage.begin() + cut, ']')) {
        cut = usage.rfind(' ', cut - 1);
      }
      lines += usage.substr(0, cut) + "\n";
      usage = std::string(indent, ' ') + usage.substr(cut + 1);
    }
    lines += usage + "\n";
  };
  for (const Command& command : kCommands) {
    std::string options;
    if (command.takes & kTakesJson) options += " [--json]";
    if (command.takes & kTakesQuiet) options += " [--quiet]";
    if (command.takes & kTakesDryRun) options += " [--dry-run]";
    if (command.takes & kTakesLast) options += " [--last]";
    line(command.name + options + (command.takes & kTakesValues ? flags : "") + " " +
         command.levels);
    if (command.takes & kTakesFrom) line(command.name + options + " --from FILE");
    if (command.takes & kTakesCompact) line(std::string(command.name) + " --compact");
  }
  line("--help | -h | /? | --version");
  return lines;
}

// The codes, comma-separated, in lines of at most 72 characters that begin
// with two spaces.
std::string FailureCodeList() {
  const std::vector<LevelCode> codes = TerminalCodes();
  std::string list;
  std::string line = " ";
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const std::string item =
        std::string(CodeName(codes[i])) + (i + 1 == codes.size() ? "." : ",");
    if (line.size() + 1 + item.size() > 72) {
      list += line + "\n";
      line = " ";
    }
    line += " " + item;
  }
  return list + line + "\n";
}

}  // namespace

void PrintShortHelp(std::ostream& out) {
  out << UsageLines() << "\n"
      << kWhat
      << "\n"
         "To read all of the help, open a command prompt here and run\n"
         "    ornivale-cli --help | more\n";
}

void PrintHelp(std::ostream& out) {
  out << UsageLines() << "\n" << kWhat << "\n";
  for (const Command& command : kCommands) out << Entry(command.name, command.help);
  for (const OptionHelp& option : kOptions) out << Entry(option.name, option.help);
  for (const FlagDescription& flag : kFlags) {
    out << Entry(std::string("--") + flag.key,
                 std::string(flag.name) + ": " + TypeNames(flag));
  }
  out << "\n"
         "A TYPE may also be the full list text in any case (\"Normal Lara\",\n"
         "\"Normal Weather\") or the value a level stores, 0 to 65535 (3 for\n"
         "Catsuit) or -32768 to -1 for the values from 32768 up, as show\n"
         "prints them; a value the game's lists have no entry for is written\n"
         "as given, with a note.\n"
         "\n"
         "Levels end in .trc. A folder stands for the .trc levels directly in\n"
         "it, in name order. On Windows, * and ? in a LEVEL's last part stand\n"
         "for the files whose long names fit it, in name order. A Tomb Raider\n"
         "IV level, named .tr4 or holding its data where a TRC level keeps\n"
         "padding, a file with other data there, and a level of the\n"
         "remastered edition are never set.\n"
         "\n"
         "Each change is recorded in the history before it is written: in the\n"
         "file ORNIVALE_HISTORY names by its absolute path, or by default\n"
         "~/.local/state/ornivale/history.jsonl ($XDG_STATE_HOME/ornivale/ if\n"
         "set), on Windows %LOCALAPPDATA%\\Ornivale\\history.jsonl.\n"
         "ORNIVALE_HISTORY=off (in any case) keeps none; any other value is\n"
         "a usage error. Deleting the file forgets it all.\n"
         "\n"
         "The codes of failed levels in --json:\n"
      << FailureCodeList()
      << "\n"
         "Exit status: 0 when every level succeeded (and for check, holds the\n"
         "values named; for restore, one with nothing recorded counts), 1 when\n"
         "any failed or differs, 2 for a usage error or input set --from\n"
         "can't take. A failed level is reported and the others go on.\n";
}

}  // namespace ornivale::cli
