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

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace ornivale::windows
