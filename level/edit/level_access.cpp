#include "level/edit/level_access.h"

#include "level/edit/level_rules.h"
#include "level/format/level_names.h"

namespace ornivale {
namespace {

// The first failure of two stands.
void Keep(LevelStatus& first, LevelStatus next) {
  if (first.ok() && !next.ok()) first = std::move(next);
}

}  // namespace

bool EditResult::ValuesChanged() const {
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    if (before.Value(i) != after.scan.Value(i)) return true;
  }
  return false;
}

LevelState InspectLevel(const std::string& path, NameRule rule, Disk& disk) {
  LevelState state;
  state.path = path;
  if (rule == NameRule::TrcNamesOnly) {
    state.status = rules::CheckName(path, rule);
    if (!state.ok()) return state;
  }
  std::unique_ptr<LevelFile> file;
  state.status = disk.Open(path, OpenMode::ReadOnly, &file);
  if (!state.ok()) return state;
  state.stamp = file->Stamp();
  state.scan = ScanLevel(*file);
  Keep(state.status, state.scan.status);
  Keep(state.status, file->Close());
  if (rule == NameRule::TrcNamesOnly) {
    Keep(state.status, rules::CheckWritable(state.scan, path));
  }
  return state;
}

}  // namespace ornivale
