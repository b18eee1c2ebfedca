// The write as a value: only the bytes of the values given, only into the
// level that was scanned, and never into Tomb Raider IV level data.
#include <gtest/gtest.h>

#include "level/flag_write.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::LevelBytes;
using testing::MakeLevel;
using testing::MemoryDisk;
using Writes = std::vector<std::pair<int64_t, std::size_t>>;

constexpr std::nullopt_t kKeep = std::nullopt;

class WriteFlagsTest : public ::testing::Test {
 protected:
  // Puts `bytes` on the disk, opens them for writing and scans them.
  void Open(const Bytes& bytes) {
    original_ = bytes;
    disk_.Put("a.trc", bytes);
    ASSERT_TRUE(disk_.Opener()("a.trc", OpenMode::ReadWrite, &file_).ok());
    scan_ = ScanLevel(*file_);
    ASSERT_TRUE(scan_.status.ok());
  }
  LevelStatus Write(std::optional<uint16_t> lara, std::optional<uint16_t> weather) {
    return WriteFlags(*file_, scan_, FlagChange{lara, weather});
  }
  // The opened level with the bytes from offset 34 on replaced.
  Bytes With(const Bytes& pair) const {
    Bytes expected = original_;
    std::copy(pair.begin(), pair.end(), expected.begin() + 34);
    return expected;
  }
  const Bytes& Now() const { return disk_.Get("a.trc"); }

  MemoryDisk disk_;
  std::unique_ptr<LevelFile> file_;
  LevelScan scan_;
  Bytes original_;
};

TEST_F(WriteFlagsTest, WritesTwoBytesForEachValueGivenThenSyncs) {
  Open(MakeLevel(3, 1));
  ASSERT_TRUE(Write(6, kKeep).ok());
  EXPECT_EQ(disk_.stats.writes, (Writes{{34, 2}}));
  EXPECT_EQ(Now(), With({0x06, 0x00, 0x01, 0x00}));
  ASSERT_TRUE(Write(kKeep, 2).ok());
  EXPECT_EQ(disk_.stats.writes, (Writes{{34, 2}, {36, 2}}));
  EXPECT_EQ(Now(), With({0x06, 0x00, 0x02, 0x00}));
  ASSERT_TRUE(Write(0, 0).ok());
  EXPECT_EQ(Now(), With({0x00, 0x00, 0x00, 0x00}));
  EXPECT_EQ(disk_.stats.syncs, 3);
}

TEST_F(WriteFlagsTest, NoValueWritesNothing) {
  Open(MakeLevel(3, 1));
  ASSERT_TRUE(Write(kKeep, kKeep).ok());
  EXPECT_TRUE(disk_.stats.writes.empty());
  EXPECT_EQ(Now(), original_);
}

// Another program sets the weather between this scan and this write of the
// Lara type: its weather stays.
TEST_F(WriteFlagsTest, AValueNotGivenKeepsWhatAnotherProgramWroteMeanwhile) {
  Open(MakeLevel(3, 1));
  disk_.before_write = [](Bytes& bytes) { bytes[36] = 0x02; };
  ASSERT_TRUE(Write(4, kKeep).ok());
  EXPECT_EQ(Now(), With({0x04, 0x00, 0x02, 0x00}));
}

TEST_F(WriteFlagsTest, LevelChangedSinceTheScanIsNotWritten) {
  const auto changes = {
      +[](Bytes& b) { b[1] = 0x00; },                                     // version
      +[](Bytes& b) { b[5] = 0x09; },                                     // a count
      +[](Bytes& b) { b[14] = 0x02; b.insert(b.begin() + 18, {1, 2}); },  // block 1 grew
      +[](Bytes& b) { b.resize(37); },                                    // pair cut short
      +[](Bytes& b) { b.resize(12); },                                    // headers cut short
  };
  for (auto change : changes) {
    Open(MakeLevel(3, 1));
    Bytes now = original_;
    change(now);
    disk_.Put("a.trc", now);
    EXPECT_EQ(Write(0, 0).code, LevelCode::Changed);
    EXPECT_EQ(Now(), now);
    EXPECT_TRUE(disk_.stats.writes.empty());
  }
}

TEST_F(WriteFlagsTest, FileCutShortRightBeforeTheWriteIsNotGrown) {
  Open(MakeLevel(3, 1, 0, 0, 0, 0));
  disk_.before_write = [](Bytes& bytes) { bytes.resize(35); };
  EXPECT_EQ(Write(4, kKeep).code, LevelCode::Changed);
  EXPECT_EQ(Now().size(), 35u);
  EXPECT_TRUE(disk_.stats.writes.empty());
}

TEST_F(WriteFlagsTest, TombRaiderFourLevelDataIsNeverWritten) {
  const Bytes tr4 = LevelBytes().Version().Counts().Block(0, 0).Block(0, 0).Block(0, 0)
                        .Dword(64).Dword(4).Raw({0x78, 0x9C, 0x03, 0x00}).Build();
  Open(tr4);
  const LevelStatus status = Write(3, 1);
  EXPECT_EQ(status.code, LevelCode::Tr4Level);
  EXPECT_EQ(status.offset, 34);
  EXPECT_EQ(Now(), tr4);
  EXPECT_TRUE(disk_.stats.writes.empty());
}

TEST_F(WriteFlagsTest, FailedWriteOrSyncIsAWriteFailure) {
  Open(MakeLevel(3, 1));
  disk_.fail_write = true;
  LevelStatus status = Write(0, kKeep);
  EXPECT_EQ(status.code, LevelCode::WriteFailed);
  EXPECT_EQ(status.reason, "disk failure");
  EXPECT_EQ(disk_.stats.syncs, 0);

  disk_.fail_write = false;
  disk_.fail_sync = true;
  status = Write(0, kKeep);
  EXPECT_EQ(status.code, LevelCode::WriteFailed);
  EXPECT_EQ(status.reason, "disk full");
}

TEST_F(WriteFlagsTest, AFailedScanIsPassedOnWithoutReadingOrWriting) {
  Open(MakeLevel(3, 1));
  scan_.status = Failure(LevelCode::CutShort, "a.trc");
  EXPECT_EQ(Write(0, 0).code, LevelCode::CutShort);
  EXPECT_TRUE(disk_.stats.writes.empty());
}

}  // namespace
}  // namespace ornivale
