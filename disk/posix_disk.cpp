#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "disk/posix_descriptor.h"
#include "disk/posix_files.h"
#include "disk/utf8_path.h"

namespace ornivale {
namespace {

class PosixDisk final : public Disk {
 public:
  // The program's folder, asked once: it never changes it, and a run over
  // many levels makes no call more for each.
  PosixDisk() {
    std::error_code error;
    folder_ = std::filesystem::current_path(error);
  }

  LevelStatus Open(const std::string& path, OpenMode mode,
                   std::unique_ptr<LevelFile>* file) override {
    return posix::OpenLevel(path, mode, file);
  }
  bool Exists(const std::string& path) override {
    std::error_code error;
    return std::filesystem::exists(PathFromUtf8(path), error);
  }
  LevelStatus OpenInput(const std::string& path,
                        std::unique_ptr<Input>* input) override {
    return posix::OpenInput(path, input);
  }
  LevelStatus OpenStandardInput(std::unique_ptr<Input>* input) override {
    return posix::OpenStandardInput(input);
  }
  // A pipe without its reader polls as an error.
  bool StandardOutputClosed() override {
    pollfd out{STDOUT_FILENO, POLLOUT, 0};
    return poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0;
  }
  LevelStatus Append(const std::string& path, const std::string& text) override {
    return posix::Append(path, text);
  }
  LevelStatus Rewrite(const std::string& path, const Rewriting& keep) override {
    return posix::Rewrite(path, keep);
  }
  LevelStatus CheckAppendable(const std::string& path) override {
    return posix::CheckAppendable(path);
  }

  LevelStatus IsFolder(const std::string& path, bool* is_folder) override {
    return posix::IsFolder(path, is_folder);
  }
  LevelStatus ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) override {
    return posix::ListFolder(folder, entries);
  }
  const char* Separators() override { return "/"; }
  // The shell has expanded them: a name that still holds one is a name.
  bool ExpandsWildcards() override { return false; }

  bool CanNameAFile(const std::string& path) override {
    return !path.empty() && path.find('\0') == std::string::npos;
  }

  bool IsAbsolute(const std::string& path) override {
    return !path.empty() && path[0] == '/';
  }

  // realpath(3), which takes ".." after the link before it, as the open
  // does; for a path that names nothing, its folder's.
  std::string FullPath(const std::string& path) override {
    const std::filesystem::path given = PathFromUtf8(path);
    const std::filesystem::path absolute =
        given.is_absolute() || folder_.empty() ? given : folder_ / given;
    if (const auto real = posix::RealPath(absolute.string())) return *real;
    const std::filesystem::path name = absolute.filename();
    if (!name.empty() && name != "." && name != "..") {
      if (const auto folder = posix::RealPath(absolute.parent_path().string())) {
        return Utf8OfPath(PathFromUtf8(*folder) / name);
      }
    }
    return Utf8OfPath(absolute.lexically_normal());
  }
  std::string PathKey(const std::string& full_path) override { return full_path; }

  std::optional<std::string> Environment(const char* name) override {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
  }

  // The XDG Base Directory rules: an XDG_STATE_HOME that is not absolute is
  // to be ignored.
  LevelStatus DefaultHistoryPath(std::string* path) override {
    const auto state = Environment("XDG_STATE_HOME");
    if (state && !state->empty() && (*state)[0] == '/') {
      *path = *state + "/ornivale/history.jsonl";
      return {};
    }
    const auto home = Environment("HOME");
    if (!home || home->empty()) {
      return Failure(LevelCode::CannotOpen, "~/.local/state/ornivale/history.jsonl",
                     "HOME is not set");
    }
    *path = *home + "/.local/state/ornivale/history.jsonl";
    return {};
  }

  void Pause(int milliseconds) override { posix::Pause(milliseconds); }

  int64_t NowMilliseconds() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }

 private:
  std::filesystem::path folder_;
};

}  // namespace

Disk& Disk::Default() {
  static PosixDisk disk;
  return disk;
}

}  // namespace ornivale
