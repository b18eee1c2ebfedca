#include "cli/arguments.h"

#include <algorithm>

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

// An option of set that takes a TYPE, and how the TYPE is looked up.
struct TypeOption {
  const char* name;
  const char* kind;
  const char* kinds;
  std::optional<uint16_t> (*find)(const std::string&);
  std::string (*names)();
};

const TypeOption kLaraOption{"--lara", "Lara type", "Lara types", FindLaraType,
                             LaraTypeNames};
const TypeOption kWeatherOption{"--weather", "weather type", "Weather types",
                                FindWeatherType, WeatherTypeNames};

// Takes the TYPE of `option` at args[i] into `target`.
void TakeType(const TypeOption& option, const std::vector<std::string>& args,
              std::size_t& i, std::optional<uint16_t>& target) {
  if (target) throw Usage(std::string(option.name) + " is given twice");
  const std::string type = OptionValue(args, i, option.name, "a TYPE");
  target = option.find(type);
  if (!target) {
    throw UsageError(std::string("unknown ") + option.kind + " '" + type + "'",
                     std::string(option.kinds) + ": " + option.names() +
                         ", a list text or a stored value 0 to 65535.");
  }
}

Command ParseCommand(const std::string& word) {
  if (word == "show") return Command::Show;
  if (word == "set") return Command::Set;
  if (word == "check") return Command::Check;
  if (IsOption(word)) throw Usage("unknown option '" + word + "'");
  throw Usage("unknown command '" + word + "'");
}

}  // namespace

UsageError::UsageError(const std::string& what, std::string hint)
    : std::runtime_error(what), hint_(std::move(hint)) {}

Arguments ParseArguments(const std::vector<std::string>& args) {
  const auto options_end = std::find(args.begin(), args.end(), "--");
  const auto asks = [&](const char* option) {
    return std::find(args.begin(), options_end, option) != options_end;
  };
  Arguments parsed;
  if (asks("--help") || asks("-h") || asks("/?")) return parsed;
  if (asks("--version")) {
    parsed.command = Command::Version;
    return parsed;
  }
  if (args.empty()) throw Usage("no command given");

  parsed.command = ParseCommand(args[0]);
  const bool set = parsed.command == Command::Set;
  const bool takes_types = set || parsed.command == Command::Check;
  bool options_over = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_over || !IsOption(arg)) {
      parsed.levels.push_back(arg);
    } else if (arg == "--") {
      options_over = true;
    } else if (arg == "--json") {
      parsed.json = true;
    } else if (takes_types && Names(arg, kLaraOption.name)) {
      TakeType(kLaraOption, args, i, parsed.change.lara);
    } else if (takes_types && Names(arg, kWeatherOption.name)) {
      TakeType(kWeatherOption, args, i, parsed.change.weather);
    } else if (set && Names(arg, "--from")) {
      if (parsed.from) throw Usage("--from is given twice");
      parsed.from = OptionValue(args, i, "--from", "a FILE");
    } else {
      throw Usage("unknown option '" + arg + "' for " + args[0]);
    }
  }
  if (parsed.from) {
    if (!parsed.change.empty() || !parsed.levels.empty()) {
      throw Usage("set --from takes no LEVEL, --lara or --weather: its "
                  "records name the levels and their values");
    }
    return parsed;
  }
  if (set && parsed.change.empty()) {
    throw Usage("set needs --lara TYPE, --weather TYPE or both, or --from FILE");
  }
  if (parsed.levels.empty()) throw Usage("no level given");
  return parsed;
}

}  // namespace ornivale::cli
