#include "level/level4.h"

#include "level/failure_words.h"
#include "level/flag_vocabulary.h"
#include "level/level_access.h"
#include "level/level_names.h"

namespace ornivale {

Level4::Level4() : Level4(Disk::Default()) {}

Level4::Level4(Disk& disk) : disk_(disk) {}

void Level4::OpenLevel(const std::string& path, WindowServices& window) {
  last_scan_.reset();
  window.AddLog("Opening " + path + "...");
  Show(InspectLevel(path, NameRule::AnyName, disk_), window);
}

// The log and the level state follow the stages of the walk: the version,
// then the kind that the name sets, then the flag pair. Nothing changes
// before the whole pair has been read.
void Level4::Show(LevelState state, WindowServices& window) {
  const LevelScan& scan = state.scan;
  if (!scan.VersionMatches()) return Report(state.status, window);
  window.AddLog("File opened");
  if (const auto kind = KindOfName(state.path)) level_kind_ = *kind;
  window.AddLog("Reading textures...");
  last_status_ = {};
  if (level_kind_ != kKindTr4 && level_kind_ != kKindTrc) return;
  if (!state.ok()) return Report(state.status, window);

  flags_pos_ = static_cast<int32_t>(scan.flags_offset + 1);
  // A stored value without an entry leaves its list with no selection, so
  // that a save never writes a value shown for an earlier level.
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    window.SetFlagSelection(
        kFlags[i].list, kFlags[i].entries.PositionOf(scan.Value(i)).value_or(-1));
  }
  last_scan_ = std::move(state);
  window.AddLog("Done");
}

void Level4::Saved(LevelState state) {
  last_scan_ = std::move(state);
  last_status_ = {};
}

void Level4::Report(const LevelStatus& status, WindowServices& window) {
  last_status_ = status;
  if (status.ok()) return;
  window.ShowMessage(WindowMessage(status), "Error", MessageIcon::Critical);
}

}  // namespace ornivale
