// Folders, with Windows' own calls (the standard library's would bring its
// locales into the window).
#include <windows.h>

#include "disk/wide_text.h"
#include "disk/windows_files.h"
#include "disk/windows_handle.h"

namespace ornivale::windows {

LevelStatus IsFolder(const std::string& path, bool* is_folder) {
  *is_folder = false;
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    *is_folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return {};
  }
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
      error == ERROR_INVALID_NAME) {
    return {};
  }
  return Failure(LevelCode::CannotOpen, path, ErrorText(error));
}

LevelStatus ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
  entries->clear();
  std::wstring pattern = Wide(folder.empty() ? "." : folder);
  if (pattern.back() != L'\\' && pattern.back() != L'/' && pattern.back() != L':') {
    pattern += L'\\';
  }
  pattern += L'*';
  WIN32_FIND_DATAW entry;
  const HANDLE found = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                        FindExSearchNameMatch, nullptr, 0);
  if (found == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return {};  // a folder with no entry at all
    return Failure(LevelCode::CannotOpen, folder, ErrorText(error));
  }
  DWORD error = ERROR_SUCCESS;
  do {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") entries->push_back({Narrow(name), false});
  } while (FindNextFileW(found, &entry) || (error = GetLastError()) != ERROR_NO_MORE_FILES);
  FindClose(found);
  if (error != ERROR_NO_MORE_FILES) {
    entries->clear();
    return Failure(LevelCode::CannotOpen, folder, ErrorText(error));
  }
  return {};
}

}  // namespace ornivale::windows
