#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif


#include "cli/cli.h"
#include "cli/flag_report.h"
#include "tests/cli/cli_run.h"
#include "tests/test_support.h"

namespace ornivale::cli_test {
namespace {

using testing::Bytes;
using testing::LevelBytes;
using testing::MakeLevel;
using testing::MemoryDisk;
using testing::ReadAll;
using testing::TempDir;
using LineList = std::vector<std::string>;
using Writes = std::vector<std::pair<int64_t, std::size_t>>;

// A level that ends after the first byte of its Lara type.
Bytes CutInsideFlags() {
  Bytes level = MakeLevel(3, 1, 0, 0, 0, 0);
  level.resize(level.size() - 3);
  return level;
}

// A Tomb Raider IV level: its level data where a TRC level keeps its flags.
Bytes Tr4Level() {
  return LevelBytes().Version().Counts().Block(0, 0).Block(0, 0).Block(0, 0)
      .Dword(64).Dword(4).Raw({0x78, 0x9C, 0x03, 0x00}).Build();
}

// Each line of standard error names its level: "ornivale-cli: PATH …" or
// "ornivale-cli: can't … PATH…"; the count line of a run over several
// levels, where one is given, comes last.
void ExpectOneErrorLineEach(const CliRun& run, const LineList& paths,
                            const std::string& count_line = {}) {
  LineList errors = Lines(run.err);
  if (!count_line.empty()) {
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.back(), count_line);
    errors.pop_back();
  }
  ASSERT_EQ(errors.size(), paths.size()) << run.err;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(errors[i].rfind("ornivale-cli: ", 0), 0u) << errors[i];
    EXPECT_NE(errors[i].find(paths[i]), std::string::npos) << errors[i];
  }
}

class CliTest : public ::testing::Test {
 protected:
  TempDir dir_{"ornivale-cli-test"};
};

TEST_F(CliTest, ShowPrintsTextAndStoredValueOfEachLevelInOrder) {
  const std::string city = dir_.Write("city.trc", MakeLevel(3, 1, 40, 0, 7));
  const std::string odd = dir_.Write("odd.TRC", MakeLevel(5, 7));
  const std::string young = dir_.Write("young.trc", MakeLevel(1, 2));
  const CliRun run = RunInProcess({"show", city, odd, young});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "3 levels: 3 shown\n");
  EXPECT_EQ(Lines(run.out),
            (LineList{city + ": Lara type Catsuit (3), weather Rain (1)",
                      odd + ": Lara type unknown (5), weather unknown (7)",
                      young + ": Lara type Young Lara (1), weather Snow (2)"}));
}

// With --json, standard output has exactly one line for each level, in
// order, failures included; standard error has the failures' messages.
TEST(CliOnMemoryDisk, JsonHasOneLineALevelWithFailuresAsErrorObjects) {
  MemoryDisk disk;
  const std::string cut = "cut.trc";
  const std::string good = "good.trc";
  disk.Put(cut, CutInsideFlags());
  disk.Put(good, MakeLevel(6, 0));
  const std::string good_flags =
      R"("lara":{"value":6,"text":"Invisible"},"weather":{"value":0,"text":"Normal Weather"})";
  for (const char* command : {"show", "set"}) {
    SCOPED_TRACE(command);
    const bool show = command == std::string("show");
    const CliRun run = show ? RunInProcess({"show", "--json", cut, good}, disk)
                            : RunInProcess({"set", "--json", "--lara", "6", cut, good}, disk);
    EXPECT_EQ(run.status, 1);
    const LineList out = Lines(run.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(Codes(run.out), (LineList{"cut-short", ""}));
    // The failure's message is the line on standard error.
    const LineList err = Lines(run.err);
    ASSERT_EQ(err.size(), 1u);
    EXPECT_EQ(out[0], R"({"path":")" + cut + R"(","error":{"code":"cut-short","message":")" +
                          err[0].substr(std::string("ornivale-cli: ").size()) + "\"}}");
    EXPECT_EQ(out[1], R"({"path":")" + good + "\"," + good_flags +
                          (show ? "}" : ",\"before\":{" + good_flags + "},\"changed\":false}"));
  }
}

// Named like a level, a folder is taken for one, and refused as one; a
// pipe is refused at once, where an open for reading would wait for ever.
// Named like a level, a folder is taken for one, and refused as one; a
// pipe is refused at once, where an open for reading would wait for ever.
TEST_F(CliTest, LevelsThatCantBeReadAreReportedAndTheOthersShown) {
  const std::string missing = dir_.File("missing.trc");
  LineList bad = {missing, dir_.File("folder.trc")};
  LineList codes = {"cannot-open", "not-a-regular-file", ""};
  std::filesystem::create_directory(testing::FsPath(bad[1]));
#ifndef _WIN32
  bad.push_back(dir_.File("pipe.trc"));
  ASSERT_EQ(mkfifo(bad.back().c_str(), 0600), 0);
  codes.insert(codes.end() - 1, "not-a-regular-file");
#endif
  const std::string good = dir_.Write("good.trc", MakeLevel(0, 0));
  LineList args = {"show", "--json"};
  args.insert(args.end(), bad.begin(), bad.end());
  args.push_back(good);
  EXPECT_EQ(Codes(RunInProcess(args).out), codes);
  args.erase(args.begin() + 1);
  const CliRun run = RunInProcess(args);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Lines(run.out), LineList{good + ": Lara type Normal Lara (0), weather "
                                            "Normal Weather (0)"});
  ExpectOneErrorLineEach(run, bad, std::to_string(bad.size() + 1) + " levels: 1 shown, " +
                                       std::to_string(bad.size()) + " failed");
  EXPECT_FALSE(testing::Exists(missing));
}

TEST_F(CliTest, NamesThatArentLevelNamesAreReportedWithoutBeingOpened) {
  MemoryDisk disk;
  disk.Put("city.trc.bak", MakeLevel(3, 1));
  const CliRun run = RunInProcess({"show", "--json", "city.trc.bak"}, disk);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Codes(run.out), LineList{"not-named-as-level"});
  ExpectOneErrorLineEach(run, {"city.trc.bak"});
  EXPECT_EQ(disk.stats.opens_read_only, 0);
}

// The least work: show opens the level once and reads it four times; set
// opens it once to hold it and reads it four times, opens it for writing,
// reads the head and the values again right before writing the values it
// names (both in one write) and nothing else, syncs, reads them once more
// and looks at the path once. A value without an entry survives a change
// of the other flag.
TEST(CliOnMemoryDisk, SetWritesOnlyTheValuesItNamesAndShowAndSetDoTheLeastWork) {
  const struct {
    Bytes level;
    LineList args;
    const char* out;
    Writes writes;
    Bytes after;
  } cases[] = {
      {MakeLevel(3, 1, 4, 5, 6), {"--lara", "young", "--weather", "snow"},
       "a.trc: Lara type Catsuit (3) -> Young Lara (1), weather Rain (1) -> Snow (2)\n",
       {{34 + 15, 4}}, MakeLevel(1, 2, 4, 5, 6)},
      {MakeLevel(3, 1), {"--lara", "young"},
       "a.trc: Lara type Catsuit (3) -> Young Lara (1), weather Rain (1)\n", {{34, 2}},
       MakeLevel(1, 1)},
      {MakeLevel(5, 2), {"--weather=Normal Weather"},
       "a.trc: Lara type unknown (5), weather Snow (2) -> Normal Weather (0)\n", {{36, 2}},
       MakeLevel(5, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front());
    MemoryDisk disk;
    disk.Put("a.trc", c.level);
    LineList args = {"set"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back("a.trc");
    const CliRun run = RunInProcess(args, disk);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(disk.stats.opens_read_only, 0);
    EXPECT_EQ(disk.stats.opens_held, 1);
    EXPECT_EQ(disk.stats.opens_for_writing, 1);
    EXPECT_EQ(disk.stats.reads, 4 + 4 + 4);
    EXPECT_EQ(disk.stats.writes, c.writes);
    EXPECT_EQ(disk.stats.syncs, 1);
    EXPECT_EQ(disk.stats.stamps_of_path, 1);
    EXPECT_EQ(disk.Get("a.trc"), c.after);
    ASSERT_EQ(RunInProcess({"show", "a.trc"}, disk).status, 0);
    EXPECT_EQ(disk.stats.opens_read_only, 1);
    EXPECT_EQ(disk.stats.reads, 4 + 4 + 4 + 4);
    EXPECT_EQ(disk.stats.open_now, 0);
  }
}

// A .tr4 name is a Tomb Raider IV level to show as to set, whatever it
// holds, and is not even opened; whatever the name says, a level whose
// bytes hold Tomb Raider IV level data is shown as one. Neither is written.
TEST(CliOnMemoryDisk, TombRaiderFourLevelsAreReportedAndNeverWritten) {
  const struct {
    const char* name;
    Bytes bytes;
    bool opened;
  } cases[] = {{"karnak.tr4", MakeLevel(3, 1), false},
               {"karnak.TR4.", MakeLevel(3, 1), false},
               {"karnak.trc", Tr4Level(), true}};
  for (const auto& c : cases) {
    for (const LineList& args : {LineList{"show", "--json", c.name},
                                 LineList{"set", "--json", "--lara", "0", c.name}}) {
      SCOPED_TRACE(args[0] + " " + c.name);
      MemoryDisk disk;
      disk.Put(c.name, c.bytes);
      const CliRun run = RunInProcess(args, disk);
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(Codes(run.out), LineList{"tr4-level"});
      ExpectOneErrorLineEach(run, {c.name});
      EXPECT_EQ(disk.stats.opens_read_only + disk.stats.opens_held > 0, c.opened);
      EXPECT_TRUE(disk.stats.writes.empty());
      EXPECT_EQ(disk.Get(c.name), c.bytes);
    }
  }
}

// Results that can't be written out are a failure, said on standard error:
// on a full disk, or for a set. A run that only reads ends quietly where
// the pipe's reader has gone (`| head`), with the status of what it did.
TEST(CliOnMemoryDisk, OutputThatCantBeWrittenIsAFailureUnlessItsReaderHasGone) {
  class FullBuffer : public std::streambuf {
   protected:
    int overflow(int) override { return traits_type::eof(); }
  };
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.Put("b.trc", MakeLevel(3, 1));
  ASSERT_EQ(RunInProcess({"set", "--lara", "0", "b.trc"}, disk).status, 0);
  const std::vector<std::vector<std::string>> runs = {
      {"show", "a.trc", "b.trc"}, {"check", "a.trc", "b.trc"}, {"history"},
      {"set", "--lara", "0", "a.trc"}};
  for (const bool reader_gone : {false, true}) {
    disk.output_closed = reader_gone;
    for (const auto& args : runs) {
      SCOPED_TRACE(args[0] + (reader_gone ? ", its reader gone" : ", a full disk"));
      FullBuffer full;
      std::ostream out(&full);
      std::ostringstream err;
      const int opens = disk.stats.opens_read_only;
      const bool quiet = reader_gone && args[0] != "set";
      EXPECT_EQ(cli::RunCli(args, out, err, disk), quiet ? cli::kAllSucceeded : cli::kSomeFailed);
      if (quiet) {
        EXPECT_EQ(err.str(), "");
        if (args.size() == 3) {
          EXPECT_EQ(disk.stats.opens_read_only, opens + 1) << "it ended";
        }
      } else {
        EXPECT_EQ(err.str().rfind("ornivale-cli: can't write to standard output", 0), 0u)
            << err.str();
      }
    }
  }
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(0, 1));
}

// A level that set refuses stops no other; values and names are taken in
// any case.
TEST_F(CliTest, OneBadLevelAmongManyIsLeftAloneAndTheOthersAreChanged) {
  const Bytes cut = CutInsideFlags();
  Bytes wrong_version = MakeLevel(3, 1);
  wrong_version[3] = 0x01;
  const Bytes tr4 = MakeLevel(3, 1);
  const std::string first = dir_.Write("first.trc", MakeLevel(0, 0));
  const std::string bad_cut = dir_.Write("cut.trc", cut);
  const std::string bad_version = dir_.Write("version.trc", wrong_version);
  const std::string bad_kind = dir_.Write("old.tr4", tr4);
  const std::string last = dir_.Write("last.TRC", MakeLevel(1, 1, 5));

  const CliRun run = RunInProcess({"set", "--weather", "SNOW", "--lara", "catsuit", first,
                                   bad_cut, bad_version, bad_kind, last});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ReadAll(first), MakeLevel(3, 2));
  EXPECT_EQ(ReadAll(last), MakeLevel(3, 2, 5));
  EXPECT_EQ(ReadAll(bad_cut), cut);
  EXPECT_EQ(ReadAll(bad_version), wrong_version);
  EXPECT_EQ(ReadAll(bad_kind), tr4);
  EXPECT_EQ(Lines(run.out),
            (LineList{first + ": Lara type Normal Lara (0) -> Catsuit (3), weather "
                              "Normal Weather (0) -> Snow (2)",
                      last + ": Lara type Young Lara (1) -> Catsuit (3), weather Rain (1) -> "
                             "Snow (2)"}));
  ExpectOneErrorLineEach(run, {bad_cut, bad_version, bad_kind}, "5 levels: 2 changed, 3 refused");
  EXPECT_EQ(Codes(RunInProcess({"check", "--json", bad_cut, bad_version, bad_kind}).out),
            (LineList{"cut-short", "wrong-version", "tr4-level"}));
}

// What set prints is what it wrote and checked: a failure of the disk, or
// a level changed while it is set, is never a success.
TEST(CliOnMemoryDisk, FailuresOfTheDiskAreReportedAndEveryFileClosed) {
  const auto fail = [](bool MemoryDisk::*failure) {
    return [failure](MemoryDisk& disk) { disk.*failure = true; };
  };
  const struct {
    std::function<void(MemoryDisk&)> arrange;
    const char* code;
    bool may_be_written;
  } failures[] = {
      {fail(&MemoryDisk::fail_write), "write-failed", false},
      {fail(&MemoryDisk::fail_sync), "write-failed", true},
      {fail(&MemoryDisk::fail_close), "write-failed", true},
      {fail(&MemoryDisk::fail_read_back), "read-failed", true},
      {fail(&MemoryDisk::fail_stamp_of_path), "cannot-check", true},
      {fail(&MemoryDisk::held_by_another), "in-use", false},
      {fail(&MemoryDisk::fail_open_for_write), "cannot-open", false},
      {[](MemoryDisk& d) { d.after_write = [](Bytes& b) { b[34] = 0x06; }; }, "changed",
       true},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.code);
    MemoryDisk disk;
    disk.Put("a.trc", MakeLevel(3, 1));
    f.arrange(disk);
    const CliRun run = RunInProcess({"set", "--json", "--weather", "snow", "a.trc"}, disk);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Codes(run.out), LineList{f.code});
    ExpectOneErrorLineEach(run, {"a.trc"});
    EXPECT_EQ(run.err.find("may now hold the new values") != std::string::npos,
              f.may_be_written)
        << run.err;
    EXPECT_EQ(disk.stats.open_now, 0);
  }
}

// --quiet prints only the levels that fail (for check: or differ), in text
// and in JSON, and no count line; without it a run over several levels ends
// with one, a dry run's changes "to change".
TEST(CliOnMemoryDisk, QuietPrintsOnlyFailuresAndACountLineEndsOtherRuns) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.Put("b.trc", MakeLevel(4, 1));
  const auto run = [&](const std::vector<std::string>& args) { return RunInProcess(args, disk); };
  CliRun quiet = run({"show", "--quiet", "a.trc", "gone.trc"});
  EXPECT_EQ(quiet.status, 1);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(Lines(quiet.err).size(), 1u) << quiet.err;
  quiet = run({"check", "--quiet", "--json", "--lara", "catsuit", "a.trc", "b.trc"});
  EXPECT_EQ(Lines(quiet.out).size(), 1u);
  EXPECT_NE(quiet.out.find("\"path\":\"b.trc\""), std::string::npos) << quiet.out;
  EXPECT_EQ(Lines(quiet.err).size(), 1u) << quiet.err;
  quiet = run({"set", "--quiet", "--lara", "catsuit", "a.trc", "b.trc"});
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.out + quiet.err, "");
  EXPECT_EQ(disk.Get("b.trc"), MakeLevel(3, 1));

  EXPECT_EQ(run({"set", "--dry-run", "--lara", "young", "a.trc", "b.trc"}).err,
            "2 levels: 2 to change\n");
  EXPECT_EQ(run({"set", "--lara", "young", "a.trc"}).err, "") << "one level: no count";
  EXPECT_EQ(run({"set", "--dry-run", "--json", "--lara", "young", "a.trc", "b.trc"}).err, "");
  EXPECT_EQ(run({"set", "--lara", "young", "a.trc", "b.trc"}).err,
            "2 levels: 1 changed, 1 unchanged\n");
}

}  // namespace
}  // namespace ornivale::cli_test
