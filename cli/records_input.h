#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "level/disk.h"
#include "level/level_access.h"

namespace ornivale::cli {

// What a record asks of its level: the part of a LevelEdit that a record
// gives, held in a fraction of a LevelEdit's memory, for an input may hold
// a great many.
struct RecordedEdit {
  std::string path;
  FlagChange change;
  // An undo's: what the level must still hold, and where.
  std::optional<FlagChange> must_hold;
  std::optional<int64_t> flags_offset;

  LevelEdit Edit() &&;
};

// The edits that the records of `source` ("-" for standard input) ask for:
// a show or check record gives its level its values; a set record, or a
// change of the history, gives back only the values that set changed, and
// only where the level still holds what it wrote. False, after one line on
// `err`, when none is to be made: the input can't be opened or read, holds
// no record, or a line of it is no record. A record of a failure holds no
// values: it gets a note and is passed over.
bool EditsFrom(const std::string& source, Disk& disk, std::ostream& err,
               std::vector<RecordedEdit>* edits);

}  // namespace ornivale::cli
