#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "level/level_status.h"

namespace ornivale {

// An open level file: bytes at offsets counted from 0. Every member reports
// a failure as a status that names the file's path.
class LevelFile {
 public:
  explicit LevelFile(std::string path) : path_(std::move(path)) {}
  // Closes the file if Close was not called; a failure then goes unheard,
  // so a road that wrote calls Close itself.
  virtual ~LevelFile() = default;
  LevelFile(const LevelFile&) = delete;
  LevelFile& operator=(const LevelFile&) = delete;

  const std::string& path() const { return path_; }

  // The size now, asked of the operating system each time.
  virtual LevelStatus Size(int64_t* size) = 0;
  // Reads exactly `count` bytes at `offset`: CutShort when the file ends
  // first.
  virtual LevelStatus Read(int64_t offset, uint8_t* out, std::size_t count) = 0;
  // Replaces `count` bytes at `offset`. Never grows a file: Changed, with
  // nothing written, when the file no longer holds the whole range.
  virtual LevelStatus Write(int64_t offset, const uint8_t* data,
                            std::size_t count) = 0;
  // Returns once everything written is on the disk.
  virtual LevelStatus Sync() = 0;
  // Closes the file; a file that failed to close may not hold what was
  // written. Only the first call does anything.
  virtual LevelStatus Close() = 0;

 private:
  std::string path_;
};

enum class OpenMode {
  ReadOnly,   // for looking: a read-only level can still be viewed
  ReadWrite,  // for saving; never creates or truncates a file
};

// Opens an existing regular file into `file`.
using LevelFileOpener = std::function<LevelStatus(
    const std::string& path, OpenMode mode, std::unique_ptr<LevelFile>* file)>;

}  // namespace ornivale
