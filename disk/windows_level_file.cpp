#include <windows.h>

#include <string>

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
  return stamp;
}

// Held, a level is shared with no one: a program that holds it open, even
// only to read it, stops the edit, and so does another Ornivale program
// editing it.
constexpr DWORD kHeldShare = 0;

class WindowsFile final : public LevelFile {
 public:
  WindowsFile(std::string path, const FileStamp& stamp, HANDLE handle)
      : LevelFile(std::move(path), stamp), handle_(handle) {}

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

  // A handle shares nothing that its own later open could ask for, so the
  // held one makes way for one that writes: another program may open the
  // level in between, which the reads that follow show (the open is tried
  // again for a moment while one holds it).
  LevelStatus OpenForWriting() override {
    handle_.Close();
    HANDLE handle = INVALID_HANDLE_VALUE;
    const LevelStatus status =
        OpenExisting(path(), GENERIC_READ | GENERIC_WRITE, kHeldShare, &handle);
    if (!status.ok()) return status;
    Handle opened(handle);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(opened.get(), &info)) {
      return SystemFailure(LevelCode::ReadFailed, path(), GetLastError());
    }
    const FileStamp now = StampOf(info);
    if (!now.SameFile(Stamp())) return Failure(LevelCode::Changed, path(), "another file is there");
    if (now != Stamp()) return Failure(LevelCode::Changed, path(), "it was written meanwhile");
    handle_.swap(opened);
    writable_ = true;
    return {};
  }

  LevelStatus CheckWritable() override {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle_.get(), &info)) {
      return SystemFailure(LevelCode::ReadFailed, path(), GetLastError());
    }
    DWORD volume_flags = 0;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ||
        (GetVolumeInformationByHandleW(handle_.get(), nullptr, 0, nullptr, nullptr,
                                       &volume_flags, nullptr, 0) &&
         (volume_flags & FILE_READ_ONLY_VOLUME))) {
      return SystemFailure(LevelCode::CannotOpen, path(), ERROR_ACCESS_DENIED);
    }
    return {};
  }

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
    const DWORD error = handle_.Close();
    if (error == ERROR_SUCCESS) return {};
    return SystemFailure(CloseFailureCode(writable_), path(), error);
  }

  // An open for no access at all meets no sharing rule, so it works even
  // while another program holds the file.
  LevelStatus StampOfPath(FileStamp* stamp) override {
    Handle found(CreateFileW(
        Wide(path()).c_str(), 0,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (found.get() == INVALID_HANDLE_VALUE) {
      return SystemFailure(LevelCode::CannotOpen, path(), GetLastError());
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(found.get(), &info)) {
      return SystemFailure(LevelCode::ReadFailed, path(), GetLastError());
    }
    *stamp = StampOf(info);
    return {};
  }

 private:
  Handle handle_;
  bool writable_ = false;
};

}  // namespace

LevelStatus OpenLevel(const std::string& path, OpenMode mode,
                      std::unique_ptr<LevelFile>* file) {
  // Looking lets other programs go on reading and writing; an edit holds
  // the level from the check to the last byte read back.
  const DWORD share = mode == OpenMode::ReadOnly
                          ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
                          : kHeldShare;
  HANDLE handle = INVALID_HANDLE_VALUE;
  const LevelStatus status = OpenExisting(path, GENERIC_READ, share, &handle);
  if (!status.ok()) return status;
  Handle opened(handle);
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(opened.get(), &info)) {
    return SystemFailure(LevelCode::ReadFailed, path, GetLastError());
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    return Failure(LevelCode::NotRegularFile, path);
  }
  *file = std::make_unique<WindowsFile>(path, StampOf(info), opened.Release());
  return {};
}

}  // namespace ornivale::windows
