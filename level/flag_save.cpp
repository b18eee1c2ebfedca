#include "level/flag_save.h"

#include "level/edit/level_access.h"
#include "level/format/flag_vocabulary.h"

namespace ornivale {
namespace {

// The stored values of the entries selected; a list without a selection
// keeps its flag's bytes.
FlagChange SelectedValues(const WindowServices& window) {
  FlagChange change;
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    const auto value =
        kFlags[i].entries.ValueAt(window.GetFlagSelection(kFlags[i].list));
    if (value) change.values[i] = static_cast<uint16_t>(*value);
  }
  return change;
}

// The window's own refusals come first: they need no file.
LevelStatus Save(Level4& level, const std::string& path,
                 WindowServices& window) {
  const std::optional<LevelState>& loaded = level.LastScan();
  if (!loaded) {
    return Failure(level.FlagsPos() == 0 ? LevelCode::NothingLoaded
                                         : LevelCode::LoadFailed,
                   path);
  }
  if (loaded->path != path) return Failure(LevelCode::NotLoadedLevel, path);

  LevelEdit edit(path, SelectedValues(window), NameRule::AnyName);
  edit.loaded = *loaded;
  // The window answers meanwhile: a compaction of the history is not
  // waited for.
  const EditResult saved =
      EditLevel(edit, {"ornivale", level.history(), false, false}, level.disk());
  if (saved.opened) window.AddLog("Saving level...");
  if (saved.ok()) level.Saved(saved.after);
  return saved.status;
}

}  // namespace

void SaveFlags(Level4& level, WindowServices& window) {
  const LevelStatus status = Save(level, window.GetLevelPath(), window);
  level.Report(status, window);
  // Only now are the bytes synced, read back and the file closed.
  if (status.ok()) window.AddLog(kLevelSavedLine);
}

}  // namespace ornivale
