#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "level/format/level_scan.h"
#include "level/ports/level_file.h"
#include "level/ports/level_status.h"

namespace ornivale {

// What a level held when it was last read or written: its path, its scan
// (the two values among it), the file's stamp, or why it could not be had.
// A later save writes only while the file still matches all of it.
struct LevelState {
  std::string path;
  LevelStatus status;
  LevelScan scan;
  FileStamp stamp;

  bool ok() const { return status.ok(); }
};

// The stored values to write, in kFlags' order; a flag left empty keeps
// its two bytes.
struct FlagChange {
  std::array<std::optional<uint16_t>, kFlagCount> values;

  bool empty() const {
    for (const auto& value : values) {
      if (value) return false;
    }
    return true;
  }
  // Whether the level already stores every value given.
  bool HeldBy(const LevelScan& scan) const {
    for (std::size_t i = 0; i < kFlagCount; ++i) {
      if (values[i] && *values[i] != static_cast<uint16_t>(scan.Value(i))) {
        return false;
      }
    }
    return true;
  }
};

// Which names a front end takes for levels: the one place where the two
// front ends differ on purpose.
enum class NameRule {
  // The window reads a file of any name: one whose name ends in neither
  // ".trc" nor ".tr4" is read as the kind that the last such name set (see
  // Level4::LevelKind), and a ".tr4" name is shown but never saved.
  AnyName,
  // ornivale-cli takes only ".trc" names for levels and reports any other
  // name without opening the file: a ".tr4" name as a Tomb Raider IV level,
  // so that a script never reads one for a TRC level.
  TrcNamesOnly,
};

}  // namespace ornivale
