// ornivale-cli in a build script: sets that find nothing to change, check,
// and stored values without list entries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/cli.h"
#include "cli/flag_report.h"
#include "tests/cli/cli_run.h"
#include "tests/test_support.h"

namespace ornivale::cli_test {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::MemoryDisk;
using testing::ReadAll;
using testing::TempDir;
using LineList = std::vector<std::string>;
namespace fs = std::filesystem;

// A last-write time well in the past, so that any write would move it.
fs::file_time_type BackdateLevel(const std::string& path) {
  const fs::file_time_type past = fs::file_time_type::clock::now() - std::chrono::hours(48);
  fs::last_write_time(testing::FsPath(path), past);
  return fs::last_write_time(testing::FsPath(path));
}

// The level is read under the edit's hold, found to hold the values, and
// closed unwritten: its stamp stays for the build tools that look.
TEST(NoOpSet, ALevelHoldingTheValuesIsNotWrittenAndKeepsItsStamp) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  const FileStamp before = [&] {
    std::unique_ptr<LevelFile> file;
    EXPECT_TRUE(disk.Open("a.trc", OpenMode::ReadOnly, &file).ok());
    return file->Stamp();
  }();
  CliRun run = RunInProcess({"set", "--lara", "catsuit", "--weather", "1", "a.trc"},
                            disk);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "a.trc: Lara type Catsuit (3), weather Rain (1), unchanged\n");
  run = RunInProcess({"set", "--json", "--weather", "rain", "a.trc"}, disk);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("\"changed\":false}"), std::string::npos) << run.out;
  EXPECT_EQ(disk.stats.opens_held, 2);
  EXPECT_EQ(disk.stats.opens_for_writing, 0);
  EXPECT_EQ(disk.stats.reads, 2 * 4);
  EXPECT_TRUE(disk.stats.writes.empty());
  EXPECT_EQ(disk.stats.syncs, 0);
  std::unique_ptr<LevelFile> file;
  ASSERT_TRUE(disk.Open("a.trc", OpenMode::ReadOnly, &file).ok());
  EXPECT_EQ(file->Stamp(), before);
}

TEST(NoOpSet, KeepsTheLastWriteTimeOfARealLevel) {
  TempDir dir;
  const std::string level = dir.Write("a.trc", MakeLevel(4, 2));
  const auto written = BackdateLevel(level);
  const CliRun run = RunInProcess({"set", "--lara", "divesuit", "--weather", "snow", level});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(fs::last_write_time(testing::FsPath(level)), written);
  // One value to change: the level is written and its time moves on.
  ASSERT_EQ(RunInProcess({"set", "--lara", "young", "--weather", "snow", level}).status, 0);
  EXPECT_NE(fs::last_write_time(testing::FsPath(level)), written);
  EXPECT_EQ(ReadAll(level), MakeLevel(1, 2));
}

// A level checked into a read-only tree: a set that finds nothing to change
// succeeds, one that would change it says why it can't.
TEST(NoOpSet, ALevelYouMayNotWriteMayStillHoldTheValues) {
  TempDir dir;
  const std::string level = dir.Write("a.trc", MakeLevel(4, 2));
  fs::permissions(testing::FsPath(level), fs::perms::owner_read);
  const bool writable = std::ofstream(testing::FsPath(level), std::ios::app).is_open();
  const CliRun held = RunInProcess({"set", "--lara", "divesuit", level});
  const CliRun other = RunInProcess({"set", "--json", "--lara", "young", level});
  fs::permissions(testing::FsPath(level), fs::perms::owner_all);
  if (writable) GTEST_SKIP() << "this user writes every file (root)";
  EXPECT_EQ(held.status, 0) << held.err;
  EXPECT_EQ(held.out, level + ": Lara type Divesuit (4), weather Snow (2), unchanged\n");
  EXPECT_EQ(other.status, 1);
  EXPECT_EQ(Codes(other.out), std::vector<std::string>{"cannot-open"});
  EXPECT_EQ(ReadAll(level), MakeLevel(4, 2));
}

TEST(DescribeSet, AnArrowForEachValueChanged) {
  LevelScan before;
  LevelScan after;
  before.flags[kLara].Value = 3;
  before.flags[kWeather].Value = 1;
  after.flags[kLara].Value = 4;
  after.flags[kWeather].Value = 1;
  EXPECT_EQ(cli::DescribeSet(before, after),
            "Lara type Catsuit (3) -> Divesuit (4), weather Rain (1)");
  EXPECT_EQ(cli::DescribeSet(after, after),
            "Lara type Divesuit (4), weather Rain (1), unchanged");
}

TEST(Check, SucceedsOnlyWhenEveryLevelHoldsTheValuesAndNeverWrites) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.Put("b.trc", MakeLevel(1, 1));
  disk.Put("c.trc", MakeLevel(3, 2));
  CliRun run = RunInProcess({"check", "--lara", "catsuit", "a.trc", "c.trc"}, disk);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "2 levels: 2 matching\n");
  EXPECT_EQ(Lines(run.out), (LineList{"a.trc: Lara type Catsuit (3), weather Rain (1)",
                                      "c.trc: Lara type Catsuit (3), weather Snow (2)"}));

  run = RunInProcess({"check", "--lara", "3", "--weather", "rain", "a.trc", "b.trc", "c.trc",
                      "gone.trc"},
                     disk);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Lines(run.out), LineList{"a.trc: Lara type Catsuit (3), weather Rain (1)"});
  const LineList errors = Lines(run.err);
  ASSERT_EQ(errors.size(), 4u);
  EXPECT_EQ(errors[0],
            "ornivale-cli: b.trc holds Lara type Young Lara (1), not Catsuit (3), weather Rain (1)");
  EXPECT_EQ(errors[3], "4 levels: 1 matching, 2 different, 1 failed");
  EXPECT_EQ(errors[1],
            "ornivale-cli: c.trc holds Lara type Catsuit (3), weather Snow (2), not Rain (1)");
  EXPECT_EQ(errors[2].rfind("ornivale-cli: can't open gone.trc", 0), 0u);

  run = RunInProcess({"check", "--json", "--weather", "snow", "a.trc", "c.trc"}, disk);
  EXPECT_EQ(run.status, 1);
  const LineList json = Lines(run.out);
  ASSERT_EQ(json.size(), 2u);
  EXPECT_NE(json[0].find("\"matches\":false}"), std::string::npos) << json[0];
  EXPECT_NE(json[1].find("\"matches\":true}"), std::string::npos) << json[1];

  // Named no values, it checks that each is a level it could set.
  disk.Put("karnak.tr4", MakeLevel(3, 1));
  EXPECT_EQ(RunInProcess({"check", "a.trc"}, disk).status, 0);
  run = RunInProcess({"check", "karnak.tr4"}, disk);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.find("left as it is"), std::string::npos) << run.err;
  EXPECT_EQ(disk.stats.opens_held, 0);
  EXPECT_TRUE(disk.stats.writes.empty());
}

TEST(StoredValues, WithoutAListEntryAreWrittenAsGivenWithANote) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  const CliRun run =
      RunInProcess({"set", "--lara", "5", "--weather", "65535", "a.trc"}, disk);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Lines(run.err),
            (LineList{"ornivale-cli: note: the game's Lara type list has no entry for 5; it "
                      "is written as given",
                      "ornivale-cli: note: the game's weather list has no entry for 65535; "
                      "it is written as given"}));
  EXPECT_EQ(run.out,
            "a.trc: Lara type Catsuit (3) -> unknown (5), weather Rain (1) -> unknown (-1)\n");
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(5, 0xFFFF));
}

}  // namespace
}  // namespace ornivale::cli_test
