#pragma once

#include <string>

#include "level/format/level_scan.h"
#include "level/format/level_state.h"

namespace ornivale::cli {

// "Lara type Catsuit (3), weather Rain (1)"; a value without an entry is
// "unknown (5)".
std::string DescribeFlags(const LevelScan& scan);

// What set did: "Lara type Catsuit (3) -> Divesuit (4), weather Rain (1)",
// an arrow for each value it changed; with nothing to change, the values
// and ", unchanged".
std::string DescribeSet(const LevelScan& before, const LevelScan& after);

// What check found against the values asked: ", not Catsuit (3)" after
// each value that differs: "Lara type Young Lara (1), not Catsuit (3),
// weather Rain (1)".
std::string DescribeDifference(const LevelScan& scan, const FlagChange& asked);

}  // namespace ornivale::cli
