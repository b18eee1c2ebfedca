#include "level/format/level_format.h"

namespace ornivale {

const LevelFormat* FormatOfVersion(int32_t version) {
  for (const LevelFormat* format : kLevelFormats) {
    if (format->version == version) return format;
  }
  return nullptr;
}

const LevelFormat* FormatNamed(std::string_view name) {
  for (const LevelFormat* format : kLevelFormats) {
    if (name == format->name) return format;
  }
  return nullptr;
}

}  // namespace ornivale
