#include "ui/given_level.h"

#include "disk/wide_text.h"

namespace ornivale {
namespace {

// The Open dialog hands over full paths; a name typed in a console is made
// into one so that Label1 shows the same.
std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length =
      GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}

}  // namespace

std::optional<std::wstring> LevelFromCommandLine(const wchar_t* command_line) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(command_line, &count);
  if (!arguments) return std::nullopt;
  std::optional<std::wstring> level;
  if (count > 1 && arguments[1][0] != L'\0') level = FullPath(arguments[1]);
  LocalFree(arguments);
  return level;
}

std::optional<std::wstring> FirstDroppedFile(HDROP drop) {
  if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0) return std::nullopt;
  // Asked for its length first: a dropped path may be longer than MAX_PATH.
  const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  std::wstring path(length + 1, L'\0');
  path.resize(DragQueryFileW(drop, 0, path.data(), length + 1));
  if (path.empty()) return std::nullopt;
  return path;
}

bool NamesFolder(const std::wstring& path, Disk& disk) {
  bool folder = false;
  return disk.IsFolder(Narrow(path), &folder).ok() && folder;
}

}  // namespace ornivale
