#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "level/format/flag_vocabulary.h"

namespace ornivale::cli {

// A TYPE on the command line names an entry of a flag's list by its text in
// any case ("Catsuit", "normal weather"), by its short name, the first word
// of the text ("young", "rain"), or by the value a level stores for it
// ("3"). Any stored value 0 to 65535 is taken, with an entry or without
// ("5"), and so is -32768 to -1 for the values from 32768 up, as a level's
// value is printed. Returns the value to store, none when `type` is neither
// a number nor an entry's name.
std::optional<uint16_t> FindType(const FlagDescription& flag,
                                 const std::string& type);

// The short names of the flag's entries in list order, comma-separated:
// "normal, young, catsuit, divesuit, invisible".
std::string TypeNames(const FlagDescription& flag);

// "Lara type Catsuit (3)": the flag's name, then its value as Describe
// gives it.
std::string Describe(const FlagDescription& flag, int32_t value);
// "Catsuit (3)", or "unknown (5)" for a value without an entry.
std::string DescribeValue(const FlagDescription& flag, int32_t value);

}  // namespace ornivale::cli
