#pragma once

#include <string>

#include "level/level_scan.h"
#include "level/level_state.h"
#include "level/level_status.h"

namespace ornivale::cli {

// "Lara type Catsuit (3), weather Rain (1)"; a value without an entry is
// "unknown (5)".
std::string DescribeFlags(const LevelScan& scan);

// {"path":…,"lara":{"value":3,"text":"Catsuit"},"weather":{…}} on one line;
// the text of a value without an entry is null.
std::string FlagsJson(const std::string& path, const LevelScan& scan);

// What set did: "Lara type Catsuit (3) -> Divesuit (4), weather Rain (1)",
// an arrow for each value it changed; with nothing to change, the values
// and ", unchanged".
std::string DescribeSet(const LevelScan& before, const LevelScan& after);

// The level's FlagsJson with "before":{"lara":…,"weather":…} and
// "changed":true or false after the values it holds now.
std::string SetJson(const std::string& path, const LevelScan& before,
                    const LevelScan& after);

// What check found against the values asked: ", not Catsuit (3)" after
// each value that differs: "Lara type Young Lara (1), not Catsuit (3),
// weather Rain (1)".
std::string DescribeDifference(const LevelScan& scan, const FlagChange& asked);

// The level's FlagsJson with "matches":true or false.
std::string CheckJson(const std::string& path, const LevelScan& scan,
                      bool matches);

// {"path":…,"error":{"code":"cut-short","message":…}} on one line.
std::string FailureJson(const LevelStatus& status, const std::string& message);

}  // namespace ornivale::cli
