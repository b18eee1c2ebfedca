#include "level/file_channel.h"

#include <string>

#include "level/level_error.h"

namespace ornivale {
namespace {

[[noreturn]] void ThrowEndOfFile(int64_t position) {
  throw EndOfFileError("the file ends before position " +
                       std::to_string(position));
}

}  // namespace

FileChannel::FileChannel(std::unique_ptr<LevelFile> file)
    : file_(std::move(file)) {}

bool FileChannel::Holds(int64_t count) const {
  return count >= 0 && position_ >= 1 &&
         position_ - 1 <= file_->Size() - count;
}

uint8_t FileChannel::ReadByte() {
  if (!Holds(1)) ThrowEndOfFile(position_);
  uint8_t byte;
  file_->Read(position_ - 1, &byte, 1);
  ++position_;
  return byte;
}

void FileChannel::WriteByte(uint8_t byte) {
  if (!Holds(1)) ThrowEndOfFile(position_);
  file_->Write(position_ - 1, &byte, 1);
  ++position_;
}

void FileChannel::Skip(int64_t count) {
  if (!Holds(count)) ThrowEndOfFile(position_ + count);
  position_ += count;
}

}  // namespace ornivale
