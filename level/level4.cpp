#include "level/level4.h"

#include "disk/disk_file.h"
#include "level/flag_vocabulary.h"
#include "level/window_messages.h"

namespace ornivale {

Level4::Level4() : Level4(OpenDiskFile) {}

Level4::Level4(LevelFileOpener opener) : opener_(std::move(opener)) {}

void Level4::OpenLevel(const std::string& path, WindowServices& window) {
  last_scan_.reset();
  window.AddLog("Opening " + path + "...");
  std::unique_ptr<LevelFile> file;
  const LevelStatus opened = opener_(path, OpenMode::ReadOnly, &file);
  if (!opened.ok()) return ShowFailure(opened, window);
  LevelScan scan = ScanLevel(*file);
  const LevelStatus closed = file->Close();
  if (scan.status.ok()) scan.status = closed;
  Show(path, scan, window);
}

// The log and the level state follow the stages of the walk: the version,
// then the kind that the name sets, then the flag pair. Nothing changes
// before the whole pair has been read.
void Level4::Show(const std::string& path, const LevelScan& scan,
                  WindowServices& window) {
  if (!scan.VersionMatches()) return ShowFailure(scan.status, window);
  window.AddLog("File opened");
  if (const auto kind = KindOfName(path)) level_kind_ = *kind;
  window.AddLog("Reading textures...");
  if (level_kind_ != kKindTr4 && level_kind_ != kKindTrc) return;
  if (!scan.status.ok()) return ShowFailure(scan.status, window);

  flags_pos_ = static_cast<int32_t>(scan.flags_offset + 1);
  window.SetFlagSelection(FlagList::c2,
                          LaraPosition(scan.lara.Value).value_or(-1));
  window.SetFlagSelection(FlagList::c1,
                          WeatherPosition(scan.weather.Value).value_or(-1));
  last_scan_ = ScannedLevel{path, level_kind_, scan};
  window.AddLog("Done");
}

void ShowFailure(const LevelStatus& status, WindowServices& window) {
  window.ShowMessage(WindowMessage(status), "Error", MessageIcon::Critical);
}

}  // namespace ornivale
