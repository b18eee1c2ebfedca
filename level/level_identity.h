#pragma once

#include <cstdint>

#include "level/level_state.h"

namespace ornivale {

// What tells a level from another at the same path with its values at the
// same place: the file on its volume, and a fingerprint of one build of it.
// The history keeps it with each change, so that an undo never gives one
// file, or one build, what another held.
struct LevelIdentity {
  uint64_t volume = 0;
  uint64_t index = 0;
  // Of the head (version, counts, block headers), where the values lie and
  // the level data's sizes after the padding: what a rebuild changes.
  uint64_t fingerprint = 0;
  // The file's last-write time when it was read: unchanged after a write
  // that did not happen.
  int64_t modified = 0;

  bool SameBuild(const LevelIdentity& other) const {
    return volume == other.volume && index == other.index &&
           fingerprint == other.fingerprint;
  }
};

// The identity of the level as `state` read it.
LevelIdentity IdentityOf(const LevelState& state);

}  // namespace ornivale
