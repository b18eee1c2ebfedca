#include "cli/command_line.h"

#include <algorithm>
#include <cctype>

#include "cli/commands.h"
#include "cli/type_names.h"

namespace ornivale::cli {
namespace {

const char kHelpHint[] = "Try 'ornivale-cli --help' for more information.";

UsageError Usage(const std::string& what) {
  return UsageError(what, kHelpHint);
}

bool IsOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

std::string FlagOption(const FlagDescription& flag) {
  return std::string("--") + flag.key;
}

// Takes the value of `--name VALUE` or `--name=VALUE` at args[i] and, for
// the first form, moves i past it. `what` names the value for the user.
std::string OptionValue(const std::vector<std::string>& args, std::size_t& i,
                        const std::string& name, const char* what) {
  const std::string& arg = args[i];
  if (arg.size() > name.size()) return arg.substr(name.size() + 1);
  if (i + 1 == args.size()) throw Usage(name + " needs " + what);
  return args[++i];
}

bool Names(const std::string& arg, const std::string& name) {
  return arg == name || arg.rfind(name + "=", 0) == 0;
}

// "Weather types" from "weather type".
std::string Plural(const char* type_name) {
  std::string plural = std::string(type_name) + "s";
  plural[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(plural[0])));
  return plural;
}

// Takes the TYPE of `flag`'s option at args[i] into `target`.
void TakeType(const FlagDescription& flag, const std::vector<std::string>& args,
              std::size_t& i, std::optional<uint16_t>& target) {
  const std::string option = FlagOption(flag);
  if (target) throw Usage(option + " is given twice");
  const std::string type = OptionValue(args, i, option, "a TYPE");
  target = FindType(flag, type);
  if (!target) {
    throw UsageError(std::string("unknown ") + flag.type_name + " '" + type + "'",
                     Plural(flag.type_name) + ": " + TypeNames(flag) +
                         ", a list text or a stored value 0 to 65535.");
  }
}

// "--lara TYPE, --weather TYPE": the flags' options, joined by `last` at
// the end and ", " elsewhere.
std::string FlagOptions(const char* last, bool with_type) {
  std::string list;
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    if (i > 0) list += i + 1 == kFlagCount ? last : ", ";
    list += FlagOption(kFlags[i]) + (with_type ? " TYPE" : "");
  }
  return list;
}

// Takes the option at args[i] for `command`; false when it takes none such.
bool TakeOption(const Command& command, const std::vector<std::string>& args,
                std::size_t& i, Arguments& parsed) {
  const std::string& arg = args[i];
  const struct {
    unsigned takes;
    const char* name;
    bool Arguments::*set;
  } switches[] = {{kTakesJson, "--json", &Arguments::json},
                  {kTakesDryRun, "--dry-run", &Arguments::dry_run},
                  {kTakesLast, "--last", &Arguments::last},
                  {kTakesCompact, "--compact", &Arguments::compact},
                  {kTakesQuiet, "--quiet", &Arguments::quiet}};
  for (const auto& option : switches) {
    if ((command.takes & option.takes) && arg == option.name) {
      parsed.*option.set = true;
      return true;
    }
  }
  if (command.takes & kTakesValues) {
    for (std::size_t f = 0; f < kFlagCount; ++f) {
      if (Names(arg, FlagOption(kFlags[f]))) {
        TakeType(kFlags[f], args, i, parsed.change.values[f]);
        return true;
      }
    }
  }
  if ((command.takes & kTakesFrom) && Names(arg, "--from")) {
    if (parsed.from) throw Usage("--from is given twice");
    parsed.from = OptionValue(args, i, "--from", "a FILE");
    return true;
  }
  return false;
}

const Command& ParseCommand(const std::string& word) {
  if (const Command* command = FindCommand(word)) return *command;
  if (IsOption(word)) throw Usage("unknown option '" + word + "'");
  throw Usage("unknown command '" + word + "'");
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
  const auto options_end = std::find(args.begin(), args.end(), "--");
  const auto asks = [&](const char* option) {
    return std::find(args.begin(), options_end, option) != options_end;
  };
  Arguments parsed;
  if (asks("--help") || asks("-h") || asks("/?")) return parsed;
  if (asks("--version")) {
    if (args.size() != 1) throw Usage("--version takes no other word");
    parsed.action = Arguments::Action::Version;
    return parsed;
  }
  if (args.empty()) throw Usage("no command given");

  const Command& command = ParseCommand(args[0]);
  parsed.action = Arguments::Action::Run;
  parsed.command = &command;
  bool options_over = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_over || !IsOption(arg)) {
      parsed.levels.push_back(arg);
    } else if (arg == "--") {
      options_over = true;
    } else if (!TakeOption(command, args, i, parsed)) {
      throw Usage("unknown option '" + arg + "' for " + command.name);
    }
  }
  const std::string name = command.name;
  if (parsed.compact && (!parsed.levels.empty() || parsed.json)) {
    throw Usage(name + " --compact takes no LEVEL, FOLDER or --json: it keeps what "
                "every level's restore needs");
  }
  if (parsed.from) {
    if (!parsed.change.empty() || !parsed.levels.empty()) {
      throw Usage(name + " --from takes no LEVEL, " + FlagOptions(" or ", false) +
                  ": its records name the levels and their values");
    }
    return parsed;
  }
  if ((command.takes & kNeedsValues) && parsed.change.empty()) {
    throw Usage(name + " needs " + FlagOptions(", ", true) +
                (kFlagCount == 2 ? " or both" : " or several") +
                (command.takes & kTakesFrom ? ", or --from FILE" : ""));
  }
  if ((command.takes & kNeedsLevels) && parsed.levels.empty()) {
    throw Usage("no level given");
  }
  return parsed;
}

}  // namespace ornivale::cli
