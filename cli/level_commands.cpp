#include "cli/level_commands.h"

#include "cli/ascii_lower.h"
#include "cli/console_window.h"
#include "cli/flag_report.h"
#include "cli/stored_flags.h"
#include "level/command_errors.h"
#include "level/flag_save.h"
#include "level/level4.h"

namespace ornivale::cli {
namespace {

void ReportFailure(const std::string& path, const std::string& failure,
                   std::ostream& err) {
  err << "ornivale-cli: ";
  if (failure.find(path) == std::string::npos) err << path << ": ";
  err << failure << '\n';
}

// Reports what the core said went wrong, if anything.
bool Failed(const ConsoleWindow& window, std::ostream& err) {
  for (const std::string& failure : window.Failures()) {
    ReportFailure(window.GetLevelPath(), failure, err);
  }
  return !window.Failures().empty();
}

// The window's Open dialog offers only level names, and the core reads the
// flags of nothing else; a typed name is checked first, so that a file that
// is not a level is neither opened nor passed over in silence.
bool HasLevelName(const std::string& path) {
  if (path.size() < 4) return false;
  const std::string tail = AsciiLower(path.substr(path.size() - 4));
  return tail == ".trc" || tail == ".tr4";
}

bool Load(Level4& level, ConsoleWindow& window, std::ostream& err) {
  const std::string path = window.GetLevelPath();
  if (!HasLevelName(path)) {
    ReportFailure(path,
                  path +
                      " isn't named as a level: the name must end in "
                      "\".trc\" or \".tr4\".",
                  err);
    return false;
  }
  level.OpenLevel(path, window);
  return !Failed(window, err);
}

std::optional<StoredFlags> Read(const Level4& level, ConsoleWindow& window,
                                std::ostream& err) {
  std::optional<StoredFlags> flags;
  RunReportingFailures(window.GetLevelPath(), window, [&] {
    flags = ReadStoredFlags(level, level.LastScan().value());
  });
  if (Failed(window, err)) return std::nullopt;
  return flags;
}

}  // namespace

bool ShowLevel(const std::string& path, bool json,
               const LevelFileOpener& opener, std::ostream& out,
               std::ostream& err) {
  Level4 level(opener);
  ConsoleWindow window(path);
  if (!Load(level, window, err)) return false;
  const std::optional<StoredFlags> flags = Read(level, window, err);
  if (!flags) return false;
  if (json) {
    out << FlagsJson(path, *flags) << '\n';
  } else {
    out << path << ": " << DescribeFlags(*flags) << '\n';
  }
  return true;
}

bool SetLevel(const std::string& path, const FlagChange& change,
              const LevelFileOpener& opener, std::ostream& out,
              std::ostream& err) {
  Level4 level(opener);
  ConsoleWindow window(path);
  if (!Load(level, window, err)) return false;
  if (change.lara) window.SetFlagSelection(FlagList::c2, *change.lara);
  if (change.weather) window.SetFlagSelection(FlagList::c1, *change.weather);
  SaveFlags(level, window);
  if (Failed(window, err)) return false;
  const std::optional<StoredFlags> flags = Read(level, window, err);
  if (!flags) return false;
  out << path << ": " << DescribeFlags(*flags) << '\n';
  return true;
}

}  // namespace ornivale::cli
