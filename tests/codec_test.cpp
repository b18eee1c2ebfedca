#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "level/format/field_codec.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;

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

TEST(FieldCodec, DwordKeepsRawBytesAndDecodesLittleEndianSigned) {
  const Bytes bytes{0x54, 0x52, 0x34, 0x00, 0xF0, 0xFF, 0xFF, 0xFF};
  const DwordField version = ReadDword(bytes.data());
  EXPECT_EQ(version.Value, 3428948);
  EXPECT_EQ(version.Raw, (std::array<uint8_t, 4>{0x54, 0x52, 0x34, 0x00}));
  EXPECT_EQ(ReadDword(bytes.data() + 4).Value, -16);
}

TEST(FieldCodec, WordDecodesLittleEndianSigned) {
  const Bytes bytes{0x05, 0x01, 0x0A, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x80};
  EXPECT_EQ(ReadWord(&bytes[0]).Value, 261);
  EXPECT_EQ(ReadWord(&bytes[2]).Value, 10);
  EXPECT_EQ(ReadWord(&bytes[4]).Value, 0);
  const WordField minus_one = ReadWord(&bytes[6]);
  EXPECT_EQ(minus_one.Value, -1);
  EXPECT_EQ(minus_one.Raw, (std::array<uint8_t, 2>{0xFF, 0xFF}));
  EXPECT_EQ(ReadWord(&bytes[8]).Value, -32768);
}

Bytes Written(uint16_t value) {
  Bytes bytes(2, 0xEE);
  WriteWord(bytes.data(), value);
  return bytes;
}

TEST(FieldCodec, WriteWordPutsTheLowByteFirst) {
  EXPECT_EQ(Written(6), (Bytes{0x06, 0x00}));
  EXPECT_EQ(Written(0), (Bytes{0x00, 0x00}));
  EXPECT_EQ(Written(2748), (Bytes{0xBC, 0x0A}));
  EXPECT_EQ(Written(4660), (Bytes{0x34, 0x12}));
}

TEST(CodecAgreement, EveryWordDecodesAsItsHexText) {
  for (int bits = 0; bits <= 0xFFFF; ++bits) {
    const Bytes raw{static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8)};
    ASSERT_EQ(ReadWord(raw.data()).Value, ValueByHexText(raw)) << bits;
  }
}

TEST(CodecAgreement, DwordsDecodeAsTheirHexText) {
  for (uint64_t bits = 0; bits <= 0xFFFFFFFFull; bits += 0x10001 * 7 + 3) {
    const Bytes raw{static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                    static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
    ASSERT_EQ(ReadDword(raw.data()).Value, ValueByHexText(raw)) << bits;
  }
  EXPECT_EQ(ReadDword(Bytes{0xFF, 0xFF, 0xFF, 0x7F}.data()).Value, 2147483647);
  EXPECT_EQ(ReadDword(Bytes{0x00, 0x00, 0x00, 0x80}.data()).Value, -2147483647 - 1);
}

TEST(CodecAgreement, EveryWordIsWrittenAsItsHexText) {
  for (int32_t value = 0; value <= 0xFFFF; ++value) {
    ASSERT_EQ(Written(static_cast<uint16_t>(value)), WordByHexText(value)) << value;
  }
}

}  // namespace
}  // namespace ornivale
