#pragma once

#include <ostream>

#include "cli/tally.h"
#include "level/words/failure_words.h"

namespace ornivale::cli {

// What every command shares: its exit statuses and where it prints.

// Exit statuses.
inline constexpr int kAllSucceeded = 0;
inline constexpr int kSomeFailed = 1;
inline constexpr int kUsageError = 2;

// How a command prints: a line of text a level, or with `json` one JSON
// object a line, failures included; with `quiet`, only the levels that
// failed (or, for check, differ). Each level's outcome goes into `tally`.
// A failure is told in the words of the command's access.
struct Output {
  std::ostream& out;
  std::ostream& err;
  Tally& tally;
  bool json = false;
  bool quiet = false;
  Access access = Access::ReadOnly;
};

}  // namespace ornivale::cli
