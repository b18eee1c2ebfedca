#include "cli/flag_report.h"

#include "cli/type_names.h"
#include "level/format/flag_vocabulary.h"

namespace ornivale::cli {
namespace {

bool ValuesDiffer(const LevelScan& a, const LevelScan& b) {
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    if (a.Value(i) != b.Value(i)) return true;
  }
  return false;
}

// The flags' descriptions, each as `describe` gives it, comma-separated.
template <typename Describe>
std::string EachFlag(Describe describe) {
  std::string line;
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    if (i > 0) line += ", ";
    line += describe(i);
  }
  return line;
}

}  // namespace

std::string DescribeFlags(const LevelScan& scan) {
  return EachFlag([&](std::size_t i) { return Describe(kFlags[i], scan.Value(i)); });
}

std::string DescribeSet(const LevelScan& before, const LevelScan& after) {
  const std::string line = EachFlag([&](std::size_t i) {
    const std::string held = Describe(kFlags[i], before.Value(i));
    return before.Value(i) == after.Value(i)
               ? held
               : held + " -> " + DescribeValue(kFlags[i], after.Value(i));
  });
  return ValuesDiffer(before, after) ? line : line + ", unchanged";
}

std::string DescribeDifference(const LevelScan& scan, const FlagChange& asked) {
  return EachFlag([&](std::size_t i) {
    std::string line = Describe(kFlags[i], scan.Value(i));
    const auto& wanted = asked.values[i];
    // A value as the level stores it, the way a scan decodes it.
    const int32_t stored = wanted ? static_cast<int16_t>(*wanted) : 0;
    if (wanted && stored != scan.Value(i)) {
      line += ", not " + DescribeValue(kFlags[i], stored);
    }
    return line;
  });
}

}  // namespace ornivale::cli
