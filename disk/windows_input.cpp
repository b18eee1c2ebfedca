// Files read from their start (--from) and files appended to (the history).
#include <windows.h>

#include <algorithm>
#include <vector>

#include "disk/wide_text.h"
#include "disk/windows_files.h"
#include "disk/windows_handle.h"
#include "level/text/ascii.h"

namespace ornivale::windows {
namespace {

class HandleInput final : public Input {
 public:
  // Standard input is borrowed, never closed.
  HandleInput(std::string name, HANDLE handle, bool owned)
      : Input(std::move(name)),
        owned_(owned ? handle : INVALID_HANDLE_VALUE),
        handle_(handle) {}

  LevelStatus Read(char* buffer, std::size_t capacity, std::size_t* count) override {
    DWORD n = 0;
    const DWORD room = capacity > 0x40000000u ? 0x40000000u : static_cast<DWORD>(capacity);
    if (!ReadFile(handle_, buffer, room, &n, nullptr)) {
      const DWORD error = GetLastError();
      // The writing end of a pipe was closed: the input is over.
      if (error != ERROR_BROKEN_PIPE && error != ERROR_HANDLE_EOF) {
        return SystemFailure(LevelCode::ReadFailed, name(), error);
      }
    }
    *count = n;
    return {};
  }

 private:
  Handle owned_;
  HANDLE handle_;
};

// Whether the last part of `path` is one of the names Windows keeps for its
// devices, whatever follows its first dot: "aux.json" is the AUX device.
bool NamesADevice(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/:");
  std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  name = AsciiLower(name.substr(0, name.find('.')));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"}) {
    if (name == device) return true;
  }
  const bool numbered = name.size() >= 4 &&
                        (name.compare(0, 3, "com") == 0 || name.compare(0, 3, "lpt") == 0);
  const std::string number = numbered ? name.substr(3) : "";
  return numbered && (number.size() == 1 ? number[0] >= '0' && number[0] <= '9'
                                         : number == "\xC2\xB9" || number == "\xC2\xB2" ||
                                               number == "\xC2\xB3");
}

// Makes `folder` and those above it where missing, with Windows' own calls
// (the standard library's would bring its locales into the window).
DWORD MakeFolders(const std::wstring& folder) {
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? ERROR_SUCCESS : ERROR_DIRECTORY;
  }
  const std::size_t cut = folder.find_last_of(L"\\/");
  if (cut != std::wstring::npos && cut > 0 && folder[cut - 1] != L':') {
    const DWORD above = MakeFolders(folder.substr(0, cut));
    if (above != ERROR_SUCCESS) return above;
  }
  if (CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
    return ERROR_SUCCESS;
  }
  return GetLastError();
}

// Makes the folder that holds `path`, and those above it, where missing.
LevelStatus MakeFolderOf(const std::string& path) {
  const std::wstring wide = Wide(path);
  const std::size_t cut = wide.find_last_of(L"\\/");
  if (cut == std::wstring::npos || cut == 0 || wide[cut - 1] == L':') return {};
  const DWORD made = MakeFolders(wide.substr(0, cut));
  if (made == ERROR_SUCCESS) return {};
  return SystemFailure(LevelCode::CannotOpen, path, made);
}

// The bytes to append: `text`, after a line end where the file's last line
// lacks one (a crash cut an append short, a hand's edit took it away), so
// that no record is glued onto it.
LevelStatus TextAfter(HANDLE file, LARGE_INTEGER size, const std::string& path,
                      const std::string& text, std::string* appended) {
  char last = '\n';
  if (size.QuadPart > 0) {
    OVERLAPPED at{};
    const ULONGLONG offset = static_cast<ULONGLONG>(size.QuadPart - 1);
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (!ReadFile(file, &last, 1, &read, &at)) {
      return SystemFailure(LevelCode::ReadFailed, path, GetLastError());
    }
  }
  *appended = last == '\n' ? text : "\n" + text;
  return {};
}

// Writes `bytes` at the end of the file, in one write.
LevelStatus WriteAtEnd(HANDLE file, const std::string& path, const std::string& bytes) {
  OVERLAPPED at_end{};
  at_end.Offset = MAXDWORD;
  at_end.OffsetHigh = MAXDWORD;
  DWORD written = 0;
  if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, &at_end)) {
    return SystemFailure(LevelCode::WriteFailed, path, GetLastError());
  }
  // A write cut short without an error: the disk took no more.
  if (written != bytes.size()) return SystemFailure(LevelCode::WriteFailed, path, ERROR_DISK_FULL);
  return {};
}

// Copies the stretches of the file `from` (at `path`) to `to` (at `fresh`).
LevelStatus CopyStretches(HANDLE from, const std::string& path, const std::vector<Stretch>& kept,
                          HANDLE to, const std::string& fresh) {
  std::vector<char> buffer(64 * 1024);
  for (const Stretch& stretch : kept) {
    for (int64_t done = 0; done < stretch.size;) {
      const int64_t want = std::min<int64_t>(stretch.size - done, buffer.size());
      OVERLAPPED at{};
      const auto offset = static_cast<ULONGLONG>(stretch.offset + done);
      at.Offset = static_cast<DWORD>(offset);
      at.OffsetHigh = static_cast<DWORD>(offset >> 32);
      DWORD read = 0;
      if (!ReadFile(from, buffer.data(), static_cast<DWORD>(want), &read, &at)) {
        return SystemFailure(LevelCode::ReadFailed, path, GetLastError());
      }
      if (read == 0) return Failure(LevelCode::ReadFailed, path, "it ended while it was copied");
      DWORD written = 0;
      if (!WriteFile(to, buffer.data(), read, &written, nullptr)) {
        return SystemFailure(LevelCode::WriteFailed, fresh, GetLastError());
      }
      if (written != read) return SystemFailure(LevelCode::WriteFailed, fresh, ERROR_DISK_FULL);
      done += read;
    }
  }
  return {};
}

void Unlock(HANDLE locked) {
  OVERLAPPED whole{};
  UnlockFileEx(locked, 0, MAXDWORD, MAXDWORD, &whole);
}

// Whether `file` is the file at `path` now: a rewrite may have put another
// one in its place.
bool StillAt(HANDLE file, const std::string& path) {
  Handle at_path(CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION held{};
  BY_HANDLE_FILE_INFORMATION now{};
  return at_path.get() != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &held) &&
         GetFileInformationByHandle(at_path.get(), &now) &&
         held.dwVolumeSerialNumber == now.dwVolumeSerialNumber &&
         held.nFileIndexHigh == now.nFileIndexHigh && held.nFileIndexLow == now.nFileIndexLow;
}

// The path of the open file `file` as the system resolved it, links
// followed; `given` where it can't tell.
std::wstring FinalPathOf(HANDLE file, const std::wstring& given) {
  std::wstring final_path(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD size = GetFinalPathNameByHandleW(file, final_path.data(),
                                                 static_cast<DWORD>(final_path.size()),
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (size == 0) return given;
    if (size < final_path.size()) {
      final_path.resize(size);
      return final_path;
    }
    final_path.resize(size);
  }
  return given;
}

// BeingCompacted where a rewrite holds the history open as `history`: it
// holds its new file, shared with no one, from the start to the rename.
LevelStatus RewriteHolds(HANDLE history, const std::string& path) {
  Handle fresh(CreateFileW((FinalPathOf(history, Wide(path)) + L".new").c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (fresh.get() == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) {
    return Failure(LevelCode::BeingCompacted, path);
  }
  return {};
}

// Opens the history at `path` (made where missing, with `disposition`)
// and locks it whole against other programs' appends (Unlock lets go). It
// is shared for deletion, so that a rewrite may replace it meanwhile: the
// lock is then let go, and the file now at the path taken instead. A
// rewrite that holds it is not waited for. The caller owns the handle.
LevelStatus OpenLocked(const std::string& path, DWORD disposition, HANDLE* locked) {
  constexpr int kReplacedTimes = 8;
  for (int replaced = 0;; ++replaced) {
    Handle opened(CreateRetryingSharingViolations(
        Wide(path), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, disposition,
        FILE_ATTRIBUTE_NORMAL));
    if (opened.get() == INVALID_HANDLE_VALUE) {
      return SystemFailure(LevelCode::CannotOpen, path, GetLastError());
    }
    if (GetFileType(opened.get()) != FILE_TYPE_DISK) {
      return Failure(LevelCode::NotRegularFile, path);
    }
    OVERLAPPED whole{};
    bool held = false;
    // The lock's own error: the look for a rewrite and the pause make
    // others.
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt <= 8; ++attempt) {
      held = LockFileEx(opened.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                        MAXDWORD, MAXDWORD, &whole);
      if (held) break;
      error = GetLastError();
      if (!HeldByAnother(error)) break;
      const LevelStatus rewriting = RewriteHolds(opened.get(), path);
      if (!rewriting.ok()) return rewriting;
      Sleep(25 * static_cast<DWORD>(attempt + 1));
    }
    if (!held) return SystemFailure(LevelCode::InUse, path, error);
    if (StillAt(opened.get(), path)) {
      *locked = opened.Release();
      return {};
    }
    Unlock(opened.get());
    if (replaced == kReplacedTimes) return Failure(LevelCode::InUse, path);
  }
}

}  // namespace

LevelStatus OpenInput(const std::string& path, std::unique_ptr<Input>* input) {
  if (NamesADevice(path)) return Failure(LevelCode::NotRegularFile, path);
  HANDLE opened = INVALID_HANDLE_VALUE;
  const LevelStatus status = OpenExisting(
      path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &opened);
  if (!status.ok()) return status;
  *input = std::make_unique<HandleInput>(path, opened, true);
  return {};
}

LevelStatus OpenStandardInput(std::unique_ptr<Input>* input) {
  const HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
    return Failure(LevelCode::CannotOpen, "standard input", "it is closed");
  }
  *input = std::make_unique<HandleInput>("standard input", handle, false);
  return {};
}

LevelStatus Append(const std::string& path, const std::string& text) {
  const LevelStatus made = MakeFolderOf(path);
  if (!made.ok()) return made;
  // Every write goes to the end (the offset of all ones); the lock keeps
  // other programs' appends out until this one is written and synced. Read
  // for the last byte, written to take back a failed append.
  HANDLE opened = INVALID_HANDLE_VALUE;
  LevelStatus status = OpenLocked(path, OPEN_ALWAYS, &opened);
  if (!status.ok()) return status;
  Handle appended(opened);
  // The size under the lock: where this append begins.
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(appended.get(), &size)) {
    return SystemFailure(LevelCode::ReadFailed, path, GetLastError());
  }
  std::string bytes;
  status = TextAfter(appended.get(), size, path, text, &bytes);
  if (status.ok()) status = WriteAtEnd(appended.get(), path, bytes);
  if (status.ok() && !FlushFileBuffers(appended.get())) {
    status = SystemFailure(LevelCode::WriteFailed, path, GetLastError());
  }
  // What a failed append wrote is taken back, so that no part of a line
  // stays; the size it found is where the next one begins.
  if (!status.ok()) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile = size;
    if (SetFileInformationByHandle(appended.get(), FileEndOfFileInfo, &end, sizeof end)) {
      FlushFileBuffers(appended.get());
    }
  }
  Unlock(appended.get());
  const DWORD closed = appended.Close();
  if (status.ok() && closed != ERROR_SUCCESS) {
    status = SystemFailure(LevelCode::WriteFailed, path, closed);
  }
  return status;
}

// Put in the history's place while its lock is held: an append that opened
// it meanwhile finds, once it has the lock, that another file is at the
// path, and appends to that one.
LevelStatus Rewrite(const std::string& path, const Rewriting& keep) {
  HANDLE opened = INVALID_HANDLE_VALUE;
  LevelStatus status = OpenLocked(path, OPEN_EXISTING, &opened);
  if (!status.ok()) return status;
  Handle locked(opened);
  // Beside the file the path leads to, so that a link stays a link; made
  // afresh, never through a link (one left by a crash is removed first),
  // and shared with no one, for appends to know a rewrite holds the
  // history.
  const std::wstring real = FinalPathOf(locked.get(), Wide(path));
  const std::wstring fresh_wide = real + L".new";
  const std::string fresh = Narrow(fresh_wide);
  if (!DeleteFileW(fresh_wide.c_str())) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) status = SystemFailure(LevelCode::CannotOpen, fresh, error);
  }
  Handle written(status.ok() ? CreateFileW(fresh_wide.c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)
                             : INVALID_HANDLE_VALUE);
  if (status.ok() && written.get() == INVALID_HANDLE_VALUE) {
    status = SystemFailure(LevelCode::CannotOpen, fresh, GetLastError());
  }
  std::vector<Stretch> kept;
  if (status.ok()) {
    HandleInput now(path, locked.get(), false);
    status = keep(now, &kept);
  }
  if (status.ok()) status = CopyStretches(locked.get(), path, kept, written.get(), fresh);
  if (status.ok() && !FlushFileBuffers(written.get())) {
    status = SystemFailure(LevelCode::WriteFailed, fresh, GetLastError());
  }
  const bool made = written.get() != INVALID_HANDLE_VALUE;
  const DWORD closed = written.Close();
  if (status.ok() && closed != ERROR_SUCCESS) {
    status = SystemFailure(LevelCode::WriteFailed, fresh, closed);
  }
  if (status.ok() && !ReplaceFileW(real.c_str(), fresh_wide.c_str(), nullptr,
                                   REPLACEFILE_WRITE_THROUGH, nullptr, nullptr)) {
    status = SystemFailure(LevelCode::WriteFailed, path, GetLastError());
  }
  if (!status.ok() && made) DeleteFileW(fresh_wide.c_str());
  Unlock(locked.get());
  const DWORD unlocked = locked.Close();
  if (status.ok() && unlocked != ERROR_SUCCESS) {
    status = SystemFailure(LevelCode::WriteFailed, path, unlocked);
  }
  return status;
}

// A file that is there is looked at; a folder's permissions are not.
LevelStatus CheckAppendable(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return {};
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Failure(LevelCode::NotRegularFile, path);
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    return SystemFailure(LevelCode::CannotOpen, path, ERROR_ACCESS_DENIED);
  }
  return {};
}

}  // namespace ornivale::windows
