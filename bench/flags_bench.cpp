// ornivale-cli's work on many small levels through the core, beside the
// least a program can do with plain POSIX calls: open, read the header
// fields at their offsets, write and fsync for set, close. The core's set
// runs with its history off and on. Run with
// --benchmark_repetitions=20 --benchmark_enable_random_interleaving=true:
// the machine's own noise is larger than the differences, and the "min"
// of interleaved runs compares them best. Last, the window's look for a
// level's recorded changes in a long history.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "level/edit/level_access.h"
#include "level/history/history.h"
#include "level/ports/disk.h"

namespace ornivale {
namespace {

constexpr int kLevels = 5000;

void PutLe(std::vector<char>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

// kLevels levels of a few hundred bytes in a folder of their own, written
// once for the whole run and removed at its end.
class SmallLevelFolder {
 public:
  SmallLevelFolder()
      : dir_(std::filesystem::temp_directory_path() /
             ("ornivale-bench-levels-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(dir_);
    std::vector<char> level;
    PutLe(level, 3428948, 4);
    for (int i = 0; i < 3; ++i) PutLe(level, 1, 2);
    for (uint32_t payload : {64u, 32u, 16u}) {
      PutLe(level, payload, 4);
      PutLe(level, payload, 4);
      level.insert(level.end(), payload, '\x5A');
    }
    PutLe(level, 3, 2);
    PutLe(level, 1, 2);
    level.insert(level.end(), 28, '\0');
    for (int i = 0; i < kLevels; ++i) {
      paths.push_back((dir_ / ("level" + std::to_string(i) + ".trc")).string());
      std::ofstream(paths.back(), std::ios::binary)
          .write(level.data(), static_cast<std::streamsize>(level.size()));
    }
  }
  ~SmallLevelFolder() { std::filesystem::remove_all(dir_); }

  std::vector<std::string> paths;

 private:
  std::filesystem::path dir_;
};

const std::vector<std::string>& SmallLevels() {
  static const SmallLevelFolder folder;
  return folder.paths;
}

uint32_t Le(const uint8_t* bytes, int count) {
  uint32_t value = 0;
  for (int i = 0; i < count; ++i) value |= static_cast<uint32_t>(bytes[i]) << (8 * i);
  return value;
}

// The flag pair's offset by plain preads: version, counts and the first
// block header in one, then each later block header.
int64_t PlainFlagsOffset(int fd) {
  uint8_t head[18];
  if (pread(fd, head, sizeof head, 0) != sizeof head) std::abort();
  int64_t offset = 18 + Le(head + 14, 4);
  for (int block = 1; block < 3; ++block) {
    uint8_t header[8];
    if (pread(fd, header, sizeof header, offset) != sizeof header) std::abort();
    offset += 8 + Le(header + 4, 4);
  }
  return offset;
}

void BM_ShowPlainPosix(benchmark::State& state) {
  const auto& levels = SmallLevels();
  for (auto _ : state) {
    for (const std::string& path : levels) {
      const int fd = open(path.c_str(), O_RDONLY);
      uint8_t flags[4];
      if (pread(fd, flags, sizeof flags, PlainFlagsOffset(fd)) != 4) std::abort();
      benchmark::DoNotOptimize(flags);
      close(fd);
    }
  }
  state.SetItemsProcessed(state.iterations() * kLevels);
}

// The same, with the one more call every safe reader makes: a look at what
// the file is (a regular file, not a pipe or a device), which also gives the
// stamp the window's save compares.
void BM_ShowPlainPosixCheckingTheFile(benchmark::State& state) {
  const auto& levels = SmallLevels();
  for (auto _ : state) {
    for (const std::string& path : levels) {
      const int fd = open(path.c_str(), O_RDONLY);
      struct stat info;
      if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) std::abort();
      uint8_t flags[4];
      if (pread(fd, flags, sizeof flags, PlainFlagsOffset(fd)) != 4) std::abort();
      benchmark::DoNotOptimize(flags);
      close(fd);
    }
  }
  state.SetItemsProcessed(state.iterations() * kLevels);
}

void BM_ShowValueApi(benchmark::State& state) {
  const auto& levels = SmallLevels();
  for (auto _ : state) {
    for (const std::string& path : levels) {
      const LevelState level = InspectLevel(path, NameRule::TrcNamesOnly, Disk::Default());
      if (!level.ok()) std::abort();
      benchmark::DoNotOptimize(level.scan.Value(kLara));
    }
  }
  state.SetItemsProcessed(state.iterations() * kLevels);
}

// Each round, whichever benchmark runs it, sets a value no round before it
// set, so that every level is written.
uint16_t NextLara() {
  static uint16_t round = 0;
  return static_cast<uint16_t>(1000 + ++round);
}

void BM_SetPlainPosix(benchmark::State& state) {
  const auto& levels = SmallLevels();
  for (auto _ : state) {
    const uint8_t lara[2] = {static_cast<uint8_t>(NextLara()), 0};
    for (const std::string& path : levels) {
      const int fd = open(path.c_str(), O_RDWR);
      if (pwrite(fd, lara, sizeof lara, PlainFlagsOffset(fd)) != 2) std::abort();
      if (fsync(fd) != 0) std::abort();
      close(fd);
    }
  }
  state.SetItemsProcessed(state.iterations() * kLevels);
}

// As `ornivale-cli set --lara divesuit` does it: the core's edits of all the
// levels, each read, written, read again and looked at, with the history
// kept in `history` ("off" for none).
void SetThroughTheCore(benchmark::State& state, const std::string& history) {
  const auto& levels = SmallLevels();
  setenv("ORNIVALE_HISTORY", history.c_str(), 1);
  for (auto _ : state) {
    const FlagChange change{NextLara(), std::nullopt};
    std::vector<LevelEdit> edits;
    for (const std::string& path : levels) edits.emplace_back(path, change);
    EditLevels(edits, {"flags_bench", History::Locate(Disk::Default())}, Disk::Default(), [](const EditResult& edit) {
      if (!edit.ok() || !edit.ValuesChanged()) std::abort();
    });
  }
  state.SetItemsProcessed(state.iterations() * kLevels);
}

void BM_SetValueApi(benchmark::State& state) { SetThroughTheCore(state, "off"); }

void BM_SetValueApiWithHistory(benchmark::State& state) {
  SetThroughTheCore(state, (std::filesystem::path(SmallLevels()[0]).parent_path() /
                            "history.jsonl").string());
}

// A history of 20 changes of each of the levels (100,000 lines), made by
// the core's set once and copied.
const History& LongHistory() {
  static const History history = [] {
    const auto& levels = SmallLevels();
    const std::string path = (std::filesystem::path(levels[0]).parent_path() /
                              "long-history.jsonl").string();
    setenv("ORNIVALE_HISTORY", path.c_str(), 1);
    std::vector<LevelEdit> edits;
    const FlagChange change{NextLara(), std::nullopt};
    for (const std::string& level : levels) edits.emplace_back(level, change);
    EditLevels(edits, {"flags_bench", History::Locate(Disk::Default())}, Disk::Default(), [](const EditResult&) {});
    std::ifstream in(path, std::ios::binary);
    const std::string once((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream out(path, std::ios::binary | std::ios::app);
    for (int copy = 1; copy < 20; ++copy) out << once;
    return History(Disk::Default(), path);
  }();
  return history;
}

// The changes recorded of one level: every line read (range(0) == 0), or
// only those about it, as the window and restore read them.
void BM_RecordedChangesOfOneLevel(benchmark::State& state) {
  const History& history = LongHistory();
  const std::string level = SmallLevels()[kLevels / 2];
  const HistoryScope one = [&](const std::string& path) { return path == level; };
  for (auto _ : state) {
    ChangesByLevel changes;
    int unreadable = 0;
    if (!history.Changes(&changes, &unreadable, state.range(0) ? one : HistoryScope()).ok() ||
        changes[level].size() != 20) {
      std::abort();
    }
  }
}

double Fastest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

BENCHMARK(BM_ShowPlainPosix)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_ShowPlainPosixCheckingTheFile)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);
BENCHMARK(BM_ShowValueApi)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
// Each set waits for the disk: a few rounds are enough.
BENCHMARK(BM_SetPlainPosix)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->ComputeStatistics("min", Fastest);
BENCHMARK(BM_SetValueApi)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->ComputeStatistics("min", Fastest);
BENCHMARK(BM_SetValueApiWithHistory)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->ComputeStatistics("min", Fastest);
BENCHMARK(BM_RecordedChangesOfOneLevel)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);

}  // namespace
}  // namespace ornivale

BENCHMARK_MAIN();
