#include "level/flag_save.h"

#include "level/flag_vocabulary.h"
#include "level/level_access.h"

namespace ornivale {
namespace {

std::optional<uint16_t> Stored(std::optional<int32_t> value) {
  if (!value) return std::nullopt;
  return static_cast<uint16_t>(*value);
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

  std::unique_ptr<LevelFile> file;
  const LevelStatus opened =
      OpenForSaving(path, NameRule::AnyName, level.Opener(), &file);
  if (!opened.ok()) return opened;
  window.AddLog("Saving level...");
  const FlagChange change{
      Stored(LaraValue(window.GetFlagSelection(FlagList::c2))),
      Stored(WeatherValue(window.GetFlagSelection(FlagList::c1)))};
  LevelState saved = ApplyFlags(std::move(file), change, &*loaded);
  if (!saved.ok()) return saved.status;
  level.Saved(std::move(saved));
  return {};
}

}  // namespace

void SaveFlags(Level4& level, WindowServices& window) {
  const LevelStatus status = Save(level, window.GetLevelPath(), window);
  if (!status.ok()) return ShowFailure(status, window);
  // Only now are the bytes synced, read back and the file closed.
  window.AddLog("Level saved");
}

}  // namespace ornivale
