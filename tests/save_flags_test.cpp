#include <gtest/gtest.h>

#include "level/flag_save.h"
#include "level/format/level_names.h"
#include "level/level4.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::MemoryDisk;
using testing::RecordingWindow;
using Log = std::vector<std::string>;

constexpr int kNone = -1;

class SaveTest : public ::testing::Test {
 protected:
  void Load(const std::string& path, const Bytes& bytes) {
    disk_.Put(path, bytes);
    window_.path = path;
    level_.OpenLevel(path, window_);
  }
  // Loads a level whose pair is at offsets 34 to 37, then clears the log.
  void LoadLevel(uint16_t lara = 3, uint16_t weather = 1) {
    original_ = MakeLevel(lara, weather);
    Load("a.trc", original_);
    ASSERT_EQ(level_.FlagsPos(), 35);
    window_.log.clear();
  }
  void Save(int lara_position, int weather_position) {
    window_.c2 = lara_position;
    window_.c1 = weather_position;
    SaveFlags(level_, window_);
  }
  // The loaded level with the four bytes at offsets 34 to 37 replaced.
  Bytes WithFlags(Bytes pair) const {
    Bytes expected = original_;
    std::copy(pair.begin(), pair.end(), expected.begin() + 34);
    return expected;
  }
  // One "Error" box for the failure `expected`, and no "Level saved".
  void ExpectRefused(const LevelStatus& expected) {
    ASSERT_EQ(window_.messages.size(), 1u);
    EXPECT_EQ(window_.messages[0].title, "Error");
    EXPECT_EQ(window_.messages[0].icon, MessageIcon::Critical);
    testing::ExpectStatus(level_.LastStatus(), expected);
    EXPECT_TRUE(std::find(window_.log.begin(), window_.log.end(), "Level saved") ==
                window_.log.end());
  }

  MemoryDisk disk_;
  Level4 level_{disk_};
  RecordingWindow window_;
  Bytes original_;
};

TEST_F(SaveTest, WritesBothFlagsInPlace) {
  LoadLevel();
  Save(4, 2);  // Invisible, Snow
  EXPECT_EQ(disk_.Get("a.trc"), WithFlags({0x06, 0x00, 0x02, 0x00}));
  EXPECT_EQ(window_.log, (Log{"Saving level...", "Level saved"}));
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(disk_.stats.open_now, 0);
}

TEST_F(SaveTest, WritesTheFirstEntriesAsZero) {
  LoadLevel(6, 2);
  Save(0, 0);
  EXPECT_EQ(disk_.Get("a.trc"), WithFlags({0x00, 0x00, 0x00, 0x00}));
}

TEST_F(SaveTest, ListWithoutSelectionKeepsItsStoredValue) {
  LoadLevel(3, 1);
  Save(kNone, 1);
  EXPECT_EQ(disk_.Get("a.trc"), WithFlags({0x03, 0x00, 0x01, 0x00}));
  Save(kNone, 0);
  EXPECT_EQ(disk_.Get("a.trc"), WithFlags({0x03, 0x00, 0x00, 0x00}));
  Save(1, kNone);
  EXPECT_EQ(disk_.Get("a.trc"), WithFlags({0x01, 0x00, 0x00, 0x00}));
}

TEST_F(SaveTest, NoSelectionAtAllWritesNothingButStillSaves) {
  LoadLevel();
  Save(kNone, kNone);
  EXPECT_EQ(disk_.Get("a.trc"), original_);
  EXPECT_TRUE(disk_.stats.writes.empty());
  EXPECT_EQ(window_.log, (Log{"Saving level...", "Level saved"}));
}

TEST_F(SaveTest, UnknownStoredLaraTypeSurvivesASaveOfTheWeather) {
  LoadLevel(3, 1);                    // selects Catsuit
  original_ = MakeLevel(5, 1);
  Load("a.trc", original_);           // Lara type 5 has no entry
  SaveFlags(level_, window_);
  EXPECT_EQ(disk_.Get("a.trc"), original_);
  window_.c1 = 2;
  SaveFlags(level_, window_);
  EXPECT_EQ(disk_.Get("a.trc"), WithFlags({0x05, 0x00, 0x02, 0x00}));
}

TEST_F(SaveTest, SavesTwiceAndKeepsTheLength) {
  LoadLevel();
  Save(2, 1);
  Save(3, 0);
  EXPECT_EQ(disk_.Get("a.trc"), WithFlags({0x04, 0x00, 0x00, 0x00}));
}

TEST_F(SaveTest, NothingLoadedIsRefusedWithoutOpeningAFile) {
  Save(1, 1);
  ExpectRefused(Failure(LevelCode::NothingLoaded, window_.path));
  EXPECT_TRUE(window_.log.empty());
  EXPECT_EQ(disk_.stats.opens_held, 0);
}

TEST_F(SaveTest, PickedFilesThatNeverReachedTheFlagsAreRefused) {
  Load("x.dat", MakeLevel(3, 1));  // no kind yet: the scan stops early
  Save(1, 1);
  ExpectRefused(Failure(LevelCode::NothingLoaded, window_.path));
  EXPECT_EQ(disk_.stats.opens_held, 0);
}

TEST_F(SaveTest, FailedLoadAfterAGoodOneIsRefused) {
  LoadLevel();
  Bytes wrong = MakeLevel(0, 0);
  wrong[0] = 0;
  Load("wrong.trc", wrong);
  window_.messages.clear();
  Save(1, 1);
  ExpectRefused(Failure(LevelCode::LoadFailed, "wrong.trc"));
  EXPECT_EQ(disk_.Get("a.trc"), original_);
  EXPECT_EQ(disk_.Get("wrong.trc"), wrong);
  EXPECT_EQ(disk_.stats.opens_held, 0);
}

TEST_F(SaveTest, PathOtherThanTheLoadedLevelIsRefused) {
  LoadLevel();
  window_.path = "other.trc";
  Save(1, 1);
  ExpectRefused(Failure(LevelCode::NotLoadedLevel, "other.trc"));
  EXPECT_EQ(disk_.stats.opens_held, 0);
}

TEST_F(SaveTest, TombRaiderFourLevelIsRefused) {
  const Bytes tr4 = MakeLevel(3, 1);
  Load("old.tr4", tr4);
  Save(0, 0);
  ExpectRefused(Failure(LevelCode::Tr4Level, "old.tr4"));
  EXPECT_EQ(disk_.Get("old.tr4"), tr4);
  EXPECT_EQ(disk_.stats.opens_held, 0);
}

// Whatever another program did to the level since it was loaded, even with
// the lists untouched, Save must not undo it.
TEST_F(SaveTest, LevelChangedSinceLoadIsNotWritten) {
  const auto changes = {
      +[](Bytes& b) { b[36] = 0x02; },                                    // weather set to Snow
      +[](Bytes& b) { b.push_back(0x00); },                               // grew
      +[](Bytes& b) { b.back() ^= 0xFF; },                                // level data rewritten
      +[](Bytes& b) { b[14] = 0x02; b.insert(b.begin() + 18, {1, 2}); },  // the pair moved
  };
  for (auto change : changes) {
    window_.messages.clear();
    LoadLevel();
    Bytes now = original_;
    change(now);
    disk_.Put("a.trc", now);
    SaveFlags(level_, window_);  // the lists as the load left them
    ExpectRefused(Failure(LevelCode::Changed, "a.trc"));
    EXPECT_EQ(window_.log, Log{"Saving level..."});
    EXPECT_EQ(disk_.Get("a.trc"), now);
    EXPECT_EQ(disk_.stats.open_now, 0);
  }
}

TEST_F(SaveTest, ASaveOfItsOwnNeedsNoNewLoad) {
  LoadLevel();
  Save(4, 2);
  Save(1, 0);
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(disk_.Get("a.trc"), WithFlags({0x01, 0x00, 0x00, 0x00}));
  EXPECT_EQ(window_.log, (Log{"Saving level...", "Level saved", "Saving level...",
                              "Level saved"}));
}

// The refusal by name looks at the name of the file being saved, as
// Windows opens it, not at a kind that an earlier name left.
TEST_F(SaveTest, TheSavedFilesOwnNameDecides) {
  Load("karnak.tr4", MakeLevel(3, 1));
  original_ = MakeLevel(3, 1);
  Load("city.trc.", original_);  // Windows opens city.trc
  ASSERT_EQ(level_.LevelKind(), kKindTr4);
  ASSERT_TRUE(level_.LastScan().has_value());
  window_.log.clear();
  Save(0, 2);
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(disk_.Get("city.trc."), WithFlags({0x00, 0x00, 0x02, 0x00}));

  Load("other.tr4.", original_);
  window_.log.clear();
  Save(0, 0);
  ExpectRefused(Failure(LevelCode::Tr4Level, "other.tr4."));
  EXPECT_EQ(disk_.Get("other.tr4."), original_);
}

TEST_F(SaveTest, FileThatCannotBeOpenedForWritingIsReported) {
  LoadLevel();
  disk_.fail_open_for_write = true;
  Save(0, 0);
  ExpectRefused(Failure(LevelCode::CannotOpen, "a.trc", "Permission denied"));
  EXPECT_TRUE(window_.log.empty());
  EXPECT_EQ(disk_.Get("a.trc"), original_);
}

// "Level saved" means the bytes are on the disk: a failed write, sync or
// close is a failed save.
TEST_F(SaveTest, FailedWriteSyncOrCloseIsReportedAndTheFileClosed) {
  const struct {
    bool MemoryDisk::*failure;
    bool may_be_written;
  } cases[] = {{&MemoryDisk::fail_write, false},
               {&MemoryDisk::fail_sync, true},
               {&MemoryDisk::fail_close, true},
               {&MemoryDisk::fail_read_back, true}};
  for (const auto& c : cases) {
    window_.messages.clear();
    LoadLevel();
    disk_.*c.failure = true;
    Save(0, 0);
    disk_.*c.failure = false;
    ASSERT_EQ(window_.messages.size(), 1u);
    const std::string& text = window_.messages[0].text;
    EXPECT_EQ(text.find("may now hold the new values") != std::string::npos,
              c.may_be_written)
        << text;
    EXPECT_EQ(window_.log, Log{"Saving level..."});
    EXPECT_EQ(disk_.stats.open_now, 0);
    // The level on disk is no longer known: the next save wants a load.
    Save(0, 0);
    EXPECT_EQ(window_.messages.size(), c.may_be_written ? 2u : 1u);
  }
}

TEST_F(SaveTest, LevelHeldByAnotherProgramIsReportedAsInUse) {
  LoadLevel();
  disk_.held_by_another = true;
  Save(0, 0);
  ExpectRefused(Failure(LevelCode::InUse, "a.trc"));
  EXPECT_EQ(disk_.Get("a.trc"), original_);
}

// A Tomb Raider IV level keeps its level data where a TRC level keeps the
// flags and padding: whatever its name, Save leaves it alone.
TEST_F(SaveTest, TombRaiderFourLevelDataIsRefusedWhateverTheName) {
  const Bytes tr4 = testing::LevelBytes().Version().Counts().Block(0, 0).Block(0, 0)
                        .Block(0, 0).Dword(64).Dword(4).Raw({0x78, 0xDA, 0x03, 0x00}).Build();
  LevelStatus refused = Failure(LevelCode::Tr4Level, "");
  refused.offset = 34;
  for (const char* name : {"karnak.trc", "other.dat"}) {
    SCOPED_TRACE(name);
    window_.messages.clear();
    LoadLevel();  // a .trc name sets the kind that the others keep
    Load(name, tr4);
    ASSERT_EQ(level_.LevelKind(), kKindTrc);
    ASSERT_TRUE(level_.LastScan().has_value());
    window_.log.clear();
    Save(0, 0);
    refused.path = name;
    ExpectRefused(refused);
    EXPECT_EQ(disk_.Get(name), tr4);
    EXPECT_EQ(window_.log, Log{"Saving level..."});
  }
}

TEST_F(SaveTest, LevelDeletedSinceLoadIsReportedNotCreated) {
  Level4 level;  // real files
  testing::TempDir dir;
  window_.path = dir.Write("gone.trc", MakeLevel(3, 1));
  level.OpenLevel(window_.path, window_);
  std::filesystem::remove(testing::FsPath(window_.path));
  window_.log.clear();
  SaveFlags(level, window_);
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(level.LastStatus().code, LevelCode::CannotOpen);
  EXPECT_FALSE(level.LastStatus().reason.empty());
  EXPECT_FALSE(testing::Exists(window_.path));
  EXPECT_TRUE(window_.log.empty());
}

}  // namespace
}  // namespace ornivale
