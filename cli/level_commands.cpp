#include "cli/level_commands.h"

#include <memory>

#include "cli/failure_text.h"
#include "cli/flag_report.h"
#include "level/level_access.h"

namespace ornivale::cli {
namespace {

bool Report(const LevelState& state, const Output& output) {
  if (!state.ok()) {
    const std::string message = TerminalMessage(state.status);
    output.err << "ornivale-cli: " << message << '\n';
    if (output.json) output.out << FailureJson(state.status, message) << '\n';
    return false;
  }
  if (output.json) {
    output.out << FlagsJson(state.path, state.scan) << '\n';
  } else {
    output.out << state.path << ": " << DescribeFlags(state.scan) << '\n';
  }
  return true;
}

}  // namespace

bool ShowLevel(const std::string& path, const LevelFileOpener& opener,
               const Output& output) {
  return Report(InspectLevel(path, NameRule::TrcNamesOnly, opener), output);
}

bool SetLevel(const std::string& path, const FlagChange& change,
              const LevelFileOpener& opener, const Output& output) {
  std::unique_ptr<LevelFile> file;
  LevelState state;
  state.path = path;
  state.status = OpenForSaving(path, NameRule::TrcNamesOnly, opener, &file);
  // The scan through the handle that writes is what the write must match.
  if (state.ok()) state = ApplyFlags(std::move(file), change, nullptr);
  return Report(state, output);
}

}  // namespace ornivale::cli
