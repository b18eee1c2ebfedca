#include "level/format/level_layout.h"

namespace ornivale {

bool SameHeader(const LevelHeader& a, const LevelHeader& b) {
  if (a.LevelVersion.Raw != b.LevelVersion.Raw) return false;
  for (std::size_t i = 0; i < a.TexCounts.size(); ++i) {
    if (a.TexCounts[i].Raw != b.TexCounts[i].Raw) return false;
  }
  for (std::size_t i = 0; i < a.Chunks.size(); ++i) {
    if (a.Chunks[i].UnpackedSize.Raw != b.Chunks[i].UnpackedSize.Raw ||
        a.Chunks[i].PackedSize.Raw != b.Chunks[i].PackedSize.Raw) {
      return false;
    }
  }
  return true;
}

}  // namespace ornivale
