#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ornivale::cli {

// A TYPE on the command line names an entry of c2 (Lara type) or c1
// (weather) by its list text in any case ("Catsuit", "normal weather"), by
// its short name, the first word of the text ("young", "rain"), or by the
// value a level stores for it ("3"). Any stored value 0 to 65535 is taken,
// with an entry or without ("5"). Each returns the value to store, none
// when `type` is neither a number nor an entry's name.
std::optional<uint16_t> FindLaraType(const std::string& type);
std::optional<uint16_t> FindWeatherType(const std::string& type);

// The short names of the entries in list order, comma-separated: "normal,
// young, catsuit, divesuit, invisible".
std::string LaraTypeNames();
std::string WeatherTypeNames();

}  // namespace ornivale::cli
