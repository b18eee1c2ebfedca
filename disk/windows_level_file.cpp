#include <windows.h>

#include <string>

#include "disk/held_files.h"
#include "disk/wide_text.h"
#include "disk/windows_files.h"
#include "disk/windows_handle.h"

namespace ornivale::windows {
namespace {

OVERLAPPED At(int64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset) & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  return at;
}

// Room for one call of ReadFile or WriteFile.
DWORD Chunk(std::size_t count) {
  return count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
}

FileStamp StampOf(const BY_HANDLE_FILE_INFORMATION& info) {
  const auto join = [](DWORD high, DWORD low) {
    return (static_cast<uint64_t>(high) << 32) | low;
  };
  FileStamp stamp;
  stamp.size = static_cast<int64_t>(join(info.nFileSizeHigh, info.nFileSizeLow));
  stamp.modified = static_cast<int64_t>(join(info.ftLastWriteTime.dwHighDateTime,
                                             info.ftLastWriteTime.dwLowDateTime));
  stamp.volume = info.dwVolumeSerialNumber;
  stamp.index = join(info.nFileIndexHigh, info.nFileIndexLow);
  stamp.born = static_cast<int64_t>(join(info.ftCreationTime.dwHighDateTime,
                                         info.ftCreationTime.dwLowDateTime));
  return stamp;
}

// Held, a level is shared with no one: a program that holds it open, even
// only to read it, stops the edit, and so does another Ornivale program
// editing it.
constexpr DWORD kHeldShare = 0;

// The stamp of the file at `path`. An open for no access at all meets no
// sharing rule, so it works even while another program holds the file.
LevelStatus StampAt(const std::string& path, FileStamp* stamp) {
  Handle found(CreateFileW(Wide(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (found.get() == INVALID_HANDLE_VALUE) {
    return SystemFailure(LevelCode::CannotOpen, path, GetLastError());
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(found.get(), &info)) {
    return SystemFailure(LevelCode::ReadFailed, path, GetLastError());
  }
  *stamp = StampOf(info);
  return {};
}

// InUse at once where this program holds the file at `path` already, by
// another name: its hold can't end while the edit waits for it.
LevelStatus HeldHere(const std::string& path) {
  FileStamp stamp;
  if (HeldFiles::Here().Empty() || !StampAt(path, &stamp).ok() ||
      !HeldFiles::Here().Holds(stamp.volume, stamp.index)) {
    return {};
  }
  LevelStatus here = Failure(LevelCode::InUse, path);
  here.held_here = true;
  return here;
}

class WindowsFile final : public LevelFile {
 public:
  // `held`: opened for an edit, and so among the files this program holds.
  WindowsFile(std::string path, const FileStamp& stamp, HANDLE handle,
              LevelStatus cannot_write, bool held)
      : LevelFile(std::move(path), stamp),
        handle_(handle),
        cannot_write_(std::move(cannot_write)),
        held_(held) {
    if (held_) HeldFiles::Here().Add(stamp.volume, stamp.index);
  }
  ~WindowsFile() override { LetGo(); }
  WindowsFile(const WindowsFile&) = delete;
  WindowsFile& operator=(const WindowsFile&) = delete;

  LevelStatus Read(int64_t offset, uint8_t* out, std::size_t count) override {
    while (count > 0) {
      OVERLAPPED at = At(offset);
      DWORD n = 0;
      if (!ReadFile(handle_.get(), out, Chunk(count), &n, &at)) {
        const DWORD error = GetLastError();
        if (error != ERROR_HANDLE_EOF) {
          return SystemFailure(LevelCode::ReadFailed, path(), error);
        }
      }
      if (n == 0) {
        LevelStatus status = Failure(LevelCode::CutShort, path());
        status.offset = offset;
        return status;
      }
      out += n;
      offset += n;
      count -= n;
    }
    return {};
  }

  // A held level was opened for writing too where it may be written: a
  // handle shares nothing with a later open of its own program, so it
  // can't make way for one without letting another program in between.
  LevelStatus OpenForWriting() override {
    if (!cannot_write_.ok()) return cannot_write_;
    writable_ = true;
    return {};
  }

  LevelStatus CheckWritable() override { return cannot_write_; }

  // No other program can change the file meanwhile: a held level is shared
  // with none.
  LevelStatus Write(int64_t offset, const uint8_t* data,
                    std::size_t count) override {
    if (!writable_) return Failure(LevelCode::WriteFailed, path(), "it is not open for writing");
    bool some_written = false;
    while (count > 0) {
      OVERLAPPED at = At(offset);
      DWORD n = 0;
      const bool wrote = WriteFile(handle_.get(), data, Chunk(count), &n, &at);
      if (!wrote || n == 0) {
        LevelStatus status = SystemFailure(
            LevelCode::WriteFailed, path(), wrote ? ERROR_WRITE_FAULT : GetLastError());
        status.may_be_written = some_written;
        return status;
      }
      some_written = true;
      data += n;
      offset += n;
      count -= n;
    }
    return {};
  }

  LevelStatus Sync() override {
    if (!FlushFileBuffers(handle_.get())) {
      return SystemFailure(LevelCode::WriteFailed, path(), GetLastError());
    }
    return {};
  }

  LevelStatus Close() override {
    LetGo();
    const DWORD error = handle_.Close();
    if (error == ERROR_SUCCESS) return {};
    return SystemFailure(CloseFailureCode(writable_), path(), error);
  }

  LevelStatus StampOfPath(FileStamp* stamp) override { return StampAt(path(), stamp); }

 private:
  void LetGo() {
    if (held_) HeldFiles::Here().Remove(Stamp().volume, Stamp().index);
    held_ = false;
  }

  Handle handle_;
  LevelStatus cannot_write_;  // why a held level could not be opened for writing
  bool writable_ = false;
  bool held_;
};

}  // namespace

LevelStatus OpenLevel(const std::string& path, OpenMode mode,
                      std::unique_ptr<LevelFile>* file) {
  // Looking lets other programs go on reading and writing; an edit holds
  // the level from the check to the last byte read back, opened for
  // writing where it may be (Windows tells no one of an open that writes
  // nothing), else for reading alone, to be refused only if a write is due.
  HANDLE handle = INVALID_HANDLE_VALUE;
  LevelStatus cannot_write;
  LevelStatus status;
  if (mode == OpenMode::ReadOnly) {
    status = OpenExisting(path, GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &handle);
  } else {
    status = HeldHere(path);
    if (!status.ok()) return status;
    cannot_write = OpenExisting(path, GENERIC_READ | GENERIC_WRITE, kHeldShare, &handle);
    status = cannot_write.code == LevelCode::CannotOpen
                 ? OpenExisting(path, GENERIC_READ, kHeldShare, &handle)
                 : cannot_write;
  }
  if (!status.ok()) return status;
  Handle opened(handle);
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(opened.get(), &info)) {
    return SystemFailure(LevelCode::ReadFailed, path, GetLastError());
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    return Failure(LevelCode::NotRegularFile, path);
  }
  *file = std::make_unique<WindowsFile>(path, StampOf(info), opened.Release(), cannot_write,
                                        mode == OpenMode::Held);
  return {};
}

}  // namespace ornivale::windows
