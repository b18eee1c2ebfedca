#pragma once

#include <array>
#include <cstdint>

#include "level/file_channel.h"

namespace ornivale {

// One 16-bit field as read: the raw bytes in file order and the decoded
// little-endian signed value.
struct WordField {
  std::array<uint8_t, 2> Raw{};
  int32_t Value = 0;
};

// One 32-bit field as read: the raw bytes in file order and the decoded
// little-endian signed value.
struct DwordField {
  std::array<uint8_t, 4> Raw{};
  int32_t Value = 0;
};

inline int32_t DecodeWord(const std::array<uint8_t, 2>& raw) {
  const auto bits = static_cast<uint16_t>(raw[0] | (raw[1] << 8));
  return static_cast<int16_t>(bits);
}

inline int32_t DecodeDword(const std::array<uint8_t, 4>& raw) {
  const uint32_t bits = static_cast<uint32_t>(raw[0]) |
                        (static_cast<uint32_t>(raw[1]) << 8) |
                        (static_cast<uint32_t>(raw[2]) << 16) |
                        (static_cast<uint32_t>(raw[3]) << 24);
  return static_cast<int32_t>(bits);
}

// Read a field at the channel's position; the position advances by its size.
WordField ReadWord(FileChannel& channel);
DwordField ReadDword(FileChannel& channel);

// Writes `value` (0 to 65535) as an unsigned 16-bit little-endian field, low
// byte first; the position advances by 2. Throws std::out_of_range for any
// other value, which no flag has.
void WriteWord(FileChannel& channel, int32_t value);

}  // namespace ornivale
