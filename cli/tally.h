#pragma once

#include <array>
#include <cstddef>
#include <ostream>

namespace ornivale::cli {

// How a level of a run ended.
enum class Outcome {
  Shown,            // show
  Matching,         // check: it holds the values named
  Different,        // check: it holds others
  Changed,          // set, restore: written (a dry run: would be)
  Unchanged,        // set, restore: it held the values already
  NothingRecorded,  // restore, reapply
  NothingToApply,   // reapply: its changes were given back
  Refused,          // set, restore: a failure
  Failed,           // show, check: a failure
};

// How many levels of a run ended each way: the count line that a run over
// more than one level ends with, "12 levels: 11 changed, 1 refused".
class Tally {
 public:
  void Count(Outcome outcome) { ++counts_[static_cast<std::size_t>(outcome)]; }
  // The line, on `err`, where more than one level was counted; a dry run's
  // changes are "to change".
  void Print(std::ostream& err, bool dry_run) const;

 private:
  std::array<int, static_cast<std::size_t>(Outcome::Failed) + 1> counts_{};
};

}  // namespace ornivale::cli
