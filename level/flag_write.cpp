#include "level/flag_write.h"

namespace ornivale {
namespace {

LevelStatus WriteValue(LevelFile& file, int64_t offset, uint16_t value) {
  const auto bytes = EncodeWord(value);
  return file.Write(offset, bytes.data(), bytes.size());
}

}  // namespace

LevelStatus WriteFlags(LevelFile& file, const LevelScan& scanned,
                       const FlagChange& change) {
  if (!scanned.status.ok()) return scanned.status;
  const LevelScan now = ScanLevel(file);
  if (now.status.code == LevelCode::ReadFailed) return now.status;
  if (!now.status.ok() || !SameHeader(now.header, scanned.header) ||
      now.flags_offset != scanned.flags_offset) {
    return Failure(LevelCode::Changed, file.path());
  }
  if (now.HoldsTr4LevelData()) {
    LevelStatus status = Failure(LevelCode::Tr4Level, file.path());
    status.offset = now.tr4_data_offset;
    return status;
  }
  if (change.lara) {
    LevelStatus status = WriteValue(file, now.flags_offset, *change.lara);
    if (!status.ok()) return status;
  }
  if (change.weather) {
    LevelStatus status = WriteValue(file, now.flags_offset + 2, *change.weather);
    if (!status.ok()) return status;
  }
  return file.Sync();
}

}  // namespace ornivale
