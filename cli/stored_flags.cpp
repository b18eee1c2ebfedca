#include "cli/stored_flags.h"

#include "level/field_codec.h"
#include "level/file_channel.h"
#include "level/level_error.h"

namespace ornivale::cli {

StoredFlags ReadStoredFlags(const Level4& level, const ScannedLevel& scanned) {
  FileChannel channel(level.OpenFile(scanned.path, OpenMode::ReadOnly));
  channel.SetChannelPos(scanned.flags_pos);
  StoredFlags flags;
  try {
    flags.lara = ReadWord(channel).Value;
    flags.weather = ReadWord(channel).Value;
  } catch (const EndOfFileError&) {
    throw EndOfFileError("its Lara type and weather");
  }
  return flags;
}

}  // namespace ornivale::cli
