// ornivale-cli's history and restore, and the history that every change of
// every front end goes into first.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli.h"
#include "level/flag_save.h"
#include "level/level4.h"
#include "tests/cli/cli_run.h"
#include "tests/disk_wrapper.h"
#include "tests/test_support.h"

namespace ornivale::cli_test {
namespace {

using testing::MakeLevel;
using testing::MemoryDisk;
using testing::ReadAll;
using testing::TempDir;
using LineList = std::vector<std::string>;

class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_.Put("a.trc", MakeLevel(3, 1));
    disk_.Put("b.trc", MakeLevel(3, 1));
    disk_.Put("c.trc", MakeLevel(3, 1));
  }
  CliRun Run(const std::vector<std::string>& args) { return RunInProcess(args, disk_); }

  MemoryDisk disk_;
};

TEST_F(HistoryTest, ListsEachChangeOldestFirstOfTheLevelsNamedOrOfAll) {
  ASSERT_EQ(Run({"set", "--lara", "divesuit", "a.trc", "b.trc"}).status, 0);
  ASSERT_EQ(Run({"set", "--weather", "snow", "a.trc"}).status, 0);
  ASSERT_EQ(Run({"set", "--weather", "snow", "a.trc"}).status, 0);  // nothing to record
  CliRun run = Run({"history"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Lines(run.out),
            (LineList{"2025-12-09T05:00:00.001Z ornivale-cli set: a.trc: Lara type Catsuit "
                      "(3) -> Divesuit (4), weather Rain (1)",
                      "2025-12-09T05:00:00.001Z ornivale-cli set: b.trc: Lara type Catsuit "
                      "(3) -> Divesuit (4), weather Rain (1)",
                      "2025-12-09T05:00:00.002Z ornivale-cli set: a.trc: Lara type Divesuit "
                      "(4), weather Rain (1) -> Snow (2)"}));
  run = Run({"history", "--json", "a.trc", "c.trc"});
  const LineList json = Lines(run.out);
  ASSERT_EQ(json.size(), 2u);
  // As the history keeps it: the file as the change found it (the memory
  // disk's first, made at its first tick and last written at its ninth) and
  // the format last.
  const std::string kept =
      R"({"path":"a.trc","lara":{"value":4,"text":"Divesuit"},"weather":{"value":2,)"
      R"("text":"Snow"},"before":{"lara":{"value":4,"text":"Divesuit"},"weather":)"
      R"({"value":1,"text":"Rain"}},"changed":true,"time":"2025-12-09T05:00:00.002Z",)"
      R"("program":"ornivale-cli set","offset":34,"bytes":{"before":"04000100",)"
      R"("written":"04000200"},"file":{"volume":"0000000000000001","index":)"
      R"("0000000000000001","fingerprint":")";
  EXPECT_EQ(json[1].substr(0, kept.size()), kept);
  const std::string end = R"(","modified":9,"size":106,"born":1},"v":3})";
  EXPECT_EQ(json[1].substr(json[1].size() - end.size()), end);
}

TEST_F(HistoryTest, RestoreGivesBackTheFirstValuesOrThoseBeforeTheLast) {
  ASSERT_EQ(Run({"set", "--lara", "divesuit", "a.trc", "b.trc"}).status, 0);
  ASSERT_EQ(Run({"set", "--weather", "snow", "a.trc"}).status, 0);
  CliRun run = Run({"restore", "--last", "a.trc"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "a.trc: Lara type Divesuit (4), weather Snow (2) -> Rain (1)\n");
  run = Run({"restore", "--json", "a.trc", "c.trc", "b.trc"});
  EXPECT_EQ(run.status, 0);
  const LineList lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[0].find(R"("changed":true)"), std::string::npos) << lines[0];
  EXPECT_EQ(lines[1], R"({"path":"c.trc","recorded":false})");
  EXPECT_NE(lines[2].find(R"("lara":{"value":3,)"), std::string::npos) << lines[2];
  for (const char* level : {"a.trc", "b.trc", "c.trc"}) {
    EXPECT_EQ(disk_.Get(level), MakeLevel(3, 1)) << level;
  }
  // Each restore was recorded too.
  EXPECT_EQ(Lines(Run({"history", "a.trc"}).out).size(), 4u);
}

TEST_F(HistoryTest, RestoreRefusesALevelChangedSinceAndReportsOneNeverChanged) {
  ASSERT_EQ(Run({"set", "--lara", "divesuit", "a.trc", "b.trc"}).status, 0);
  disk_.Put("b.trc", MakeLevel(6, 1));  // another program's change
  const CliRun run = Run({"restore", "--json", "a.trc", "b.trc", "c.trc"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Codes(run.out), (LineList{"", "changed-since", ""}));
  EXPECT_EQ(disk_.Get("a.trc"), MakeLevel(3, 1));
  EXPECT_EQ(disk_.Get("b.trc"), MakeLevel(6, 1));

  const CliRun never = Run({"restore", "c.trc"});
  EXPECT_EQ(never.status, 0);
  EXPECT_EQ(never.out, "c.trc: nothing recorded, left as it is\n");
}

TEST_F(HistoryTest, ARestoreDryRunWritesAndRecordsNothing) {
  ASSERT_EQ(Run({"set", "--lara", "divesuit", "a.trc"}).status, 0);
  const std::string history = disk_.Text(MemoryDisk::kHistory);
  const CliRun dry = Run({"restore", "--dry-run", "a.trc"});
  EXPECT_EQ(dry.status, 0);
  EXPECT_EQ(dry.out, "a.trc: Lara type Divesuit (4) -> Catsuit (3), weather Rain (1)\n");
  EXPECT_EQ(disk_.Get("a.trc"), MakeLevel(4, 1));
  EXPECT_EQ(disk_.Text(MemoryDisk::kHistory), history);
}

// A change made before another program changed the level is no longer on
// its chain: a compaction leaves it out, and says what it kept.
TEST_F(HistoryTest, CompactKeepsWhatRestoreNeedsAndSaysHowMuch) {
  ASSERT_EQ(Run({"set", "--lara", "divesuit", "a.trc"}).status, 0);
  disk_.Put("a.trc", MakeLevel(6, 1));
  ASSERT_EQ(Run({"set", "--lara", "young", "a.trc"}).status, 0);
  const std::size_t before = disk_.Text(MemoryDisk::kHistory).size();
  CliRun run = Run({"history", "--compact"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::size_t kept = disk_.Text(MemoryDisk::kHistory).size();
  // Each change is followed by how it left the level.
  EXPECT_EQ(run.out, "the history file /state/ornivale/history.jsonl keeps 2 of its 4 lines (" +
                         std::to_string(kept) + " of " + std::to_string(before) +
                         " bytes): what restore and restore --last can still give back\n");
  EXPECT_EQ(Lines(Run({"history"}).out).size(), 1u);
  EXPECT_EQ(Run({"restore", "a.trc"}).status, 0);
  EXPECT_EQ(disk_.Get("a.trc"), MakeLevel(6, 1));

  for (const auto& args : {std::vector<std::string>{"history", "--compact", "a.trc"},
                           std::vector<std::string>{"history", "--compact", "--json"}}) {
    run = Run(args);
    EXPECT_EQ(run.status, cli::kUsageError);
    EXPECT_NE(run.err.find("--compact takes no LEVEL"), std::string::npos) << run.err;
  }
  disk_.fail_append = true;
  run = Run({"history", "--compact"});
  EXPECT_EQ(run.status, cli::kSomeFailed);
  EXPECT_EQ(run.err, "ornivale-cli: can't compact the history file "
                     "/state/ornivale/history.jsonl: No space left on device; it was left "
                     "as it was\n");
}

// A name that stands for no file at all is told, not taken for a level of
// which nothing was recorded; a file of which nothing was recorded is no
// failure.
TEST_F(HistoryTest, HistoryAndRestoreOfAPathThatNamesNoFileSaySo) {
  ASSERT_EQ(Run({"set", "--lara", "divesuit", "a.trc"}).status, 0);
  disk_.Replace("gone.trc", MakeLevel(3, 1));
  ASSERT_EQ(Run({"set", "--lara", "young", "gone.trc"}).status, 0);
  disk_.Remove("gone.trc");
  CliRun run = Run({"history", "a.trc", "none.trc", "gone.trc"});
  EXPECT_EQ(run.status, cli::kSomeFailed);
  EXPECT_EQ(Lines(run.out).size(), 2u) << "what the history kept of a.trc and gone.trc";
  EXPECT_EQ(run.err, "ornivale-cli: can't open none.trc: No such file\n"
                     "ornivale-cli: can't open gone.trc: No such file\n");
  run = Run({"restore", "none.trc", "c.trc"});
  EXPECT_EQ(run.status, cli::kSomeFailed);
  EXPECT_EQ(run.err, "ornivale-cli: can't open none.trc: No such file\n"
                     "2 levels: 1 with nothing recorded, 1 refused\n");
  EXPECT_EQ(run.out, "c.trc: nothing recorded, left as it is\n");
}

TEST_F(HistoryTest, WithTheHistoryOffNothingIsKeptOrGivenBack) {
  disk_.environment["ORNIVALE_HISTORY"] = "off";
  ASSERT_EQ(Run({"set", "--lara", "divesuit", "a.trc"}).status, 0);
  EXPECT_FALSE(disk_.Exists(MemoryDisk::kHistory));
  CliRun run = Run({"history"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  run = Run({"restore", "a.trc"});
  EXPECT_EQ(run.status, cli::kUsageError);
  EXPECT_NE(run.err.find("ORNIVALE_HISTORY=off"), std::string::npos);
}

// ORNIVALE_HISTORY=OFF is off as "off" is; a value that names no file by
// its absolute path is a usage error, before any level or file is touched.
TEST_F(HistoryTest, TheHistorySettingIsOffInAnyCaseOrAnAbsolutePath) {
  disk_.environment["ORNIVALE_HISTORY"] = "OFF";
  EXPECT_EQ(Run({"set", "--lara", "divesuit", "a.trc"}).status, 0);
  EXPECT_EQ(disk_.Get("a.trc"), MakeLevel(4, 1));
  for (const char* value : {"0", "no", "history.jsonl"}) {
    disk_.environment["ORNIVALE_HISTORY"] = value;
    for (const LineList& args : {LineList{"set", "--json", "--lara", "young", "b.trc"},
                                 LineList{"restore", "a.trc"}, LineList{"history"}}) {
      const CliRun run = Run(args);
      EXPECT_EQ(run.status, cli::kUsageError) << value << " " << args[0];
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(run.err, std::string("ornivale-cli: ORNIVALE_HISTORY is \"") + value +
                             "\": it must be off or the history file's absolute path\n");
    }
    EXPECT_FALSE(disk_.Exists(value));
  }
  EXPECT_EQ(disk_.Get("a.trc"), MakeLevel(4, 1));
  EXPECT_EQ(disk_.Get("b.trc"), MakeLevel(3, 1));
  EXPECT_EQ(disk_.stats.appends, 0);
  EXPECT_EQ(Run({"show", "a.trc"}).status, 0) << "show keeps no history";
}

// The window's Save goes into the history that set writes, and restore
// gives back what the window changed.
TEST_F(HistoryTest, TheWindowsSavesAndTheCommandsShareOneHistory) {
  Level4 level(disk_);
  testing::RecordingWindow window;
  window.path = "a.trc";
  level.OpenLevel("a.trc", window);
  window.c2 = 4;  // Invisible
  SaveFlags(level, window);
  ASSERT_EQ(disk_.Get("a.trc"), MakeLevel(6, 1));
  ASSERT_EQ(Run({"set", "--weather", "snow", "a.trc"}).status, 0);
  const LineList history = Lines(Run({"history", "a.trc"}).out);
  ASSERT_EQ(history.size(), 2u);
  EXPECT_NE(history[0].find(" ornivale: a.trc: Lara type Catsuit (3) -> Invisible (6)"),
            std::string::npos)
      << history[0];
  EXPECT_EQ(Run({"restore", "a.trc"}).status, 0);
  EXPECT_EQ(disk_.Get("a.trc"), MakeLevel(3, 1));
}

// A history that can't be written: the level is left as it is, and the
// message names the history's file and how to turn it off.
TEST(HistoryOnDisk, AHistoryThatCantBeWrittenStopsTheChange) {
  TempDir dir;
  const std::string level = dir.Write("a.trc", MakeLevel(3, 1));
  const std::string blocker = dir.Write("not a folder", {});
  testing::DiskWrapper disk;
  disk.environment["ORNIVALE_HISTORY"] = blocker + "/history.jsonl";
  const CliRun run = RunInProcess({"set", "--json", "--lara", "young", level}, disk);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Codes(run.out), LineList{"history-not-written"});
  EXPECT_NE(run.err.find(blocker + "/history.jsonl"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("ORNIVALE_HISTORY=off"), std::string::npos) << run.err;
  EXPECT_EQ(ReadAll(level), MakeLevel(3, 1));
}

// The history on a real disk: its folder made on first use, one line a
// change, and a folder named to history stands for the levels in it.
TEST(HistoryOnDisk, MadeOnFirstUseAndListedByFolder) {
  TempDir dir;
  const std::string levels = dir.File("levels");
  std::filesystem::create_directory(testing::FsPath(levels));
  const std::string a = dir.Write("levels/a.trc", MakeLevel(3, 1));
  const std::string other = dir.Write("other.trc", MakeLevel(3, 1));
  testing::DiskWrapper disk;
  const std::string history = dir.File("state/ornivale/history.jsonl");
  disk.environment["ORNIVALE_HISTORY"] = history;
  ASSERT_EQ(RunInProcess({"set", "--lara", "young", levels, other}, disk).status, 0);
  EXPECT_TRUE(testing::Exists(history));
  const CliRun listed = RunInProcess({"history", levels}, disk);
  EXPECT_EQ(listed.status, 0);
  const LineList lines = Lines(listed.out);
  ASSERT_EQ(lines.size(), 1u) << listed.out;
  EXPECT_NE(lines[0].find(disk.FullPath(a) + ": Lara type Catsuit (3) -> Young Lara (1)"),
            std::string::npos)
      << lines[0];
  ASSERT_EQ(RunInProcess({"restore", levels}, disk).status, 0);
  EXPECT_EQ(ReadAll(a), MakeLevel(3, 1));
  EXPECT_EQ(ReadAll(other), MakeLevel(1, 1));
}

// A folder where the history should be: a failure, with a reason.
TEST(HistoryOnDisk, AFolderAsTheHistoryIsNotReadAndSaysWhy) {
  TempDir dir;
  testing::DiskWrapper disk;
  disk.environment["ORNIVALE_HISTORY"] = dir.Path();
  const CliRun run = RunInProcess({"history"}, disk);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "ornivale-cli: can't read the history file " + dir.Path() +
                         ": it is a folder, a pipe or a device, not a regular file\n");
}

// A history whose last line lost its end, as a crash or a hand's edit may
// leave it: the next change is still a line of its own, and both come back.
TEST(HistoryOnDisk, AChangeAfterALineWithoutItsEndIsKept) {
  TempDir dir;
  const std::string a = dir.Write("a.trc", MakeLevel(3, 1));
  const std::string b = dir.Write("b.trc", MakeLevel(3, 1));
  const std::string history = dir.File("history.jsonl");
  testing::DiskWrapper disk;
  disk.environment["ORNIVALE_HISTORY"] = history;
  ASSERT_EQ(RunInProcess({"set", "--lara", "young", a}, disk).status, 0);
  const auto size = std::filesystem::file_size(testing::FsPath(history));
  std::filesystem::resize_file(testing::FsPath(history), size - 1);
  ASSERT_EQ(RunInProcess({"set", "--lara", "divesuit", b}, disk).status, 0);
  const CliRun run = RunInProcess({"restore", a, b}, disk);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "2 levels: 2 changed\n");
  EXPECT_EQ(Lines(run.out),
            (LineList{a + ": Lara type Young Lara (1) -> Catsuit (3), weather Rain (1)",
                      b + ": Lara type Divesuit (4) -> Catsuit (3), weather Rain (1)"}));
  EXPECT_EQ(ReadAll(a), MakeLevel(3, 1));
  EXPECT_EQ(ReadAll(b), MakeLevel(3, 1));
}

}  // namespace
}  // namespace ornivale::cli_test
