#include "cli/help.h"

#include <string>

#include "cli/commands.h"
#include "cli/type_names.h"
#include "level/failure_words.h"
#include "level/flag_vocabulary.h"

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
     "check or set printed with --json, and a set line gives\n"
     "back the values its level held before the set"},
    {"--json",
     "one JSON object a line instead, for scripts; a failed\n"
     "level's is {\"path\":…,\"error\":{\"code\":…,\"message\":…}}"},
};

constexpr std::size_t kNameWidth = 11;

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
  std::string lines;
  const auto line = [&](const std::string& text) {
    lines += (lines.empty() ? "Usage: " : "       ") + std::string("ornivale-cli ") +
             text + "\n";
  };
  for (const Command& command : kCommands) {
    const std::string json = command.takes & kTakesJson ? " [--json]" : "";
    line(command.name + json + (command.takes & kTakesValues ? flags : "") +
         " LEVEL...");
    if (command.takes & kTakesFrom) line(command.name + json + " --from FILE");
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

void PrintHelp(std::ostream& out) {
  out << UsageLines()
      << "\n"
         "Shows, checks or changes the Lara type and weather of Tomb Raider\n"
         "Chronicles levels.\n"
         "\n";
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
         "The codes of failed levels in --json:\n"
      << FailureCodeList()
      << "\n"
         "Exit status: 0 when every level succeeded (and for check, holds the\n"
         "values named), 1 when any failed or differs, 2 for a usage error.\n"
         "A failed level is reported and the others go on.\n";
}

}  // namespace ornivale::cli
