#include <gtest/gtest.h>

#include "level/level4.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::MemoryDisk;
using testing::RecordingWindow;
using Log = std::vector<std::string>;

class OpenLevelTest : public ::testing::Test {
 protected:
  // Picks `path` and scans it, as the Load command does.
  void Load(const std::string& path) {
    window_.path = path;
    level_.OpenLevel(path, window_);
  }
  void LoadLevel(const std::string& path, const Bytes& bytes) {
    disk_.Put(path, bytes);
    Load(path);
  }
  // A first level that selects Catsuit and Rain with its pair at 35.
  void LoadGoodLevel() {
    LoadLevel("good.trc", MakeLevel(3, 1));
    ASSERT_EQ(level_.FlagsPos(), 35);
    window_.log.clear();
  }
  void ExpectStateOfGoodLevel() {
    EXPECT_EQ(level_.FlagsPos(), 35);
    EXPECT_EQ(window_.c2, 2);
    EXPECT_EQ(window_.c1, 1);
  }
  // One "Error" box, for the failure `expected` (its words are the
  // window's, checked once in failure_words_test.cpp).
  void ExpectOneError(const LevelStatus& expected) {
    ASSERT_EQ(window_.messages.size(), 1u);
    EXPECT_EQ(window_.messages[0].title, "Error");
    EXPECT_EQ(window_.messages[0].icon, MessageIcon::Critical);
    testing::ExpectStatus(level_.LastStatus(), expected);
  }

  MemoryDisk disk_;
  Level4 level_{disk_};
  RecordingWindow window_;
};

TEST_F(OpenLevelTest, StartsWithNoLevel) {
  EXPECT_EQ(level_.FlagsPos(), 0);
  EXPECT_EQ(level_.LevelKind(), 0);
  EXPECT_FALSE(level_.LastScan().has_value());
}

TEST_F(OpenLevelTest, GoodLevelShowsItsFlagsAndLogsEachStage) {
  LoadLevel("a.trc", MakeLevel(3, 1));
  EXPECT_EQ(window_.log,
            (Log{"Opening a.trc...", "File opened", "Reading textures...", "Done"}));
  EXPECT_EQ(level_.FlagsPos(), 35);
  EXPECT_EQ(level_.LevelKind(), 6);
  EXPECT_EQ(window_.c2, 2);  // Catsuit
  EXPECT_EQ(window_.c1, 1);  // Rain
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(disk_.stats.open_now, 0);
}

TEST_F(OpenLevelTest, PayloadsMoveTheFlagPair) {
  LoadLevel("a.trc", MakeLevel(0, 0, 0, 5, 0));
  EXPECT_EQ(level_.FlagsPos(), 40);
  LoadLevel("b.trc", MakeLevel(0, 0, 1000, 3, 70000));
  EXPECT_EQ(level_.FlagsPos(), 35 + 71003);
}

TEST_F(OpenLevelTest, NegativePackedSizePassesOverNothing) {
  LoadLevel("a.trc", testing::LevelBytes()
                         .Version().Counts().Block(-1, 0).Block(0, 0).Block(-100, 0)
                         .Flags(4, 2).Build());
  EXPECT_EQ(level_.FlagsPos(), 35);
  EXPECT_EQ(window_.c2, 3);
  EXPECT_EQ(window_.c1, 2);
}

TEST_F(OpenLevelTest, KindComesFromTheNameWhateverItsCase) {
  LoadLevel("city.Trc", MakeLevel(0, 0));
  EXPECT_EQ(level_.LevelKind(), 6);
  LoadLevel("city.tr4", MakeLevel(0, 0));
  EXPECT_EQ(level_.LevelKind(), 5);
  LoadLevel("CITY.TRC", MakeLevel(0, 0));
  EXPECT_EQ(level_.LevelKind(), 6);
  EXPECT_EQ(window_.log.back(), "Done");
}

TEST_F(OpenLevelTest, WrongVersionShowsTheMessageAndChangesNothing) {
  LoadGoodLevel();
  Bytes bytes = MakeLevel(0, 0);
  bytes[2] = 0x35;
  LoadLevel("bad.trc", bytes);
  ExpectOneError(Failure(LevelCode::WrongVersion, "bad.trc"));
  EXPECT_EQ(window_.log, Log{"Opening bad.trc..."});
  ExpectStateOfGoodLevel();
  EXPECT_EQ(disk_.stats.open_now, 0);
  EXPECT_FALSE(level_.LastScan().has_value());
}

// The window tells no remastered edition: its levels stop the load as a
// wrong version does, with the same words.
TEST_F(OpenLevelTest, RemasteredLevelShowsTheWrongVersionMessage) {
  for (const char* version : {"TRX5", "TRX4"}) {
    LoadGoodLevel();
    window_.messages.clear();
    Bytes bytes = MakeLevel(0, 0);
    std::copy(version, version + 4, bytes.begin());
    LoadLevel("remastered.trc", bytes);
    ExpectOneError(Failure(LevelCode::RemasteredLevel, "remastered.trc"));
    EXPECT_EQ(window_.log, Log{"Opening remastered.trc..."});
    ExpectStateOfGoodLevel();
  }
}

TEST_F(OpenLevelTest, UnknownNameEndingBeforeAnyMatchStopsAfterReadingTextures) {
  LoadLevel("x.dat", MakeLevel(3, 1));
  EXPECT_EQ(window_.log, (Log{"Opening x.dat...", "File opened", "Reading textures..."}));
  EXPECT_EQ(level_.FlagsPos(), 0);
  EXPECT_EQ(window_.c2, -1);
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_FALSE(level_.LastScan().has_value());
}

TEST_F(OpenLevelTest, UnknownNameEndingIsScannedAsTheLastMatchedKind) {
  LoadGoodLevel();
  LoadLevel("x.dat", MakeLevel(4, 2, 1));
  EXPECT_EQ(level_.LevelKind(), 6);
  EXPECT_EQ(level_.FlagsPos(), 36);
  EXPECT_EQ(window_.c2, 3);
  EXPECT_EQ(window_.log.back(), "Done");
}

TEST_F(OpenLevelTest, ShortNameKeepsTheKind) {
  LoadLevel("a.tr4", MakeLevel(0, 0));
  LoadLevel("trc", MakeLevel(0, 0));
  EXPECT_EQ(level_.LevelKind(), 5);
}

TEST_F(OpenLevelTest, StoredValuesWithoutAnEntryClearTheSelection) {
  LoadGoodLevel();
  LoadLevel("odd.trc", MakeLevel(5, 2));
  EXPECT_EQ(window_.c2, -1) << "an earlier level's Lara type must not survive";
  EXPECT_EQ(window_.c1, 2);
  EXPECT_EQ(window_.log.back(), "Done");

  for (uint16_t weather : {0xFFFF, 3, 0x7FFF}) {
    LoadGoodLevel();
    LoadLevel("odd.trc", MakeLevel(6, weather));
    EXPECT_EQ(window_.c1, -1) << weather;
    EXPECT_EQ(window_.c2, 4);
    EXPECT_EQ(window_.log.back(), "Done");
  }
}

TEST_F(OpenLevelTest, MissingFileIsReportedAfterTheOpeningLine) {
  LoadGoodLevel();
  Load("missing.trc");
  EXPECT_EQ(window_.log, Log{"Opening missing.trc..."});
  ExpectOneError(Failure(LevelCode::CannotOpen, "missing.trc", "No such file"));
  ExpectStateOfGoodLevel();
}

TEST_F(OpenLevelTest, LevelHeldByAnotherProgramIsReportedAsInUse) {
  LoadGoodLevel();
  disk_.Put("held.trc", MakeLevel(0, 0));
  disk_.held_by_another = true;
  Load("held.trc");
  ExpectOneError(Failure(LevelCode::InUse, "held.trc"));
  ExpectStateOfGoodLevel();
}

// Where the file ends decides how far the log gets; nothing else changes.
TEST_F(OpenLevelTest, LevelCutShortIsReportedAndChangesNothing) {
  const Bytes whole = MakeLevel(0, 0, 3, 2, 1, 0);
  const struct {
    std::size_t length;
    const char* part;
    Log log;
  } cuts[] = {
      {3, "its version", {"Opening short.trc..."}},
      {20, "texture block 1", {"Opening short.trc...", "File opened", "Reading textures..."}},
      {43, "its Lara type and weather",
       {"Opening short.trc...", "File opened", "Reading textures..."}},
  };
  for (const auto& cut : cuts) {
    SCOPED_TRACE(cut.length);
    window_.messages.clear();
    LoadGoodLevel();
    LoadLevel("short.trc", Bytes(whole.begin(), whole.begin() + cut.length));
    LevelStatus cut_short = Failure(LevelCode::CutShort, "short.trc");
    cut_short.part = cut.part;
    ExpectOneError(cut_short);
    EXPECT_EQ(window_.log, cut.log);
    ExpectStateOfGoodLevel();
    EXPECT_FALSE(level_.LastScan().has_value());
    EXPECT_EQ(disk_.stats.open_now, 0);
  }
}

TEST_F(OpenLevelTest, PayloadLargerThanTheFileIsReported) {
  LoadLevel("huge.trc", testing::LevelBytes()
                            .Version().Counts().Block(0x7FFFFFFF, 0).Block(0, 0).Block(0, 0)
                            .Flags(0, 0).Build());
  LevelStatus cut_short = Failure(LevelCode::CutShort, "huge.trc");
  cut_short.part = "texture block 1";
  ExpectOneError(cut_short);
  EXPECT_EQ(level_.FlagsPos(), 0);
}

TEST_F(OpenLevelTest, ScanOnlyReads) {
  LoadLevel("a.trc", MakeLevel(3, 1));
  LoadLevel("b.trc", MakeLevel(3, 1, 4));
  EXPECT_EQ(disk_.stats.opens_read_only, 2);
  EXPECT_EQ(disk_.stats.opens_held, 0);
  EXPECT_TRUE(disk_.stats.writes.empty());
}

TEST_F(OpenLevelTest, TwoLoadsInARowLogBothInOrder) {
  disk_.Put("a.trc", MakeLevel(3, 1));
  disk_.Put("b.tr4", MakeLevel(1, 0));
  Load("a.trc");
  Load("b.tr4");
  EXPECT_EQ(window_.log, (Log{"Opening a.trc...", "File opened", "Reading textures...",
                              "Done", "Opening b.tr4...", "File opened",
                              "Reading textures...", "Done"}));
  EXPECT_EQ(window_.c2, 1);
  EXPECT_EQ(window_.c1, 0);
}

}  // namespace
}  // namespace ornivale
