#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ornivale {

// The level kinds that a file name sets: a Tomb Raider IV level (".TR4")
// and a Tomb Raider Chronicles level (".TRC").
inline constexpr int32_t kKindTr4 = 5;
inline constexpr int32_t kKindTrc = 6;

// The kind that the last four characters of `path` name, in any case; none
// for any other ending and for a path shorter than that. The window's level
// kind follows this, letter for letter.
std::optional<int32_t> KindOfName(std::string_view path);

// The kind of the file that `path` opens: Windows drops the trailing dots
// and spaces of a name, so "karnak.tr4." opens karnak.tr4. The rules on
// what may be written follow this.
std::optional<int32_t> KindOfFile(std::string_view path);

// Whether an entry of a folder given for levels is one of them: a ".trc"
// name as Windows resolves it.
bool FolderEntryIsLevel(std::string_view name);

}  // namespace ornivale
