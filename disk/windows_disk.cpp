#include <windows.h>

#include <chrono>

#include "disk/wide_text.h"
#include "disk/windows_files.h"
#include "level/text/ascii.h"

namespace ornivale {
namespace {

class WindowsDisk final : public Disk {
 public:
  LevelStatus Open(const std::string& path, OpenMode mode,
                   std::unique_ptr<LevelFile>* file) override {
    return windows::OpenLevel(path, mode, file);
  }
  bool Exists(const std::string& path) override {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  LevelStatus OpenInput(const std::string& path,
                        std::unique_ptr<Input>* input) override {
    return windows::OpenInput(path, input);
  }
  LevelStatus OpenStandardInput(std::unique_ptr<Input>* input) override {
    return windows::OpenStandardInput(input);
  }
  // A pipe whose reader has gone refuses even an empty write; asked only
  // after a write to it failed. (The write end can't be peeked at: that
  // takes read access.)
  bool StandardOutputClosed() override {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE || GetFileType(out) != FILE_TYPE_PIPE) {
      return false;
    }
    DWORD written = 0;
    if (WriteFile(out, "", 0, &written, nullptr)) return false;
    const DWORD error = GetLastError();
    return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA;
  }
  LevelStatus Rewrite(const std::string& path, const Rewriting& keep) override {
    return windows::Rewrite(path, keep);
  }
  LevelStatus CheckAppendable(const std::string& path) override {
    return windows::CheckAppendable(path);
  }
  LevelStatus Append(const std::string& path, const std::string& text) override {
    return windows::Append(path, text);
  }

  LevelStatus IsFolder(const std::string& path, bool* is_folder) override {
    return windows::IsFolder(path, is_folder);
  }
  LevelStatus ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) override {
    return windows::ListFolder(folder, entries);
  }
  const char* Separators() override { return "\\/:"; }
  // The console hands a name over as typed.
  bool ExpandsWildcards() override { return true; }

  // No control character, none of < > " | * anywhere, and ? only in the
  // "\\?\" that begins a long path.
  bool CanNameAFile(const std::string& path) override {
    const std::size_t start = path.rfind("\\\\?\\", 0) == 0 ? 4 : 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
      const auto c = static_cast<unsigned char>(path[i]);
      if (c < 0x20 || std::string("<>\"|*").find(static_cast<char>(c)) != std::string::npos ||
          (c == '?' && i >= start)) {
        return false;
      }
    }
    return !path.empty();
  }

  bool IsAbsolute(const std::string& path) override {
    const auto slash = [](char c) { return c == '\\' || c == '/'; };
    const bool drive = path.size() >= 3 && AsciiLower(path[0]) >= 'a' &&
                       AsciiLower(path[0]) <= 'z' && path[1] == ':' &&
                       slash(path[2]);
    return drive || path.rfind("\\\\", 0) == 0;
  }

  // Windows' own calls, not the standard library's, which would bring its
  // locales into the window.
  std::string FullPath(const std::string& path) override {
    const std::wstring wide = Wide(path);
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), size, full.data(), nullptr));
    return full.empty() ? path : Narrow(full);
  }
  // Windows compares names without regard to case.
  std::string PathKey(const std::string& full_path) override {
    std::string key = AsciiLower(full_path);
    for (char& c : key) {
      if (c == '/') c = '\\';
    }
    return key;
  }

  std::optional<std::string> Environment(const char* name) override {
    const std::wstring wide_name = Wide(name);
    const DWORD size = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(wide_name.c_str(), value.data(), size));
    return Narrow(value);
  }

  LevelStatus DefaultHistoryPath(std::string* path) override {
    const auto local = Environment("LOCALAPPDATA");
    if (!local || local->empty()) {
      return Failure(LevelCode::CannotOpen, "%LOCALAPPDATA%\\Ornivale\\history.jsonl",
                     "LOCALAPPDATA is not set");
    }
    *path = *local + "\\Ornivale\\history.jsonl";
    return {};
  }

  void Pause(int milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }

  int64_t NowMilliseconds() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }
};

}  // namespace

Disk& Disk::Default() {
  static WindowsDisk disk;
  return disk;
}

}  // namespace ornivale
