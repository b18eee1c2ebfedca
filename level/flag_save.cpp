#include "level/flag_save.h"

#include "level/flag_vocabulary.h"
#include "level/flag_write.h"

namespace ornivale {
namespace {

std::optional<uint16_t> Stored(std::optional<int32_t> value) {
  if (!value) return std::nullopt;
  return static_cast<uint16_t>(*value);
}

LevelStatus Save(Level4& level, const std::string& path,
                 WindowServices& window) {
  const std::optional<ScannedLevel>& scanned = level.LastScan();
  if (!scanned) {
    return Failure(level.FlagsPos() == 0 ? LevelCode::NothingLoaded
                                         : LevelCode::LoadFailed,
                   path);
  }
  if (scanned->path != path) return Failure(LevelCode::NotLoadedLevel, path);
  if (scanned->kind == kKindTr4) return Failure(LevelCode::Tr4Level, path);

  std::unique_ptr<LevelFile> file;
  const LevelStatus opened = level.OpenFile(path, OpenMode::ReadWrite, &file);
  if (!opened.ok()) return opened;
  window.AddLog("Saving level...");
  const FlagChange change{
      Stored(LaraValue(window.GetFlagSelection(FlagList::c2))),
      Stored(WeatherValue(window.GetFlagSelection(FlagList::c1)))};
  const LevelStatus written = WriteFlags(*file, scanned->scan, change);
  const LevelStatus closed = file->Close();
  return written.ok() ? closed : written;
}

}  // namespace

void SaveFlags(Level4& level, WindowServices& window) {
  const LevelStatus status = Save(level, window.GetLevelPath(), window);
  if (!status.ok()) return ShowFailure(status, window);
  // Only now are the bytes synced and the file closed.
  window.AddLog("Level saved");
}

}  // namespace ornivale
