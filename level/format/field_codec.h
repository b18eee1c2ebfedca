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

// The codec reads and writes fields in bytes already read from a level, or
// about to be written to it: the file is read and written a few bytes at a
// time by whoever holds it.

// The 16-bit field whose bytes start at `bytes`.
inline WordField ReadWord(const uint8_t* bytes) {
  WordField field;
  field.Raw = {bytes[0], bytes[1]};
  const auto bits = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
  field.Value = static_cast<int16_t>(bits);
  return field;
}

// The 32-bit field whose bytes start at `bytes`.
inline DwordField ReadDword(const uint8_t* bytes) {
  DwordField field;
  field.Raw = {bytes[0], bytes[1], bytes[2], bytes[3]};
  const uint32_t bits = static_cast<uint32_t>(bytes[0]) |
                        (static_cast<uint32_t>(bytes[1]) << 8) |
                        (static_cast<uint32_t>(bytes[2]) << 16) |
                        (static_cast<uint32_t>(bytes[3]) << 24);
  field.Value = static_cast<int32_t>(bits);
  return field;
}

// Puts a stored value as the level keeps it, unsigned 16-bit and low byte
// first, at `out[0]` and `out[1]`.
inline void WriteWord(uint8_t* out, uint16_t value) {
  out[0] = static_cast<uint8_t>(value & 0xFF);
  out[1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace ornivale
