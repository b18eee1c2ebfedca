#include <windows.h>

#include <string>

#include "disk/wide_text.h"
#include "level/level_file.h"

namespace ornivale {
namespace {

// The system's own words for an error, in UTF-8, without the final full
// stop and line break.
std::string ErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide = length > 0 ? std::wstring(text, length) : std::wstring();
  LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' ||
                           wide.back() == L'.' || wide.back() == L' ')) {
    wide.pop_back();
  }
  if (wide.empty()) return "system error " + std::to_string(error);
  return Narrow(wide);
}

bool HeldByAnother(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

LevelStatus SystemFailure(LevelCode code, const std::string& path, DWORD error) {
  if (HeldByAnother(error)) return Failure(LevelCode::InUse, path);
  return Failure(code, path, ErrorText(error));
}

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

// Owns a handle: closed once, by Close or at the end of its life.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  HANDLE get() const { return handle_; }
  HANDLE Release() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }
  // ERROR_SUCCESS, or the error of a close that failed.
  DWORD Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return ERROR_SUCCESS;
    const BOOL closed = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed ? ERROR_SUCCESS : GetLastError();
  }

 private:
  HANDLE handle_;
};

// Virus scanners, indexers and backup programs hold a file for a moment
// after it changes: an open that meets one is tried again for about a
// second, a little later each time, before the level counts as in use.
HANDLE CreateRetryingSharingViolations(const std::wstring& path, DWORD access,
                                       DWORD share, DWORD flags) {
  constexpr int kRetries = 8;
  constexpr DWORD kStepMs = 25;  // 25, 50, … 200 ms: 900 ms in all
  for (int attempt = 0;; ++attempt) {
    const HANDLE handle = CreateFileW(path.c_str(), access, share, nullptr,
                                      OPEN_EXISTING, flags, nullptr);
    if (handle != INVALID_HANDLE_VALUE || attempt == kRetries ||
        !HeldByAnother(GetLastError())) {
      return handle;
    }
    Sleep(kStepMs * static_cast<DWORD>(attempt + 1));
  }
}

class WindowsFile final : public LevelFile {
 public:
  WindowsFile(std::string path, const FileStamp& stamp, HANDLE handle,
              OpenMode mode)
      : LevelFile(std::move(path), stamp), handle_(handle), mode_(mode) {}

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

  // No other program can change the file meanwhile: a level opened for
  // writing is shared with none.
  LevelStatus Write(int64_t offset, const uint8_t* data,
                    std::size_t count) override {
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
    return SystemFailure(CloseFailureCode(mode_), path(), error);
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
  OpenMode mode_;
};

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class WindowsDisk final : public Disk {
 public:
  LevelStatus Open(const std::string& path, OpenMode mode,
                   std::unique_ptr<LevelFile>* file) override {
    const std::wstring wide = Wide(path);
    // Looking lets other programs go on reading and writing. Editing shares
    // nothing, from the check of the level to the last byte read back: a
    // program that holds the level open, even only to read it, stops it,
    // and so does another Ornivale program editing it.
    const DWORD access = mode == OpenMode::ReadOnly
                             ? GENERIC_READ
                             : GENERIC_READ | GENERIC_WRITE;
    const DWORD share =
        mode == OpenMode::ReadOnly
            ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
            : 0;
    Handle opened(CreateRetryingSharingViolations(wide, access, share,
                                                  FILE_ATTRIBUTE_NORMAL));
    if (opened.get() == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      // A folder is refused as "access denied"; say what it really is.
      if (error == ERROR_ACCESS_DENIED && IsFolder(wide)) {
        return Failure(LevelCode::NotRegularFile, path);
      }
      return SystemFailure(LevelCode::CannotOpen, path, error);
    }
    if (GetFileType(opened.get()) != FILE_TYPE_DISK) {
      return Failure(LevelCode::NotRegularFile, path);
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(opened.get(), &info)) {
      return SystemFailure(LevelCode::ReadFailed, path, GetLastError());
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      return Failure(LevelCode::NotRegularFile, path);
    }
    *file = std::make_unique<WindowsFile>(path, StampOf(info),
                                          opened.Release(), mode);
    return {};
  }
};

}  // namespace

Disk& Disk::Default() {
  static WindowsDisk disk;
  return disk;
}

}  // namespace ornivale
