#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ornivale {

// An open level file: bytes at offsets counted from 0. Every member throws
// LevelError when the operating system reports a failure; the file is closed
// when the object is destroyed.
class LevelFile {
 public:
  virtual ~LevelFile() = default;

  virtual int64_t Size() const = 0;
  // Reads exactly `count` bytes at `offset`; the range lies inside the file.
  virtual void Read(int64_t offset, uint8_t* out, std::size_t count) = 0;
  // Replaces `count` bytes at `offset`.
  virtual void Write(int64_t offset, const uint8_t* data,
                     std::size_t count) = 0;
  // Hands everything written to the operating system.
  virtual void Flush() = 0;
};

enum class OpenMode {
  ReadOnly,   // for looking: a read-only level can still be viewed
  ReadWrite,  // for saving; never creates or truncates a file
};

// Opens an existing file; throws LevelError naming the path and the reason.
using LevelFileOpener =
    std::function<std::unique_ptr<LevelFile>(const std::string& path,
                                             OpenMode mode)>;

// The operating system's files; on Windows the UTF-8 path is opened through
// the wide API, so any file name works.
std::unique_ptr<LevelFile> OpenDiskFile(const std::string& path,
                                        OpenMode mode);

}  // namespace ornivale
