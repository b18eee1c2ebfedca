#include "cli/level_commands.h"

#include <memory>

#include "cli/failure_text.h"
#include "cli/flag_report.h"
#include "level/level_names.h"
#include "level/level_scan.h"

namespace ornivale::cli {
namespace {

// A typed name is checked before anything is opened, so that a file that
// is not a level is neither read nor passed over in silence; a ".tr4" name
// is never written.
LevelStatus CheckName(const std::string& path, OpenMode mode) {
  const auto kind = KindOfName(path);
  if (!kind) return Failure(LevelCode::NotNamedAsLevel, path);
  if (mode == OpenMode::ReadWrite && *kind == kKindTr4) {
    return Failure(LevelCode::Tr4Level, path);
  }
  return {};
}

// Keeps the first failure of a level's road.
void Keep(LevelStatus& first, LevelStatus next) {
  if (first.ok()) first = std::move(next);
}

LevelStatus Tr4LevelFound(const LevelScan& scan, const std::string& path) {
  LevelStatus status = Failure(LevelCode::Tr4Level, path);
  status.offset = scan.tr4_data_offset;
  return status;
}

bool Report(const LevelStatus& status, const LevelScan& scan,
            const std::string& path, const Output& output) {
  if (!status.ok()) {
    const std::string message = TerminalMessage(status);
    output.err << "ornivale-cli: " << message << '\n';
    if (output.json) output.out << FailureJson(status, message) << '\n';
    return false;
  }
  if (output.json) {
    output.out << FlagsJson(path, scan) << '\n';
  } else {
    output.out << path << ": " << DescribeFlags(scan) << '\n';
  }
  return true;
}

}  // namespace

bool ShowLevel(const std::string& path, const LevelFileOpener& opener,
               const Output& output) {
  LevelStatus status = CheckName(path, OpenMode::ReadOnly);
  std::unique_ptr<LevelFile> file;
  if (status.ok()) status = opener(path, OpenMode::ReadOnly, &file);
  LevelScan scan;
  if (status.ok()) {
    scan = ScanLevel(*file);
    status = scan.status;
    Keep(status, file->Close());
  }
  if (status.ok() && scan.HoldsTr4LevelData()) status = Tr4LevelFound(scan, path);
  return Report(status, scan, path, output);
}

bool SetLevel(const std::string& path, const FlagChange& change,
              const LevelFileOpener& opener, const Output& output) {
  LevelStatus status = CheckName(path, OpenMode::ReadWrite);
  std::unique_ptr<LevelFile> file;
  if (status.ok()) status = opener(path, OpenMode::ReadWrite, &file);
  LevelScan now;
  if (status.ok()) {
    const LevelScan scanned = ScanLevel(*file);
    status = scanned.status;
    Keep(status, WriteFlags(*file, scanned, change));
    if (status.ok()) {
      now = ScanLevel(*file);
      status = now.status;
    }
    Keep(status, file->Close());
  }
  return Report(status, now, path, output);
}

}  // namespace ornivale::cli
