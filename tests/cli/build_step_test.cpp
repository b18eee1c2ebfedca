// ornivale-cli in a build script: sets that find nothing to change, check,
// stored values without list entries, and set --from giving levels back
// what a show or set recorded.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/cli.h"
#include "level/failure_words.h"
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

// Runs the command line with `input` as its standard input.
CliRun RunWithInput(const std::vector<std::string>& args, const std::string& input,
                    Disk& disk = Disk::Default()) {
  std::istringstream in(input);
  std::streambuf* previous = std::cin.rdbuf(in.rdbuf());
  CliRun run = RunInProcess(args, disk);
  std::cin.rdbuf(previous);
  return run;
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
  EXPECT_EQ(disk.stats.opens_read_write, 2);
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

TEST(SetJson, NamesWhatTheLevelHeldAndWhetherItChanged) {
  LevelScan before;
  LevelScan after;
  before.flags[kLara].Value = 3;
  before.flags[kWeather].Value = 1;
  after.flags[kLara].Value = 4;
  after.flags[kWeather].Value = 1;
  EXPECT_EQ(cli::SetJson("c.trc", before, after),
            R"({"path":"c.trc","lara":{"value":4,"text":"Divesuit"},)"
            R"("weather":{"value":1,"text":"Rain"},"before":{"lara":{"value":3,)"
            R"("text":"Catsuit"},"weather":{"value":1,"text":"Rain"}},"changed":true})");
  EXPECT_EQ(cli::DescribeSet(before, after),
            "Lara type Catsuit (3) -> Divesuit (4), weather Rain (1)");
}

TEST(Check, SucceedsOnlyWhenEveryLevelHoldsTheValuesAndNeverWrites) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.Put("b.trc", MakeLevel(1, 1));
  disk.Put("c.trc", MakeLevel(3, 2));
  CliRun run = RunInProcess({"check", "--lara", "catsuit", "a.trc", "c.trc"}, disk);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Lines(run.out), (LineList{"a.trc: Lara type Catsuit (3), weather Rain (1)",
                                      "c.trc: Lara type Catsuit (3), weather Snow (2)"}));

  run = RunInProcess({"check", "--lara", "3", "--weather", "rain", "a.trc", "b.trc", "c.trc",
                      "gone.trc"},
                     disk);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Lines(run.out), LineList{"a.trc: Lara type Catsuit (3), weather Rain (1)"});
  const LineList errors = Lines(run.err);
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[0],
            "ornivale-cli: b.trc holds Lara type Young Lara (1), not Catsuit (3), weather Rain (1)");
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
  EXPECT_EQ(disk.stats.opens_read_write, 0);
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

// What show --json printed, and what set --json printed, give every level
// back its bytes, values without list entries included.
TEST(SetFrom, ShowAndSetRecordsGiveEveryLevelItsBytesBack) {
  TempDir dir;
  const std::vector<Bytes> originals = {MakeLevel(3, 1, 7), MakeLevel(5, 2),
                                        MakeLevel(0xFFFF, 9, 0, 3), MakeLevel(2, 0)};
  const std::vector<Bytes> changed = {MakeLevel(4, 2, 7), MakeLevel(4, 2),
                                      MakeLevel(4, 2, 0, 3), MakeLevel(4, 2)};
  std::vector<std::string> levels;
  for (std::size_t i = 0; i < originals.size(); ++i) {
    levels.push_back(dir.Write("level " + std::to_string(i) + ".trc", originals[i]));
  }
  std::vector<std::string> args = {"show", "--json"};
  args.insert(args.end(), levels.begin(), levels.end());
  const CliRun shown = RunInProcess(args);
  ASSERT_EQ(shown.status, 0);

  args = {"set", "--json", "--lara", "divesuit", "--weather", "snow"};
  args.insert(args.end(), levels.begin(), levels.end());
  const CliRun set = RunInProcess(args);
  ASSERT_EQ(set.status, 0);
  for (std::size_t i = 0; i < levels.size(); ++i) {
    EXPECT_EQ(ReadAll(levels[i]), changed[i]) << levels[i];
  }

  // The set's own output undoes it, from a file.
  const std::string records = dir.Write("undo.json", Bytes(set.out.begin(), set.out.end()));
  const CliRun undone = RunInProcess({"set", "--json", "--from", records});
  EXPECT_EQ(undone.status, 0) << undone.err;
  EXPECT_EQ(undone.err, "");
  for (std::size_t i = 0; i < levels.size(); ++i) {
    EXPECT_EQ(ReadAll(levels[i]), originals[i]) << levels[i];
  }
  EXPECT_EQ(Lines(undone.out).size(), levels.size());
  EXPECT_NE(undone.out.find("\"before\":{\"lara\":{\"value\":4"), std::string::npos);

  // The show's output, from standard input, finds nothing left to change.
  ASSERT_EQ(RunInProcess(args).status, 0);
  ASSERT_EQ(RunWithInput({"set", "--from", "-"}, shown.out).status, 0);
  for (std::size_t i = 0; i < levels.size(); ++i) {
    EXPECT_EQ(ReadAll(levels[i]), originals[i]) << levels[i];
  }
  const CliRun again = RunWithInput({"set", "--from", "-"}, shown.out);
  EXPECT_EQ(again.status, 0);
  for (const std::string& line : Lines(again.out)) {
    EXPECT_NE(line.find(", unchanged"), std::string::npos) << line;
  }
}

TEST(SetFrom, MissingLevelsAndFailureRecordsAreReportedAndTheRestGoOn) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(0, 0));
  disk.Put("b.trc", MakeLevel(0, 0));
  const std::string input =
      R"({"path":"a.trc","lara":{"value":3,"text":"Catsuit"},"weather":{"value":1,"text":"Rain"}})"
      "\r\n\n"
      R"({"path":"cut.trc","error":{"code":"cut-short","message":"cut"}})"
      "\n"
      R"({"path":"gone.trc","lara":{"value":1,"text":null},"weather":{"value":2,"text":null}})"
      "\n"
      R"({"path":"b.trc","lara":{"value":6},"weather":{"value":-2}})"
      "\n";
  const CliRun run = RunWithInput({"set", "--from", "-"}, input, disk);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
  EXPECT_EQ(disk.Get("b.trc"), MakeLevel(6, 0xFFFE));
  const LineList errors = Lines(run.err);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0],
            "ornivale-cli: note: standard input records a failure of cut.trc, so it holds no "
            "values for it; passed over");
  EXPECT_EQ(errors[1].rfind("ornivale-cli: can't open gone.trc", 0), 0u);
}

// A line that is no record, anywhere in the input, stops the whole run
// before any level is touched: half an undo is worse than none.
TEST(SetFrom, ALineThatIsNoRecordSetsNothing) {
  const std::string good = R"({"path":"a.trc","lara":{"value":3},"weather":{"value":1}})";
  const std::vector<std::string> bad_lines = {
      "not json",
      R"({"path":"a.trc","lara":{"value":3}})",
      R"({"path":"a.trc","lara":{"value":3.5},"weather":{"value":1}})",
      R"({"path":"a.trc","lara":{"value":65536},"weather":{"value":1}})",
      R"({"path":"a.trc","lara":{"value":-32769},"weather":{"value":1}})",
      R"({"path":7,"lara":{"value":3},"weather":{"value":1}})",
      R"({"path":"a.trc","lara":{"value":3},"weather":{"value":1}} extra)",
      R"(["a.trc",3,1])",
      // A record nested deeper than any record is, in a member of its own.
      R"({"path":"a.trc","lara":{"value":3},"weather":{"value":1},"x":)" +
          std::string(200, '[') + std::string(200, ']') + "}",
  };
  for (const std::string& bad : bad_lines) {
    SCOPED_TRACE(bad);
    MemoryDisk disk;
    disk.Put("a.trc", MakeLevel(0, 0));
    const CliRun run = RunWithInput({"set", "--from", "-"}, good + "\n" + bad + "\n", disk);
    EXPECT_EQ(run.status, cli::kUsageError);
    EXPECT_EQ(Lines(run.err),
              LineList{"ornivale-cli: line 2 of standard input isn't a line that show, "
                       "check or set printed with --json; no level was set"});
    EXPECT_EQ(disk.stats.opens_read_only + disk.stats.opens_read_write, 0);
  }
  const CliRun missing = RunInProcess({"set", "--from", "no such records.json"});
  EXPECT_EQ(missing.status, cli::kUsageError);
  EXPECT_EQ(missing.err, "ornivale-cli: can't open no such records.json\n");
}

// Lines of later versions, or of other tools, may carry more: a member the
// reader does not know is passed over, nested as a record ever is.
TEST(SetFrom, MembersItDoesNotKnowArePassedOver) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(0, 0));
  const std::string record =
      R"({"path":"a.trc","note":"kept","lara":{"value":3,"extra":null},)"
      R"("weather":{"value":1},"x":[[[[[[{"y":[1,2.5e3,true]}]]]]]]})";
  const CliRun run = RunWithInput({"set", "--from", "-"}, record, disk);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
}

// Paths with escapes, and characters beyond the first plane as surrogate
// pairs, come back as the UTF-8 they were.
TEST(SetFrom, JsonStringsOfAnyPathReadBack) {
  MemoryDisk disk;
  const std::string path = "a\"b\\c\n\xF0\x9F\x98\x80.trc";
  disk.Put(path, MakeLevel(0, 0));
  const std::string record =
      R"({"path":"a\"b\\c\u000a\ud83d\ude00.trc","lara":{"value":1},"weather":{"value":2}})";
  EXPECT_EQ(RunWithInput({"set", "--from", "-"}, record, disk).status, 0);
  EXPECT_EQ(disk.Get(path), MakeLevel(1, 2));
  for (const char* lone : {R"(\ud83d.trc)", R"(\ude00.trc)", R"(\u12.trc)"}) {
    const std::string bad = std::string(R"({"path":")") + lone +
                            R"(","lara":{"value":1},"weather":{"value":2}})";
    EXPECT_EQ(RunWithInput({"set", "--from", "-"}, bad, disk).status,
              cli::kUsageError)
        << lone;
  }
}

}  // namespace
}  // namespace ornivale::cli_test
