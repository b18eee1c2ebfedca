#include "level/flag_save.h"

#include "level/command_errors.h"
#include "level/field_codec.h"
#include "level/file_channel.h"
#include "level/flag_vocabulary.h"
#include "level/level_layout.h"

namespace ornivale {
namespace {

// The save trusts only a file that still leads to the same flag pair: a
// level changed or replaced since it was scanned must not be written blind.
void CheckUnchanged(FileChannel& channel, const ScannedLevel& scanned) {
  const LevelError changed(scanned.path +
                           " has changed since it was loaded. Load it again "
                           "before saving.");
  try {
    LevelHeader header;
    ReadLevelVersion(channel, header);
    if (header.LevelVersion.Value != kLevelVersion ||
        PassTextures(channel, header) != scanned.flags_pos ||
        !channel.Holds(4)) {
      throw changed;
    }
  } catch (const EndOfFileError&) {
    throw changed;
  }
}

void WriteFlags(Level4& level, const ScannedLevel& scanned,
                WindowServices& window) {
  FileChannel channel(level.OpenFile(scanned.path, OpenMode::ReadWrite));
  window.AddLog("Saving level...");
  CheckUnchanged(channel, scanned);

  channel.SetChannelPos(scanned.flags_pos);
  if (auto lara = LaraValue(window.GetFlagSelection(FlagList::c2))) {
    WriteWord(channel, *lara);
  } else {
    channel.SetChannelPos(scanned.flags_pos + 2);
  }
  if (auto weather = WeatherValue(window.GetFlagSelection(FlagList::c1))) {
    WriteWord(channel, *weather);
  }
  channel.Flush();
}

}  // namespace

void SaveFlags(Level4& level, WindowServices& window) {
  const std::string path = window.GetLevelPath();
  RunReportingFailures(path, window, [&] {
    const std::optional<ScannedLevel>& scanned = level.LastScan();
    if (!scanned && level.FlagsPos() == 0) {
      throw LevelError("There is no loaded level to save. Load a level first.");
    }
    if (!scanned) {
      throw LevelError(path + " couldn't be loaded, so it can't be saved.");
    }
    if (scanned->path != path) {
      throw LevelError(path + " isn't the loaded level. Load it before saving.");
    }
    if (scanned->kind == kKindTr4) {
      throw LevelError(path +
                       " is a Tomb Raider IV level: it keeps other data where "
                       "a TRC level keeps the Lara type and weather, so they "
                       "can't be saved.");
    }
    WriteFlags(level, *scanned, window);
    // Only now are the bytes flushed and the file closed.
    window.AddLog("Level saved");
  });
}

}  // namespace ornivale
