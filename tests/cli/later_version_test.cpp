// The history's lines that a later version of Ornivale wrote, with another
// line format or another kind of level: this one can't judge them, so a
// compaction keeps them as they are, and history and restore pass over them,
// counted apart from the lines that are broken.
#include <gtest/gtest.h>

#include "tests/cli/cli_run.h"
#include "tests/test_support.h"

namespace ornivale::cli_test {
namespace {

using testing::MakeLevel;
using testing::MemoryDisk;
using LineList = std::vector<std::string>;

// A change of a.trc whose values take six bytes (a third flag), in line
// format `v`.
std::string SixBytesLine(const char* v) {
  return std::string(
             R"({"path":"a.trc","lara":{"value":4,"text":"Divesuit"},"weather":{"value":1,)"
             R"("text":"Rain"},"before":{"lara":{"value":3,"text":"Catsuit"},"weather":)"
             R"({"value":1,"text":"Rain"}},"changed":true,"time":"2030-01-01T00:00:00.000Z",)"
             R"("program":"ornivale 9","offset":34,"bytes":{"before":"030001000200",)"
             R"("written":"040001000200"},"v":)") +
         v + "}";
}

TEST(LaterVersion, ItsLinesAreKeptByACompactionAndPassedOverApartFromBrokenOnes) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  ASSERT_EQ(RunInProcess({"set", "--lara", "divesuit", "a.trc"}, disk).status, 0);
  struct Line {
    std::string line;
    bool newer;
  };
  const std::vector<Line> lines{
      {SixBytesLine("9"), true},
      // A kind of level this version does not know.
      {R"({"path":"b.trc","format":"trx5","lara":{"value":1,"text":"Young Lara"},)"
       R"("before":{"lara":{"value":0,"text":"Normal Lara"}},"changed":true,)"
       R"("time":"2030-01-01T00:00:00.000Z","program":"ornivale 9","offset":30,)"
       R"("bytes":{"before":"0000","written":"0100"},"v":4})",
       true},
      // This version's format, with a value too many: broken.
      {SixBytesLine("3"), false},
      {R"({"path":"a.trc","v":"9"})", false},
  };
  std::string history = disk.Text(MemoryDisk::kHistory);
  for (const auto& line : lines) history += line.line + "\n";
  disk.Put(MemoryDisk::kHistory, testing::Bytes(history.begin(), history.end()));

  const CliRun listed = RunInProcess({"history"}, disk);
  EXPECT_EQ(Lines(listed.out).size(), 1u);
  EXPECT_EQ(listed.err,
            "ornivale-cli: note: 2 lines of the history file /state/ornivale/history.jsonl "
            "can't be read and were passed over\n"
            "ornivale-cli: note: 2 lines of the history file /state/ornivale/history.jsonl "
            "were written by a later version of Ornivale and were passed over\n");

  const CliRun compacted = RunInProcess({"history", "--compact"}, disk);
  EXPECT_EQ(compacted.status, 0) << compacted.err;
  EXPECT_NE(compacted.out.find("keeps 4 of its 6 lines"), std::string::npos) << compacted.out;
  EXPECT_NE(compacted.out.find(", and 2 lines of a later version of Ornivale\n"),
            std::string::npos)
      << compacted.out;
  const std::string kept = disk.Text(MemoryDisk::kHistory);
  for (const auto& line : lines) {
    EXPECT_EQ(kept.find(line.line + "\n") != std::string::npos, line.newer) << line.line;
  }

  EXPECT_EQ(RunInProcess({"restore", "a.trc"}, disk).status, 0);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
}

}  // namespace
}  // namespace ornivale::cli_test
