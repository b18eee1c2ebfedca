#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "level/field_codec.h"
#include "level/level_error.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::MemoryDisk;

// A channel over bytes held in memory.
class ChannelTest : public ::testing::Test {
 protected:
  FileChannel Open(Bytes bytes) {
    disk_.Put("f", std::move(bytes));
    return FileChannel(disk_.Opener()("f", OpenMode::ReadWrite));
  }
  const Bytes& Contents() const { return disk_.Get("f"); }

  MemoryDisk disk_;
};

// The long way round to a field's value: the bytes' hexadecimal text, last
// byte first, read back as a two's-complement number of the field's width.
int32_t ValueByHexText(const Bytes& raw) {
  std::string text;
  for (auto it = raw.rbegin(); it != raw.rend(); ++it) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", *it);
    text += digits;
  }
  const unsigned long long bits = std::stoull(text, nullptr, 16);
  const unsigned long long sign = 1ULL << (raw.size() * 8 - 1);
  return static_cast<int32_t>(bits >= sign ? static_cast<long long>(bits) -
                                                 static_cast<long long>(sign << 1)
                                           : static_cast<long long>(bits));
}

// The long way round to a written word: the value's hexadecimal text without
// leading zeros, cut into a low byte (last two digits) and a high byte.
Bytes WordByHexText(int32_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
  const std::string hex = text;
  const std::size_t low_digits = hex.size() < 2 ? hex.size() : 2;
  const std::string low = hex.substr(hex.size() - low_digits);
  const std::string high = hex.substr(0, hex.size() - low_digits);
  return {static_cast<uint8_t>(std::stoul(low, nullptr, 16)),
          static_cast<uint8_t>(high.empty() ? 0 : std::stoul(high, nullptr, 16))};
}

TEST_F(ChannelTest, ReadDwordKeepsRawBytesAndDecodesLittleEndianSigned) {
  FileChannel channel = Open({0x54, 0x52, 0x34, 0x00, 0xF0, 0xFF, 0xFF, 0xFF});
  const DwordField version = ReadDword(channel);
  EXPECT_EQ(version.Value, 3428948);
  EXPECT_EQ(version.Raw, (std::array<uint8_t, 4>{0x54, 0x52, 0x34, 0x00}));
  EXPECT_EQ(ReadDword(channel).Value, -16);
  EXPECT_EQ(channel.GetChannelPos(), 9);
}

TEST_F(ChannelTest, ReadWordDecodesLittleEndianSigned) {
  FileChannel channel =
      Open({0x05, 0x01, 0x0A, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x80});
  EXPECT_EQ(ReadWord(channel).Value, 261);
  EXPECT_EQ(ReadWord(channel).Value, 10);
  EXPECT_EQ(ReadWord(channel).Value, 0);
  const WordField minus_one = ReadWord(channel);
  EXPECT_EQ(minus_one.Value, -1);
  EXPECT_EQ(minus_one.Raw, (std::array<uint8_t, 2>{0xFF, 0xFF}));
  EXPECT_EQ(ReadWord(channel).Value, -32768);
}

TEST_F(ChannelTest, SuccessiveWordsReadConsecutiveBytes) {
  FileChannel channel = Open({1, 0, 2, 0, 3, 0});
  channel.SetChannelPos(2);
  EXPECT_EQ(ReadWord(channel).Value, 0x0200);
  EXPECT_EQ(ReadWord(channel).Value, 0x0300);
  EXPECT_EQ(channel.GetChannelPos(), 6);
}

TEST_F(ChannelTest, ReadingPastTheEndIsAnErrorNotAZero) {
  FileChannel channel = Open({0x54, 0x52, 0x34});
  EXPECT_THROW(ReadDword(channel), EndOfFileError);
  FileChannel empty = Open({});
  EXPECT_THROW(empty.ReadByte(), EndOfFileError);
}

TEST_F(ChannelTest, SkipChecksThatTheFileHoldsTheBytes) {
  FileChannel channel = Open(Bytes(10, 0));
  channel.Skip(10);
  EXPECT_EQ(channel.GetChannelPos(), 11);
  EXPECT_THROW(channel.Skip(1), EndOfFileError);
  channel.SetChannelPos(5);
  EXPECT_THROW(channel.Skip(7), EndOfFileError);
  EXPECT_EQ(channel.GetChannelPos(), 5);
}

TEST_F(ChannelTest, WriteWordWritesLowByteFirst) {
  FileChannel channel = Open(Bytes(8, 0xEE));
  WriteWord(channel, 6);
  WriteWord(channel, 0);
  WriteWord(channel, 2748);
  WriteWord(channel, 4660);
  EXPECT_EQ(Contents(), (Bytes{0x06, 0x00, 0x00, 0x00, 0xBC, 0x0A, 0x34, 0x12}));
  EXPECT_EQ(channel.GetChannelPos(), 9);
}

TEST_F(ChannelTest, WriteReplacesBytesInPlaceAndNeverGrowsTheFile) {
  Bytes original(40);
  for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<uint8_t>(i);
  FileChannel channel = Open(original);
  channel.SetChannelPos(35);
  WriteWord(channel, 0xBEEF);
  Bytes expected = original;
  expected[34] = 0xEF;
  expected[35] = 0xBE;
  EXPECT_EQ(Contents(), expected);

  channel.SetChannelPos(40);
  EXPECT_THROW(WriteWord(channel, 1), EndOfFileError);
  EXPECT_EQ(Contents().size(), 40u);
}

TEST_F(ChannelTest, WriteWordRefusesValuesThatNeedMoreThan16Bits) {
  FileChannel channel = Open(Bytes(2, 0xEE));
  EXPECT_THROW(WriteWord(channel, 65536), std::out_of_range);
  EXPECT_THROW(WriteWord(channel, -1), std::out_of_range);
  EXPECT_EQ(Contents(), (Bytes{0xEE, 0xEE}));
}

TEST(CodecAgreement, EveryWordDecodesAsItsHexText) {
  for (int bits = 0; bits <= 0xFFFF; ++bits) {
    const Bytes raw{static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8)};
    ASSERT_EQ(DecodeWord({raw[0], raw[1]}), ValueByHexText(raw)) << bits;
  }
}

TEST(CodecAgreement, DwordsDecodeAsTheirHexText) {
  for (uint64_t bits = 0; bits <= 0xFFFFFFFFull; bits += 0x10001 * 7 + 3) {
    const Bytes raw{static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                    static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
    ASSERT_EQ(DecodeDword({raw[0], raw[1], raw[2], raw[3]}), ValueByHexText(raw)) << bits;
  }
  EXPECT_EQ(DecodeDword({0xFF, 0xFF, 0xFF, 0x7F}), 2147483647);
  EXPECT_EQ(DecodeDword({0x00, 0x00, 0x00, 0x80}), -2147483647 - 1);
}

TEST(CodecAgreement, EveryWordIsWrittenAsItsHexText) {
  MemoryDisk disk;
  disk.Put("f", Bytes(2));
  FileChannel channel(disk.Opener()("f", OpenMode::ReadWrite));
  for (int32_t value = 0; value <= 0xFFFF; ++value) {
    channel.SetChannelPos(1);
    WriteWord(channel, value);
    ASSERT_EQ(disk.Get("f"), WordByHexText(value)) << value;
  }
}

}  // namespace
}  // namespace ornivale
