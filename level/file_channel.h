#pragma once

#include <cstdint>
#include <memory>

#include "level/level_file.h"

namespace ornivale {

// Sequential access to an open level file at a current position. Positions
// count from 1 (the first byte of the file is position 1), as FlagsPos does.
// The channel owns the file and closes it when it goes.
class FileChannel {
 public:
  explicit FileChannel(std::unique_ptr<LevelFile> file);

  // The byte at the current position; the position advances by 1. Throws
  // EndOfFileError at the end of the file.
  uint8_t ReadByte();
  // Replaces the byte at the current position; the position advances by 1.
  // Throws EndOfFileError at the end of the file: a channel never grows it.
  void WriteByte(uint8_t byte);
  // Moves the position `count` bytes on without reading them, after checking
  // that the file holds them; throws EndOfFileError if it does not.
  void Skip(int64_t count);

  int64_t GetChannelPos() const { return position_; }
  void SetChannelPos(int64_t position) { position_ = position; }
  // Whether the file holds `count` bytes from the current position on.
  bool Holds(int64_t count) const;
  void Flush() { file_->Flush(); }

 private:
  std::unique_ptr<LevelFile> file_;
  int64_t position_ = 1;
};

}  // namespace ornivale
