// How the scan's time and memory grow with the size of a level's texture
// payloads, beside the straightforward byte-by-byte pass over them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "level/format/level_layout.h"
#include "level/level4.h"

namespace ornivale {
namespace {

class QuietWindow : public WindowServices {
 public:
  void AddLog(const std::string&) override {}
  void SetFlagSelection(FlagList, int) override {}
  int GetFlagSelection(FlagList) const override { return -1; }
  std::string GetLevelPath() const override { return {}; }
  void ShowMessage(const std::string& text, const std::string&, MessageIcon) override {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
};

void PutLe(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A level whose three payloads total `total` bytes, written without holding
// it in memory. Kept for the whole run: the 64 MB one takes a while to write.
std::string LevelOfSize(int64_t total) {
  const std::string path = "/tmp/ornivale-bench-" + std::to_string(total) + ".trc";
  if (std::ifstream(path)) return path;
  std::ofstream out(path, std::ios::binary);
  PutLe(out, kLevelVersion, 4);
  for (int i = 0; i < 3; ++i) PutLe(out, 1, 2);
  const std::vector<char> chunk(1 << 16, '\x5A');
  for (int block = 0; block < 3; ++block) {
    const int64_t size = total / 3 + (block == 2 ? total % 3 : 0);
    PutLe(out, static_cast<uint32_t>(size), 4);
    PutLe(out, static_cast<uint32_t>(size), 4);
    for (int64_t left = size; left > 0;) {
      const auto n = static_cast<std::streamsize>(std::min<int64_t>(left, chunk.size()));
      out.write(chunk.data(), n);
      left -= n;
    }
  }
  PutLe(out, 3, 2);
  PutLe(out, 1, 2);
  return path;
}

// Linux keeps a process's peak resident memory; writing 5 to clear_refs
// starts it again, so each benchmark reports its own peak.
void ResetPeakMemory() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

double PeakMemoryKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6));
  }
  return 0;
}

void BM_OpenLevel(benchmark::State& state) {
  const std::string path = LevelOfSize(state.range(0));
  Level4 level;
  QuietWindow window;
  ResetPeakMemory();
  for (auto _ : state) {
    level.OpenLevel(path, window);
    benchmark::DoNotOptimize(level.FlagsPos());
  }
  state.counters["peak_rss_kB"] = PeakMemoryKb();
  state.SetLabel("FlagsPos " + std::to_string(level.FlagsPos()));
}

uint32_t GetLe(std::FILE* in, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) {
    value |= static_cast<uint32_t>(std::fgetc(in)) << (8 * i);
  }
  return value;
}

// The straightforward way over the payloads: one read for every byte,
// through the C library's buffer.
void BM_ByteByBytePass(benchmark::State& state) {
  const std::string path = LevelOfSize(state.range(0));
  ResetPeakMemory();
  int64_t flags_pos = 0;
  for (auto _ : state) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    GetLe(in, 4);
    for (int count = 0; count < 3; ++count) GetLe(in, 2);
    for (int block = 0; block < 3; ++block) {
      GetLe(in, 4);
      const auto packed = static_cast<int32_t>(GetLe(in, 4));
      for (int32_t i = 0; i < packed; ++i) benchmark::DoNotOptimize(std::fgetc(in));
    }
    flags_pos = std::ftell(in) + 1;
    std::fclose(in);
  }
  state.counters["peak_rss_kB"] = PeakMemoryKb();
  state.SetLabel("FlagsPos " + std::to_string(flags_pos));
}

constexpr int64_t kKb = 1024;
constexpr int64_t kMb = 1024 * 1024;

BENCHMARK(BM_OpenLevel)->Arg(kKb)->Arg(kMb)->Arg(64 * kMb);
BENCHMARK(BM_ByteByBytePass)->Arg(kKb)->Arg(kMb)->Arg(64 * kMb)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ornivale

BENCHMARK_MAIN();
