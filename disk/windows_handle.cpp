#include "disk/windows_handle.h"

#include "disk/wide_text.h"

namespace ornivale::windows {

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

HANDLE CreateRetryingSharingViolations(const std::wstring& path, DWORD access,
                                       DWORD share, DWORD disposition,
                                       DWORD flags) {
  constexpr int kRetries = 8;
  constexpr DWORD kStepMs = 25;  // 25, 50, … 200 ms: 900 ms in all
  for (int attempt = 0;; ++attempt) {
    const HANDLE handle = CreateFileW(path.c_str(), access, share, nullptr,
                                      disposition, flags, nullptr);
    if (handle != INVALID_HANDLE_VALUE || attempt == kRetries ||
        !HeldByAnother(GetLastError())) {
      return handle;
    }
    Sleep(kStepMs * static_cast<DWORD>(attempt + 1));
  }
}

namespace {

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

LevelStatus OpenExisting(const std::string& path, DWORD access, DWORD share,
                         HANDLE* handle) {
  const std::wstring wide = Wide(path);
  Handle opened(CreateRetryingSharingViolations(wide, access, share, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL));
  if (opened.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // A folder is refused as "access denied"; say what it really is.
    if (error == ERROR_ACCESS_DENIED && IsFolder(wide)) {
      return Failure(LevelCode::NotRegularFile, path);
    }
    LevelStatus failure = SystemFailure(LevelCode::CannotOpen, path, error);
    failure.too_many_open = error == ERROR_TOO_MANY_OPEN_FILES;
    return failure;
  }
  if (GetFileType(opened.get()) != FILE_TYPE_DISK) {
    return Failure(LevelCode::NotRegularFile, path);
  }
  *handle = opened.Release();
  return {};
}

}  // namespace ornivale::windows
