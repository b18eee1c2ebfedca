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

TEST_F(CliTest, LevelsThatCantBeReadAreReportedAndTheOthersShown) {
  const std::string missing = dir_.File("missing.trc");
  const std::string folder = dir_.File("folder.trc");
  std::filesystem::create_directory(testing::FsPath(folder));
  const std::string good = dir_.Write("good.trc", MakeLevel(0, 0));
  const CliRun run = RunInProcess({"show", missing, folder, good});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Lines(run.out), LineList{good + ": Lara type Normal Lara (0), weather "
                                            "Normal Weather (0)"});
  ExpectOneErrorLineEach(run, {missing, folder}, "3 levels: 1 shown, 2 failed");
  // Named like a level, a folder is taken for one, and refused as one.
  EXPECT_EQ(Codes(RunInProcess({"show", "--json", missing, folder, good}).out),
            (LineList{"cannot-open", "not-a-regular-file", ""}));
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
// reads the head and the values again right before writing both values in
// one write, syncs, reads them once more and looks at the path once.
TEST(CliOnMemoryDisk, ShowAndSetDoTheLeastWork) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1, 4, 5, 6));
  ASSERT_EQ(RunInProcess({"show", "a.trc"}, disk).status, 0);
  EXPECT_EQ(disk.stats.opens_read_only, 1);
  EXPECT_EQ(disk.stats.reads, 4);
  const CliRun run =
      RunInProcess({"set", "--lara", "young", "--weather", "snow", "a.trc"}, disk);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "a.trc: Lara type Catsuit (3) -> Young Lara (1), weather Rain (1) -> Snow (2)\n");
  EXPECT_EQ(disk.stats.opens_read_only, 1);
  EXPECT_EQ(disk.stats.opens_held, 1);
  EXPECT_EQ(disk.stats.opens_for_writing, 1);
  EXPECT_EQ(disk.stats.reads, 4 + 4 + 4 + 4);
  EXPECT_EQ(disk.stats.writes, (Writes{{34 + 15, 4}}));
  EXPECT_EQ(disk.stats.syncs, 1);
  EXPECT_EQ(disk.stats.stamps_of_path, 1);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(1, 2, 4, 5, 6));
}

// What set prints is what it wrote and checked: a level changed or moved
// while it is set is a failure, never a success.
TEST(CliOnMemoryDisk, SetNeverReportsValuesItDidNotWrite) {
  const std::vector<std::function<void(MemoryDisk&, Bytes&)>> races = {
      [](MemoryDisk&, Bytes& b) { b[34] = 0x06; },
      [](MemoryDisk& d, Bytes&) { d.Replace("a.trc", MakeLevel(6, 0)); },
  };
  for (const auto& race : races) {
    MemoryDisk disk;
    disk.Put("a.trc", MakeLevel(3, 1));
    disk.after_write = [&](Bytes& bytes) { race(disk, bytes); };
    const CliRun run = RunInProcess({"set", "--json", "--lara", "young", "a.trc"},
                                    disk);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("\"code\":\"changed\""), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("it may now hold the new values"), std::string::npos);
  }
}

// A .tr4 name is a Tomb Raider IV level to show as to set, whatever it
// holds, and is not even opened.
TEST(CliOnMemoryDisk, TombRaiderFourNamesAreReportedWithoutBeingOpened) {
  MemoryDisk disk;
  for (const char* name : {"karnak.tr4", "karnak.TR4."}) {
    disk.Put(name, MakeLevel(3, 1));
    for (const char* command : {"show", "set"}) {
      const CliRun run = std::string(command) == "show"
                             ? RunInProcess({command, "--json", name}, disk)
                             : RunInProcess({command, "--json", "--lara", "0", name}, disk);
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(Codes(run.out), LineList{"tr4-level"});
      ExpectOneErrorLineEach(run, {name});
    }
  }
  EXPECT_EQ(disk.stats.opens_read_only + disk.stats.opens_held, 0);
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

// One open for writing a level; set writes the two bytes of the value it
// names and nothing else.
TEST(CliOnMemoryDisk, SetOfOneFlagOpensOnceForWritingAndWritesTwoBytes) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  const CliRun run = RunInProcess({"set", "--lara", "young", "a.trc"}, disk);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "a.trc: Lara type Catsuit (3) -> Young Lara (1), weather Rain (1)\n");
  EXPECT_EQ(disk.stats.writes, (Writes{{34, 2}}));
  EXPECT_EQ(disk.stats.opens_held, 1);
  EXPECT_EQ(disk.stats.opens_for_writing, 1);
  EXPECT_EQ(disk.stats.opens_read_only, 0);
  EXPECT_EQ(disk.stats.syncs, 1);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(1, 1));

  EXPECT_EQ(RunInProcess({"show", "a.trc"}, disk).status, 0);
  EXPECT_EQ(disk.stats.opens_read_only, 1);
  EXPECT_EQ(disk.stats.open_now, 0);
}

TEST_F(CliTest, SetOneFlagKeepsTheOtherAsStored) {
  const std::string a = dir_.Write("a.trc", MakeLevel(3, 1, 16, 3, 0, 9));
  const std::string b = dir_.Write("b.trc", MakeLevel(5, 2));
  CliRun run = RunInProcess({"set", "--lara", "divesuit", a});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, a + ": Lara type Catsuit (3) -> Divesuit (4), weather Rain (1)\n");
  EXPECT_EQ(ReadAll(a), MakeLevel(4, 1, 16, 3, 0, 9));

  // A stored value without an entry survives a change of the other flag.
  run = RunInProcess({"set", "--weather=Normal Weather", b});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(ReadAll(b), MakeLevel(5, 0));
}

TEST_F(CliTest, SetBothFlagsOnManyLevels) {
  std::vector<std::string> args = {"set", "--weather", "SNOW", "--lara", "0"};
  for (const char* name : {"a.trc", "b.TRC", "c.trc"}) {
    args.push_back(dir_.Write(name, MakeLevel(6, 1, 5)));
  }
  const CliRun run = RunInProcess(args);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Lines(run.out).size(), 3u);
  for (std::size_t i = 5; i < args.size(); ++i) {
    EXPECT_EQ(ReadAll(args[i]), MakeLevel(0, 2, 5)) << args[i];
  }
}

TEST_F(CliTest, OneBadLevelAmongManyIsLeftAloneAndTheOthersAreChanged) {
  const Bytes cut = CutInsideFlags();
  Bytes wrong_version = MakeLevel(3, 1);
  wrong_version[3] = 0x01;
  const Bytes tr4 = MakeLevel(3, 1);
  const std::string first = dir_.Write("first.trc", MakeLevel(0, 0));
  const std::string bad_cut = dir_.Write("cut.trc", cut);
  const std::string bad_version = dir_.Write("version.trc", wrong_version);
  const std::string bad_kind = dir_.Write("old.tr4", tr4);
  const std::string last = dir_.Write("last.trc", MakeLevel(1, 2));

  const CliRun run = RunInProcess({"set", "--lara", "catsuit", first, bad_cut,
                                   bad_version, bad_kind, last});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ReadAll(first), MakeLevel(3, 0));
  EXPECT_EQ(ReadAll(last), MakeLevel(3, 2));
  EXPECT_EQ(ReadAll(bad_cut), cut);
  EXPECT_EQ(ReadAll(bad_version), wrong_version);
  EXPECT_EQ(ReadAll(bad_kind), tr4);
  EXPECT_EQ(Lines(run.out),
            (LineList{first + ": Lara type Normal Lara (0) -> Catsuit (3), weather "
                              "Normal Weather (0)",
                      last + ": Lara type Young Lara (1) -> Catsuit (3), weather Snow (2)"}));
  ExpectOneErrorLineEach(run, {bad_cut, bad_version, bad_kind}, "5 levels: 2 changed, 3 refused");
  EXPECT_EQ(Codes(RunInProcess({"check", "--json", bad_cut, bad_version, bad_kind}).out),
            (LineList{"cut-short", "wrong-version", "tr4-level"}));
}

// Whatever the name says, a level whose bytes hold Tomb Raider IV level
// data is shown as one and never written.
TEST_F(CliTest, TombRaiderFourLevelDataIsReportedAndNeverWritten) {
  const std::string named_trc = dir_.Write("karnak.trc", Tr4Level());
  CliRun run = RunInProcess({"show", "--json", named_trc});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Codes(run.out), LineList{"tr4-level"});
  ExpectOneErrorLineEach(run, {named_trc});

  run = RunInProcess({"set", "--json", "--weather", "rain", named_trc});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Codes(run.out), LineList{"tr4-level"});
  EXPECT_EQ(ReadAll(named_trc), Tr4Level());
#ifndef _WIN32
  const std::string four = dir_.Write("four.tr4", Tr4Level());
  const std::string alias = dir_.File("alias.trc");
  ASSERT_EQ(symlink(four.c_str(), alias.c_str()), 0);
  run = RunInProcess({"set", "--json", "--lara", "young", alias});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Codes(run.out), LineList{"tr4-level"});
  EXPECT_EQ(ReadAll(four), Tr4Level());
#endif
}

#ifndef _WIN32
TEST_F(CliTest, PipeIsReportedAtOnce) {
  const std::string pipe = dir_.File("pipe.trc");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const CliRun run = RunInProcess({"show", "--json", pipe});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Codes(run.out), LineList{"not-a-regular-file"});
}
#endif

TEST(CliOnMemoryDisk, FailuresOfTheDiskAreReportedAndEveryFileClosed) {
  const struct {
    bool MemoryDisk::*failure;
    const char* code;
    bool may_be_written;
  } failures[] = {
      {&MemoryDisk::fail_write, "write-failed", false},
      {&MemoryDisk::fail_sync, "write-failed", true},
      {&MemoryDisk::fail_close, "write-failed", true},
      {&MemoryDisk::fail_read_back, "read-failed", true},
      {&MemoryDisk::fail_stamp_of_path, "cannot-check", true},
      {&MemoryDisk::held_by_another, "in-use", false},
      {&MemoryDisk::fail_open_for_write, "cannot-open", false},
  };
  for (const auto& f : failures) {
    SCOPED_TRACE(f.code);
    MemoryDisk disk;
    disk.Put("a.trc", MakeLevel(3, 1));
    disk.*f.failure = true;
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
