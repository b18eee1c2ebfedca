#include "cli/tally.h"

#include <numeric>

namespace ornivale::cli {
namespace {

// In Outcome's order.
constexpr const char* kWords[] = {"shown",
                                  "matching",
                                  "different",
                                  "changed",
                                  "unchanged",
                                  "with nothing recorded",
                                  "with nothing to apply again",
                                  "refused",
                                  "failed"};
static_assert(sizeof kWords / sizeof kWords[0] == static_cast<std::size_t>(Outcome::Failed) + 1);

}  // namespace

void Tally::Print(std::ostream& err, bool dry_run) const {
  const int levels = std::accumulate(counts_.begin(), counts_.end(), 0);
  if (levels < 2) return;
  err << levels << " levels:";
  const char* separator = " ";
  for (std::size_t i = 0; i < counts_.size(); ++i) {
    if (counts_[i] == 0) continue;
    const bool changed = static_cast<Outcome>(i) == Outcome::Changed;
    err << separator << counts_[i] << ' ' << (changed && dry_run ? "to change" : kWords[i]);
    separator = ", ";
  }
  err << '\n';
}

}  // namespace ornivale::cli
