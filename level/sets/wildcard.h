#pragma once

#include <string>

namespace ornivale {

// Whether the file name `name` fits `pattern`, as a Windows console user
// means it: `*` stands for any run of characters, `?` for any one, and
// letters match in either case (ASCII letters; others as they are). Both
// are UTF-8.
bool MatchesWildcard(const std::string& pattern, const std::string& name);

}  // namespace ornivale
