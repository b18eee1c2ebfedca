#include <gtest/gtest.h>

#include "cli/flag_report.h"
#include "tests/cli/cli_run.h"
#include "tests/test_support.h"

namespace ornivale::cli_test {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::ReadAll;
using testing::TempDir;
using LineList = std::vector<std::string>;

// A level that ends after the first byte of its Lara type.
Bytes CutInsideFlags() {
  Bytes level = MakeLevel(3, 1, 0, 0, 0, 0);
  level.resize(level.size() - 3);
  return level;
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
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(Lines(run.out),
            (LineList{city + ": Lara type Catsuit (3), weather Rain (1)",
                      odd + ": Lara type unknown (5), weather unknown (7)",
                      young + ": Lara type Young Lara (1), weather Snow (2)"}));
}

TEST_F(CliTest, ShowJsonPrintsOneObjectALevel) {
  const std::string known = dir_.Write("known.trc", MakeLevel(6, 0));
  const std::string unknown = dir_.Write("unknown.trc", MakeLevel(2, 0xFFFF));
  const CliRun run = RunInProcess({"show", "--json", known, unknown});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Lines(run.out), (LineList{cli::FlagsJson(known, {6, 0}),
                                      cli::FlagsJson(unknown, {2, -1})}));
}

TEST(FlagsJson, TextsAndValuesWithEscapedPath) {
  EXPECT_EQ(
      cli::FlagsJson("a\"b\\c\n.trc", {6, 0}),
      R"({"path":"a\"b\\c\u000a.trc","lara":{"value":6,"text":"Invisible"},)"
      R"("weather":{"value":0,"text":"Normal Weather"}})");
  EXPECT_EQ(cli::FlagsJson("ü.trc", {2, -1}),
            R"({"path":"ü.trc","lara":{"value":2,"text":null},)"
            R"("weather":{"value":-1,"text":null}})");
  // A byte that isn't UTF-8 would make the line invalid JSON.
  EXPECT_EQ(cli::FlagsJson("\xff.trc", {0, 1})
                .rfind("{\"path\":\"\xEF\xBF\xBD.trc\",\"lara\"", 0),
            0u);
}

TEST_F(CliTest, LevelsWithoutAFlagPairAreReportedAndTheOthersShown) {
  const std::string cut = dir_.Write("cut.trc", CutInsideFlags());
  const std::string missing = dir_.File("missing.trc");
  const std::string good = dir_.Write("good.trc", MakeLevel(0, 0));
  for (bool json : {false, true}) {
    const CliRun run =
        json ? RunInProcess({"show", "--json", cut, missing, good})
             : RunInProcess({"show", cut, missing, good});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.out).size(), 1u);
    EXPECT_EQ(Lines(run.out)[0].rfind(json ? "{" : good + ":", 0), 0u);
    const LineList errors = Lines(run.err);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "ornivale-cli: " + cut +
                             " isn't a complete level: it ends inside its "
                             "Lara type and weather.");
    EXPECT_EQ(errors[1].rfind("ornivale-cli: Can't open " + missing + ": ", 0),
              0u);
  }
  EXPECT_FALSE(testing::Exists(missing));
}

TEST_F(CliTest, NamesThatArentLevelNamesAreReportedWithoutBeingRead) {
  const std::string copy = dir_.Write("city.trc.bak", MakeLevel(3, 1));
  const CliRun run = RunInProcess({"show", copy});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "ornivale-cli: " + copy +
                         " isn't named as a level: the name must end in "
                         "\".trc\" or \".tr4\".\n");
}

TEST_F(CliTest, SetOneFlagKeepsTheOtherAsStored) {
  const std::string a = dir_.Write("a.trc", MakeLevel(3, 1, 16, 3, 0, 9));
  const std::string b = dir_.Write("b.trc", MakeLevel(5, 2));
  CliRun run = RunInProcess({"set", "--lara", "divesuit", a});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, a + ": Lara type Divesuit (4), weather Rain (1)\n");
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
            (LineList{first + ": Lara type Catsuit (3), weather "
                              "Normal Weather (0)",
                      last + ": Lara type Catsuit (3), weather "
                             "Snow (2)"}));
  const LineList errors = Lines(run.err);
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_NE(errors[0].find(bad_cut + " isn't a complete level"),
            std::string::npos);
  EXPECT_NE(errors[1].find(bad_version +
                           " isn't a valid Tomb Raider Chronicles Level"),
            std::string::npos);
  EXPECT_NE(errors[2].find(bad_kind + " is a Tomb Raider IV level"),
            std::string::npos);
}

TEST(CliOnFailingDisk, AFailedWriteIsReportedWithThePath) {
  testing::MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.fail_write = true;
  const CliRun run =
      RunInProcess({"set", "--weather", "snow", "a.trc"}, disk.Opener());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "ornivale-cli: a.trc: Can't write: disk failure\n");
  EXPECT_EQ(disk.stats.open_now, 0);
}

TEST(CliOnFailingDisk, EachLevelGetsAFreshStateAndItsFilesClosed) {
  testing::MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.Put("b.trc", MakeLevel(3, 1));
  disk.fail_open_for_write = true;
  const CliRun run =
      RunInProcess({"set", "--lara", "young", "a.trc", "b.trc"}, disk.Opener());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Lines(run.err).size(), 2u);
  EXPECT_EQ(disk.stats.open_now, 0);
  EXPECT_EQ(disk.stats.writes, 0);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
}

}  // namespace
}  // namespace ornivale::cli_test
