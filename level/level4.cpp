#include "level/level4.h"

#include "disk/disk_file.h"
#include "level/flag_vocabulary.h"
#include "level/level_access.h"
#include "level/level_names.h"
#include "level/window_messages.h"

namespace ornivale {

Level4::Level4() : Level4(OpenDiskFile) {}

Level4::Level4(LevelFileOpener opener) : opener_(std::move(opener)) {}

void Level4::OpenLevel(const std::string& path, WindowServices& window) {
  last_scan_.reset();
  window.AddLog("Opening " + path + "...");
  Show(InspectLevel(path, NameRule::AnyName, opener_), window);
}

// The log and the level state follow the stages of the walk: the version,
// then the kind that the name sets, then the flag pair. Nothing changes
// before the whole pair has been read.
void Level4::Show(LevelState state, WindowServices& window) {
  const LevelScan& scan = state.scan;
  if (!scan.VersionMatches()) return ShowFailure(state.status, window);
  window.AddLog("File opened");
  if (const auto kind = KindOfName(state.path)) level_kind_ = *kind;
  window.AddLog("Reading textures...");
  if (level_kind_ != kKindTr4 && level_kind_ != kKindTrc) return;
  if (!state.ok()) return ShowFailure(state.status, window);

  flags_pos_ = static_cast<int32_t>(scan.flags_offset + 1);
  window.SetFlagSelection(FlagList::c2,
                          LaraPosition(scan.lara.Value).value_or(-1));
  window.SetFlagSelection(FlagList::c1,
                          WeatherPosition(scan.weather.Value).value_or(-1));
  last_scan_ = std::move(state);
  window.AddLog("Done");
}

void ShowFailure(const LevelStatus& status, WindowServices& window) {
  window.ShowMessage(WindowMessage(status), "Error", MessageIcon::Critical);
}

}  // namespace ornivale
