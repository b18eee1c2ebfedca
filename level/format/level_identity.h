#pragma once

#include <cstdint>

#include "level/format/level_state.h"

namespace ornivale {

// What tells a level from another at the same path with its values at the
// same place: the file on its volume, a fingerprint of one build of it, and
// the file's last-write time and size when it was looked at. The history
// keeps it with each change, as the change found the level and as it left
// it, so that an undo never gives one file, one build or one write of it
// what another held.
struct LevelIdentity {
  uint64_t volume = 0;
  uint64_t index = 0;
  // Of the head (version, counts, block headers), where the values lie and
  // the level data's sizes after the padding: what a rebuild changes.
  uint64_t fingerprint = 0;
  // The file's last-write time when it was looked at: anything that writes
  // it moves it on.
  int64_t modified = 0;
  // Its size then; -1 where a line of the history's second format kept
  // none.
  int64_t size = -1;
  // Its birth time (FileStamp::born); 0 where none is known. Where the
  // system keeps none it may give the last-write time instead (Wine does),
  // so only two looks at an untouched file are sure to agree on it.
  int64_t born = 0;

  bool SameFile(const LevelIdentity& other) const {
    return volume == other.volume && index == other.index;
  }
  bool SameBuild(const LevelIdentity& other) const {
    return SameFile(other) && fingerprint == other.fingerprint;
  }
  // The same build, untouched between the two looks: nothing wrote it, and
  // no new file took its index.
  bool Untouched(const LevelIdentity& other) const {
    return SameBuild(other) && modified == other.modified &&
           (size < 0 || other.size < 0 || size == other.size) &&
           (born == 0 || other.born == 0 || born == other.born);
  }
  // Whether `other`, the same file by its index, was born apart from this
  // one: a new file in a deleted one's place, where the system keeps birth
  // times of their own.
  bool BornApart(const LevelIdentity& other) const {
    return born != 0 && other.born != 0 && born != other.born && born != modified;
  }
};

// The identity of the level as `state` read it.
LevelIdentity IdentityOf(const LevelState& state);

}  // namespace ornivale
