#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "level/edit/undo_plans.h"
#include "level/ports/disk.h"

namespace ornivale::cli {

// The records of `source` ("-" for standard input) that ask for edits
// (EditsOfRecords). False, after one line on `err`, when none is to be
// made: the input can't be opened or read, holds no record, or a line of it
// is no record. A record of a failure holds no values: it gets a note and
// is passed over, and so is a line of how a change left its level.
bool EditsFrom(const std::string& source, Disk& disk, std::ostream& err,
               std::vector<RecordEdit>* edits);

}  // namespace ornivale::cli
