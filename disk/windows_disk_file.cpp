#include <windows.h>

#include <string>

#include "disk/disk_file.h"
#include "level/utf8.h"

namespace ornivale {
namespace {

std::wstring Wide(const std::string& utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  return std::wstring(wide.begin(), wide.end());
}

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
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
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

class WindowsFile final : public LevelFile {
 public:
  WindowsFile(std::string path, HANDLE handle, OpenMode mode)
      : LevelFile(std::move(path)), handle_(handle), mode_(mode) {}
  ~WindowsFile() override { Close(); }

  LevelStatus Size(int64_t* size) override {
    LARGE_INTEGER bytes;
    if (!GetFileSizeEx(handle_, &bytes)) {
      return SystemFailure(LevelCode::ReadFailed, path(), GetLastError());
    }
    *size = bytes.QuadPart;
    return {};
  }

  LevelStatus Read(int64_t offset, uint8_t* out, std::size_t count) override {
    while (count > 0) {
      OVERLAPPED at = At(offset);
      DWORD n = 0;
      if (!ReadFile(handle_, out, Chunk(count), &n, &at)) {
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

  // A write at or past the end would grow the file: the size is asked right
  // before. No other program can change it meanwhile, since a level opened
  // for writing shares no write access.
  LevelStatus Write(int64_t offset, const uint8_t* data,
                    std::size_t count) override {
    int64_t size = 0;
    if (LevelStatus status = Size(&size); !status.ok()) return status;
    if (offset < 0 || size - offset < static_cast<int64_t>(count)) {
      return Failure(LevelCode::Changed, path(), "it was cut short");
    }
    while (count > 0) {
      OVERLAPPED at = At(offset);
      DWORD n = 0;
      if (!WriteFile(handle_, data, Chunk(count), &n, &at)) {
        return SystemFailure(LevelCode::WriteFailed, path(), GetLastError());
      }
      if (n == 0) {
        return SystemFailure(LevelCode::WriteFailed, path(), ERROR_WRITE_FAULT);
      }
      data += n;
      offset += n;
      count -= n;
    }
    return {};
  }

  LevelStatus Sync() override {
    if (!FlushFileBuffers(handle_)) {
      return SystemFailure(LevelCode::WriteFailed, path(), GetLastError());
    }
    return {};
  }

  LevelStatus Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return {};
    const BOOL closed = CloseHandle(handle_);
    const DWORD error = GetLastError();
    handle_ = INVALID_HANDLE_VALUE;
    if (closed) return {};
    return SystemFailure(mode_ == OpenMode::ReadWrite ? LevelCode::WriteFailed
                                                      : LevelCode::ReadFailed,
                         path(), error);
  }

 private:
  HANDLE handle_;
  OpenMode mode_;
};

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

LevelStatus OpenDiskFile(const std::string& path, OpenMode mode,
                         std::unique_ptr<LevelFile>* file) {
  const std::wstring wide = Wide(path);
  // Looking lets other programs go on reading and writing; saving lets them
  // only read, from the check of the level to the last byte written.
  const DWORD access =
      mode == OpenMode::ReadOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  const DWORD share = mode == OpenMode::ReadOnly
                          ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
                          : FILE_SHARE_READ;
  const HANDLE handle = CreateFileW(wide.c_str(), access, share, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // A folder is refused as "access denied"; say what it really is.
    if (error == ERROR_ACCESS_DENIED && IsFolder(wide)) {
      return Failure(LevelCode::NotRegularFile, path);
    }
    return SystemFailure(LevelCode::CannotOpen, path, error);
  }
  auto opened = std::make_unique<WindowsFile>(path, handle, mode);
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    return Failure(LevelCode::NotRegularFile, path);
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) {
    return SystemFailure(LevelCode::ReadFailed, path, GetLastError());
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    return Failure(LevelCode::NotRegularFile, path);
  }
  *file = std::move(opened);
  return {};
}

}  // namespace ornivale
