#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "level/ports/level_status.h"

namespace ornivale {

// What the operating system says of a file: which file it is and what it
// was when asked. A save compares stamps to know that a level is still the
// one that was loaded, and that its path still names the file it wrote.
struct FileStamp {
  int64_t size = 0;
  int64_t modified = 0;  // last-write time, in the system's own units
  uint64_t volume = 0;   // the device or volume that holds it
  uint64_t index = 0;    // its inode or file index there
  // Its creation (birth) time, in the system's own units, where the system
  // keeps one; 0 where it doesn't. A file made in a deleted one's place may
  // get its index, never its birth.
  int64_t born = 0;

  bool SameFile(const FileStamp& other) const {
    return volume == other.volume && index == other.index;
  }
  bool operator==(const FileStamp& other) const {
    return SameFile(other) && size == other.size && modified == other.modified &&
           born == other.born;
  }
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// An open level file: bytes at offsets counted from 0. Every member reports
// a failure as a status that names the file's path.
class LevelFile {
 public:
  LevelFile(std::string path, const FileStamp& stamp)
      : path_(std::move(path)), stamp_(stamp) {}
  // Closes the file if Close was not called; a failure then goes unheard,
  // so a road that wrote calls Close itself.
  virtual ~LevelFile() = default;
  LevelFile(const LevelFile&) = delete;
  LevelFile& operator=(const LevelFile&) = delete;

  const std::string& path() const { return path_; }
  // The file as it was opened, asked of the system once, by the open.
  const FileStamp& Stamp() const { return stamp_; }

  // Reads exactly `count` bytes at `offset`: CutShort when the file ends
  // first.
  virtual LevelStatus Read(int64_t offset, uint8_t* out, std::size_t count) = 0;
  // A file held for an edit is opened for writing only once a change is
  // due, so that a look that changes nothing never wakes what watches the
  // file for writers. CannotOpen or InUse as an open says them (a read-only
  // file or file system, another program holding it), Changed when the
  // path names another file than the one held or the file was written
  // since it was opened. Reads after it see the file as now opened.
  virtual LevelStatus OpenForWriting() = 0;
  // Whether OpenForWriting would be refused for the file's permissions or
  // its file system, asked without opening it for writing: what a dry run
  // tells.
  virtual LevelStatus CheckWritable() = 0;
  // Replaces `count` bytes at `offset` with one call where the system
  // allows; only after OpenForWriting.
  virtual LevelStatus Write(int64_t offset, const uint8_t* data,
                            std::size_t count) = 0;
  // Returns once everything written is on the disk.
  virtual LevelStatus Sync() = 0;
  // Closes the file; a file that failed to close may not hold what was
  // written. Only the first call does anything.
  virtual LevelStatus Close() = 0;
  // The stamp of the file that the path names now: after a rename over it,
  // another file than this one. Works after Close too.
  virtual LevelStatus StampOfPath(FileStamp* stamp) = 0;

 private:
  std::string path_;
  FileStamp stamp_;
};

enum class OpenMode {
  ReadOnly,  // for looking: a read-only level can still be viewed
  // For an edit: opened for reading and held from the open to the close,
  // so that no other Ornivale program edits it meanwhile (on Windows, no
  // other program opens it); written after OpenForWriting. Never creates
  // or truncates a file.
  Held,
};

// What a close that fails is: for a file opened for writing, a write that
// may not have reached the disk.
inline LevelCode CloseFailureCode(bool opened_for_writing) {
  return opened_for_writing ? LevelCode::WriteFailed : LevelCode::ReadFailed;
}

}  // namespace ornivale
