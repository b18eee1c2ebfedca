#include "level/field_codec.h"

#include <stdexcept>
#include <string>

namespace ornivale {

WordField ReadWord(FileChannel& channel) {
  WordField field;
  for (uint8_t& byte : field.Raw) byte = channel.ReadByte();
  field.Value = DecodeWord(field.Raw);
  return field;
}

DwordField ReadDword(FileChannel& channel) {
  DwordField field;
  for (uint8_t& byte : field.Raw) byte = channel.ReadByte();
  field.Value = DecodeDword(field.Raw);
  return field;
}

void WriteWord(FileChannel& channel, int32_t value) {
  if (value < 0 || value > 0xFFFF) {
    throw std::out_of_range("a 16-bit field can't hold " +
                            std::to_string(value));
  }
  channel.WriteByte(static_cast<uint8_t>(value & 0xFF));
  channel.WriteByte(static_cast<uint8_t>((value >> 8) & 0xFF));
}

}  // namespace ornivale
