#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ornivale {

// The level kinds that a file name sets: a Tomb Raider IV level (".TR4")
// and a Tomb Raider Chronicles level (".TRC").
inline constexpr int32_t kKindTr4 = 5;
inline constexpr int32_t kKindTrc = 6;

// The kind that the last four characters of `path` name, in any case; none
// for any other ending and for a path shorter than that.
std::optional<int32_t> KindOfName(const std::string& path);

}  // namespace ornivale
