#pragma once

#include <array>
#include <cstdint>

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

// The field whose bytes start at `bytes`.
inline WordField WordAt(const uint8_t* bytes) {
  WordField field;
  field.Raw = {bytes[0], bytes[1]};
  const auto bits = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
  field.Value = static_cast<int16_t>(bits);
  return field;
}

inline DwordField DwordAt(const uint8_t* bytes) {
  DwordField field;
  field.Raw = {bytes[0], bytes[1], bytes[2], bytes[3]};
  const uint32_t bits = static_cast<uint32_t>(bytes[0]) |
                        (static_cast<uint32_t>(bytes[1]) << 8) |
                        (static_cast<uint32_t>(bytes[2]) << 16) |
                        (static_cast<uint32_t>(bytes[3]) << 24);
  field.Value = static_cast<int32_t>(bits);
  return field;
}

// A stored value as the level keeps it: unsigned 16-bit, low byte first.
inline std::array<uint8_t, 2> EncodeWord(uint16_t value) {
  return {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
}

}  // namespace ornivale
