#pragma once

#include <windows.h>

#include <string>

#include "level/ports/level_status.h"

namespace ornivale::windows {

// The system's own words for an error, in UTF-8, without the final full
// stop and line break.
std::string ErrorText(DWORD error);

// Whether another program's hold on a file refused an open or a lock.
inline bool HeldByAnother(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// `code` with the system's reason, or InUse when another program holds the
// file.
inline LevelStatus SystemFailure(LevelCode code, const std::string& path,
                                 DWORD error) {
  if (HeldByAnother(error)) return Failure(LevelCode::InUse, path);
  return Failure(code, path, ErrorText(error));
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
// after it changes, and another Ornivale program holds a level while it
// edits it: an open that meets one is tried again for about a second, a
// little later each time, before the file counts as in use.
HANDLE CreateRetryingSharingViolations(const std::wstring& path, DWORD access,
                                       DWORD share, DWORD disposition,
                                       DWORD flags);

// Opens the existing file at `path`, tried again while another program
// holds it, into `handle`, which the caller then owns: NotRegularFile for a
// folder, a pipe or a device, CannotOpen or InUse with the system's words
// otherwise.
LevelStatus OpenExisting(const std::string& path, DWORD access, DWORD share,
                         HANDLE* handle);

}  // namespace ornivale::windows
