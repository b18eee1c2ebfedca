// The history's reads at a size no user reaches in years: 1,000,000 lines,
// 50 changes of each of 10,000 levels, each followed by how it left its
// level, as restore of one level, history of one level and restore --last
// of all of them read it, and a compaction of it. The reads of one level
// come twice: with POSIX paths (/0) and with Windows paths (/1), whose
// backslashes JSON escapes. Each reports the process's peak memory so far
// ("peak_MiB"): run one benchmark a process (--benchmark_filter) to read
// it for that one alone.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unordered_set>

#include "level/history/history.h"
#include "level/history/records.h"
#include "level/ports/disk.h"

namespace ornivale {
namespace {

constexpr int kLevels = 10000;
constexpr int kChangesEach = 50;

// The history, written once for the whole run and removed at its end: each
// round sets every level's Lara type from Young Lara to Divesuit or back,
// as a set over a folder does.
class LongHistory {
 public:
  explicit LongHistory(bool windows_paths)
      : windows_paths_(windows_paths),
        folder_(std::filesystem::temp_directory_path() /
                ("ornivale-bench-history-" + std::to_string(getpid()) +
                 (windows_paths ? "-windows" : ""))) {
    std::filesystem::create_directories(folder_);
    path = (folder_ / "history.jsonl").string();
    std::ofstream out(path, std::ios::binary);
    std::string lines;
    for (int round = 0; round < kChangesEach; ++round) {
      for (int level = 0; level < kLevels; ++level) {
        ChangeDetails change;
        change.offset = 146;
        const uint8_t from = round % 2 == 0 ? 1 : 4;
        change.before = {from, 0, 1, 0};
        change.written = {static_cast<uint8_t>(5 - from), 0, 1, 0};
        change.time = UtcTime(1796894363000 + round * 1000);
        change.program = "ornivale-cli set";
        change.file = LevelIdentity{0xfe00, static_cast<uint64_t>(level + 1), 0x2ad771dec42911c4,
                                    1796894363000000000 + round, 4096, 1796894000000000000};
        LevelIdentity left = *change.file;
        left.modified += 1;
        lines += ChangeJson(Level(level), change, JsonText::Utf8) + "\n" +
                 LeftJson(Level(level), {change.offset, change.written, left}, JsonText::Utf8) +
                 "\n";
      }
      out << lines;
      lines.clear();
    }
    if (!out.flush()) std::abort();
  }
  ~LongHistory() { std::filesystem::remove_all(folder_); }

  std::string Level(int level) const {
    const std::string name = "level" + std::to_string(level) + ".trc";
    return windows_paths_ ? "C:\\Games\\Tomb Raider Chronicles\\data\\" + name
                          : (folder_ / name).string();
  }

  std::string path;

 private:
  bool windows_paths_;
  std::filesystem::path folder_;
};

const LongHistory& TheHistory(bool windows_paths = false) {
  static const LongHistory posix(false);
  if (!windows_paths) return posix;
  static const LongHistory windows(true);
  return windows;
}

void CountPeakMemory(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

// What restore of one level reads: that level's chain.
void BM_ChainOfOneLevel(benchmark::State& state) {
  const LongHistory& long_history = TheHistory(state.range(0) != 0);
  const History history(Disk::Default(), long_history.path);
  const std::string level = long_history.Level(kLevels / 2);
  for (auto _ : state) {
    ChangesByLevel changes;
    int unreadable = 0;
    if (!history.Changes(&changes, &unreadable,
                         [&](const std::string& path) { return path == level; })
             .ok() ||
        changes[level].size() != kChangesEach) {
      std::abort();
    }
  }
  CountPeakMemory(state);
}

// What history of one level reads: its lines.
void BM_LinesOfOneLevel(benchmark::State& state) {
  const LongHistory& long_history = TheHistory(state.range(0) != 0);
  const History history(Disk::Default(), long_history.path);
  const std::string level = long_history.Level(kLevels / 2);
  for (auto _ : state) {
    int read = 0;
    int unreadable = 0;
    if (!history.Read([&](const Record&) { ++read; }, &unreadable,
                      [&](const std::string& path) { return path == level; })
             .ok() ||
        read != 2 * kChangesEach) {
      std::abort();
    }
  }
  CountPeakMemory(state);
}

// What restore --last of every level reads: all their chains.
void BM_ChainsOfAllLevels(benchmark::State& state) {
  const History history(Disk::Default(), TheHistory().path);
  std::unordered_set<std::string> levels;
  for (int level = 0; level < kLevels; ++level) levels.insert(TheHistory().Level(level));
  for (auto _ : state) {
    ChangesByLevel changes;
    int unreadable = 0;
    if (!history.Changes(&changes, &unreadable,
                         [&](const std::string& path) { return levels.count(path) != 0; })
             .ok() ||
        changes.size() != kLevels) {
      std::abort();
    }
  }
  CountPeakMemory(state);
}

// A compaction that keeps every line: the most it can cost.
void BM_CompactionKeepingAll(benchmark::State& state) {
  const History history(Disk::Default(), TheHistory().path);
  for (auto _ : state) {
    Compaction kept;
    if (!history.Compact(&kept).ok() || kept.lines_kept != 2 * kLevels * kChangesEach) {
      std::abort();
    }
  }
  CountPeakMemory(state);
}

BENCHMARK(BM_ChainOfOneLevel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LinesOfOneLevel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ChainsOfAllLevels)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CompactionKeepingAll)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace ornivale

BENCHMARK_MAIN();
