// On Windows, what sync_order_test.cpp watches on Linux: the history's line
// is flushed to the disk before the level is written, and the level's write
// is flushed. The built ornivale-cli.exe runs with Wine's relay log on,
// which goes to the file ORNIVALE_RELAY_LOG names (the test program's
// standard error, which the programs it starts share): a line for each
// call of the functions that the prefix's RelayInclude names
// (scripts/wine-prefix).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <regex>

#include "tests/cli/program_run.h"

namespace ornivale::cli_test {
namespace {

using LineList = std::vector<std::string>;

// "write PATH" and "flush PATH" for each WriteFile and FlushFileBuffers,
// PATH the name CreateFileW opened the handle by, from relay lines such as
//   0024:Call KERNEL32.CreateFileW(00df6568 L"C:\\t\\a.trc",c0000000,…) ret=00403e19
//   0024:Ret  KERNEL32.CreateFileW() retval=00000040 ret=00403e19
//   0024:Call KERNEL32.FlushFileBuffers(00000040) ret=00409388
// (numbers in hexadecimal, of more digits on 64-bit Windows), where the
// programs' threads may take turns.
LineList CallsIn(const std::string& log) {
  static const std::regex call(
      R"re(^(\w+):Call [\w.]+\.(CreateFileW|WriteFile|FlushFileBuffers)\((\w+)(?: L"(.*?)",)?)re");
  static const std::regex opened(R"(^(\w+):Ret  [\w.]+\.CreateFileW\(\) retval=(\w+))");
  // A handle's low 32 bits are the whole of it, on 64-bit Windows too.
  const auto handle = [](const std::ssub_match& hex) {
    return std::strtoull(hex.str().c_str(), nullptr, 16) & 0xFFFFFFFFu;
  };
  std::map<std::string, std::string> opening;  // by thread
  std::map<unsigned long long, std::string> files;  // by handle
  LineList calls;
  for (const std::string& line : Lines(log)) {
    std::smatch m;
    if (std::regex_search(line, m, opened)) {
      files[handle(m[2])] = opening[m[1]];
    } else if (!std::regex_search(line, m, call)) {
      continue;
    } else if (m[2] == "CreateFileW") {
      opening[m[1]] = std::regex_replace(m[4].str(), std::regex(R"(\\\\)"), "\\");
    } else {
      calls.push_back((m[2] == "WriteFile" ? "write " : "flush ") + files[handle(m[3])]);
    }
  }
  return calls;
}

std::ptrdiff_t At(const LineList& calls, const std::string& call) {
  const auto found = std::find(calls.begin(), calls.end(), call);
  EXPECT_NE(found, calls.end()) << call << " was never made";
  return found - calls.begin();
}

TEST(FlushOrder, TheHistoryIsOnTheDiskBeforeTheLevelIsWritten) {
  testing::TempDir dir("ornivale-flush");
  const std::string level = dir.Write("a.trc", testing::MakeLevel(3, 1));
  const std::string history = dir.File("history.jsonl");
  const ScopedVariable named("ORNIVALE_HISTORY", history);
  const testing::RelayLog log;
  const CliRun run = RunProgram(ORNIVALE_CLI_PROGRAM, {"set", "--lara", "young", level}, dir);
  ASSERT_EQ(run.status, 0) << run.err;
  const LineList calls = CallsIn(log.Since());
  const auto flushed = At(calls, "flush " + history);
  const auto written = At(calls, "write " + level);
  EXPECT_LT(At(calls, "write " + history), flushed);
  EXPECT_LT(flushed, written);
  EXPECT_LT(written, At(calls, "flush " + level));
}

}  // namespace
}  // namespace ornivale::cli_test
