// The scan as a value: what it finds in a level's bytes, and each way a
// file can fail to be a level.
#include <gtest/gtest.h>

#include <limits>

#include "level/format/level_scan.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::LevelBytes;
using testing::MakeLevel;
using testing::MemoryDisk;

LevelScan Scan(const Bytes& bytes) {
  MemoryDisk disk;
  disk.Put("a.trc", bytes);
  std::unique_ptr<LevelFile> file;
  EXPECT_TRUE(disk.Open("a.trc", OpenMode::ReadOnly, &file).ok());
  return ScanLevel(*file);
}

// Tomb Raider IV level data: unpacked and packed sizes, then the packed
// bytes, which begin with a zlib header.
Bytes Tr4LevelData(uint32_t packed, uint8_t first = 0x78, uint8_t second = 0x9C) {
  LevelBytes data;
  data.Dword(4 * packed).Dword(packed).Raw({first, second});
  return data.Raw(Bytes(packed - 2, 0x11)).Build();
}

Bytes Tr4Level(uint32_t packed = 40) {
  return LevelBytes().Version().Counts().Block(4, 4).Block(0, 0).Block(2, 2)
      .Raw(Tr4LevelData(packed)).Build();
}

TEST(ScanLevel, FindsTheFlagPairBehindTheThreeBlocks) {
  const LevelScan scan = Scan(LevelBytes()
                                  .Version().Counts(7, 8, 9)
                                  .Block(2, 2).Block(0, 0).Block(-5, 0)
                                  .Flags(3, 1).Build());
  ASSERT_TRUE(scan.status.ok());
  EXPECT_EQ(scan.flags_offset, 36);
  EXPECT_EQ(scan.Value(kLara), 3);
  EXPECT_EQ(scan.Value(kWeather), 1);
  EXPECT_EQ(scan.header.LevelVersion.Raw, (std::array<uint8_t, 4>{0x54, 0x52, 0x34, 0x00}));
  EXPECT_EQ(scan.header.TexCounts[2].Value, 9);
  EXPECT_EQ(scan.header.Chunks[0].UnpackedSize.Value, 0x1234);
  EXPECT_EQ(scan.header.Chunks[2].PackedSize.Value, -5);
  EXPECT_FALSE(scan.HoldsTr4LevelData());
}

TEST(ScanLevel, PayloadsMoveThePairAndStoredValuesComeAsTheyAre) {
  EXPECT_EQ(Scan(MakeLevel(0, 0, 0, 5, 0)).flags_offset, 39);
  const LevelScan far = Scan(MakeLevel(5, 0xFFFF, 1000, 3, 70000));
  EXPECT_EQ(far.flags_offset, 34 + 71003);
  EXPECT_EQ(far.Value(kLara), 5);
  EXPECT_EQ(far.Value(kWeather), -1);
}

TEST(ScanLevel, VersionIsCheckedBeforeAnythingElse) {
  for (const Bytes& bytes : {Bytes{0x54, 0x52, 0x35, 0x00}, Bytes{0, 0, 0, 0, 1}}) {
    const LevelScan scan = Scan(bytes);
    EXPECT_EQ(scan.status.code, LevelCode::WrongVersion);
    EXPECT_EQ(scan.status.path, "a.trc");
    EXPECT_FALSE(scan.VersionMatches());
  }
}

TEST(ScanLevel, RemasteredEditionsVersionsHaveACodeOfTheirOwn) {
  for (const char* version : {"TRX5", "TRX4"}) {
    Bytes bytes = MakeLevel(3, 1);
    std::copy(version, version + 4, bytes.begin());
    EXPECT_EQ(Scan(bytes).status.code, LevelCode::RemasteredLevel) << version;
  }
  for (const char* version : {"TRX3", "TRX6", "trx5", "TRX\0"}) {
    Bytes bytes = MakeLevel(3, 1);
    std::copy(version, version + 4, bytes.begin());
    EXPECT_EQ(Scan(bytes).status.code, LevelCode::WrongVersion) << version;
  }
}

TEST(ScanLevel, LevelCutShortNamesThePartAndWhereItEnds) {
  const Bytes whole = MakeLevel(0, 0, 3, 2, 1, 0);
  ASSERT_EQ(whole.size(), 34u + 6 + 4);
  const struct {
    std::size_t length;
    const char* part;
  } cuts[] = {{0, "its version"}, {3, "its version"},
              {4, "its texture counts"}, {9, "its texture counts"},
              {10, "the header of texture block 1"},
              {17, "the header of texture block 1"},
              {18, "texture block 1"}, {20, "texture block 1"},
              {25, "the header of texture block 2"}, {29, "texture block 2"},
              {37, "the header of texture block 3"}, {39, "texture block 3"},
              {40, "its Lara type and weather"}, {43, "its Lara type and weather"}};
  for (const auto& cut : cuts) {
    SCOPED_TRACE(cut.length);
    const LevelScan scan = Scan(Bytes(whole.begin(), whole.begin() + cut.length));
    EXPECT_EQ(scan.status.code, LevelCode::CutShort);
    EXPECT_EQ(scan.status.part, cut.part);
    EXPECT_EQ(scan.status.offset, static_cast<int64_t>(cut.length));
  }
}

TEST(ScanLevel, PayloadLargerThanTheFileIsCutShortNotSkipped) {
  const LevelScan scan = Scan(LevelBytes().Version().Counts()
                                  .Block(0x7FFFFFFF, 0).Block(0, 0).Block(0, 0)
                                  .Flags(0, 0).Build());
  EXPECT_EQ(scan.status.code, LevelCode::CutShort);
  EXPECT_EQ(scan.status.part, "texture block 1");
}

// A file of `size` bytes that holds `head` and then zeros, kept nowhere.
class SparseFile : public LevelFile {
 public:
  SparseFile(Bytes head, int64_t size)
      : LevelFile("big.trc", FileStamp{size, 0, 0, 0}), head_(std::move(head)) {}
  LevelStatus Read(int64_t offset, uint8_t* out, std::size_t count) override {
    for (std::size_t i = 0; i < count; ++i) {
      const auto at = static_cast<std::size_t>(offset) + i;
      out[i] = at < head_.size() ? head_[at] : 0;
    }
    return {};
  }
  LevelStatus OpenForWriting() override { std::abort(); }
  LevelStatus CheckWritable() override { std::abort(); }
  LevelStatus Write(int64_t, const uint8_t*, std::size_t) override { std::abort(); }
  LevelStatus Sync() override { return {}; }
  LevelStatus Close() override { return {}; }
  LevelStatus StampOfPath(FileStamp* stamp) override {
    *stamp = Stamp();
    return {};
  }

 private:
  Bytes head_;
};

TEST(ScanLevel, FlagPairBeyondA32BitPositionIsTooLarge) {
  const int32_t max = std::numeric_limits<int32_t>::max();
  // The later block headers read as zeros.
  const Bytes head = LevelBytes().Version().Counts().Block(max, 0).Build();
  SparseFile file(head, 5'000'000'000);
  EXPECT_EQ(ScanLevel(file).status.code, LevelCode::TooLarge);
  // One byte short of that limit still fits: FlagsPos is the offset plus 1.
  const Bytes fits = LevelBytes().Version().Counts().Block(max - 35, 0).Build();
  SparseFile edge(fits, int64_t{max} + 4);
  const LevelScan scan = ScanLevel(edge);
  ASSERT_TRUE(scan.status.ok());
  EXPECT_EQ(scan.flags_offset + 1, max);
}

// A level with no texture payloads and `data` where its flag pair lies.
Bytes LevelWith(const Bytes& data) {
  return LevelBytes().Version().Counts().Block(0, 0).Block(0, 0).Block(0, 0).Raw(data).Build();
}

TEST(ScanLevel, TombRaiderFourLevelDataAfterTheFlagPositionIsRecognised) {
  const LevelScan tr4 = Scan(Tr4Level());
  ASSERT_TRUE(tr4.status.ok());
  EXPECT_TRUE(tr4.HoldsTr4LevelData());
  EXPECT_EQ(tr4.tr4_data_offset, tr4.flags_offset);
  EXPECT_EQ(tr4.flags_offset, 40);
}

// Every header that zlib itself writes: each window size from 256 bytes
// (0x08) to 32 KiB (0x78) and each compression level, with its check bits.
// Cut anywhere inside the packed data, as a copy in progress is, each is
// still Tomb Raider IV level data.
TEST(ScanLevel, EveryZlibWindowAndLevelIsTombRaiderFourDataWhereverItIsCut) {
  int recognised = 0;
  for (uint8_t window = 0; window <= 7; ++window) {
    for (uint8_t level = 0; level <= 3; ++level) {
      const auto cmf = static_cast<uint8_t>(window << 4 | 8);
      auto flg = static_cast<uint8_t>(level << 6);
      flg = static_cast<uint8_t>(flg + (31 - (cmf << 8 | flg) % 31) % 31);
      const Bytes whole = LevelWith(Tr4LevelData(24, cmf, flg));
      for (std::size_t length = 34 + 10; length <= whole.size(); length += 3) {
        SCOPED_TRACE(::testing::Message() << std::hex << int{cmf} << ' ' << int{flg}
                                          << std::dec << " cut at " << length);
        const LevelScan scan = Scan(Bytes(whole.begin(), whole.begin() + length));
        ASSERT_TRUE(scan.status.ok());
        EXPECT_TRUE(scan.HoldsTr4LevelData());
        ++recognised;
      }
    }
  }
  EXPECT_EQ(recognised, 8 * 4 * 8);  // eight cuts of each
}

TEST(ScanLevel, BytesThatNoZlibStreamBeginsWithAreNotTombRaiderFourData) {
  const Bytes not_zlib[] = {
      {0x78, 0x9D},  // check bits off by one
      {0x88, 0x98},  // a window larger than zlib allows (0x8898 = 31 * 1128)
      {0x77, 0x85},  // compression method 7, not deflate (0x7785 = 31 * 984)
      {0x78, 0xBB},  // a preset dictionary (0x78BB = 31 * 997)
  };
  for (const Bytes& head : not_zlib) {
    SCOPED_TRACE(::testing::Message() << std::hex << int{head[0]} << ' ' << int{head[1]});
    EXPECT_FALSE(Scan(LevelWith(Tr4LevelData(8, head[0], head[1]))).HoldsTr4LevelData());
  }
}

TEST(ScanLevel, TrcLevelsAndShortTailsHoldNoTombRaiderFourData) {
  // A TRC level: the flag pair, 28 bytes of padding, then its own data.
  const Bytes trc = LevelBytes().Version().Counts().Block(0, 0).Block(0, 0).Block(0, 0)
                        .Flags(3, 1).Raw(Bytes(28, 0)).Raw(Tr4LevelData(16)).Build();
  EXPECT_FALSE(Scan(trc).HoldsTr4LevelData());
  for (uint32_t tail : {0u, 1u, 5u, 6u}) {
    EXPECT_FALSE(Scan(MakeLevel(3, 1, 0, 0, 0, tail)).HoldsTr4LevelData()) << tail;
  }
  // A packed size of 0 is a TRC level's padding, whatever follows.
  EXPECT_FALSE(Scan(LevelWith(LevelBytes().Dword(3).Dword(0).Raw({0x78, 0x9C}).Build()))
                   .HoldsTr4LevelData());
}

}  // namespace
}  // namespace ornivale
