// Files read from their start (--from) and files appended to (the history).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "disk/posix_descriptor.h"
#include "disk/posix_files.h"
#include "disk/utf8_path.h"

namespace ornivale::posix {
namespace {

class DescriptorInput final : public Input {
 public:
  // Standard input is borrowed, never closed.
  DescriptorInput(std::string name, int fd, bool owned)
      : Input(std::move(name)), fd_(owned ? fd : -1), borrowed_(owned ? -1 : fd) {}

  LevelStatus Read(char* buffer, std::size_t capacity, std::size_t* count) override {
    const int fd = fd_.get() >= 0 ? fd_.get() : borrowed_;
    ssize_t n;
    do {
      n = read(fd, buffer, capacity);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return SystemFailure(LevelCode::ReadFailed, name(), errno);
    *count = static_cast<std::size_t>(n);
    return {};
  }

 private:
  Descriptor fd_;
  int borrowed_;
};

// Writes all of `bytes`, however many calls it takes.
LevelStatus WriteAll(int fd, const std::string& path, const char* bytes, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = write(fd, bytes + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return SystemFailure(LevelCode::WriteFailed, path, n < 0 ? errno : EIO);
    done += static_cast<std::size_t>(n);
  }
  return {};
}

// Copies the stretches of the file `from` (at `path`) to `to` (at `fresh`).
LevelStatus CopyStretches(int from, const std::string& path, const std::vector<Stretch>& kept,
                          int to, const std::string& fresh) {
  std::vector<char> buffer(64 * 1024);
  for (const Stretch& stretch : kept) {
    for (int64_t done = 0; done < stretch.size;) {
      const auto want =
          static_cast<std::size_t>(std::min<int64_t>(stretch.size - done, buffer.size()));
      ssize_t n;
      do {
        n = pread(from, buffer.data(), want, stretch.offset + done);
      } while (n < 0 && errno == EINTR);
      if (n < 0) return SystemFailure(LevelCode::ReadFailed, path, errno);
      if (n == 0) return Failure(LevelCode::ReadFailed, path, "it ended while it was copied");
      const LevelStatus written = WriteAll(to, fresh, buffer.data(), static_cast<std::size_t>(n));
      if (!written.ok()) return written;
      done += n;
    }
  }
  return {};
}

// Syncs the folder at `folder`, so that a name just made in it survives a
// crash.
LevelStatus SyncFolder(const std::filesystem::path& folder, const std::string& path) {
  const int fd = OpenRetryingInterrupts(folder.empty() ? "." : folder.string(),
                                        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return SystemFailure(LevelCode::CannotOpen, path, errno);
  Descriptor opened(fd);
  // Some file systems can't sync a folder, and say so with EINVAL.
  if (fsync(fd) != 0 && errno != EINVAL) {
    return SystemFailure(LevelCode::WriteFailed, path, errno);
  }
  return {};
}

// Makes the folder that holds `path`, and those above it, where missing,
// each synced into the folder that holds it.
LevelStatus MakeFolderOf(const std::string& path) {
  std::vector<std::filesystem::path> missing;
  std::error_code error;
  for (auto folder = PathFromUtf8(path).parent_path();
       !folder.empty() && !std::filesystem::exists(folder, error);
       folder = folder.parent_path()) {
    missing.push_back(folder);
    if (folder == folder.parent_path()) break;
  }
  for (auto made = missing.rbegin(); made != missing.rend(); ++made) {
    if (mkdir(made->c_str(), 0700) != 0 && errno != EEXIST) {
      return SystemFailure(LevelCode::CannotOpen, path, errno);
    }
    const LevelStatus synced = SyncFolder(made->parent_path(), path);
    if (!synced.ok()) return synced;
  }
  return {};
}

// The bytes to append: `text`, after a line end where the file's last line
// lacks one (a crash cut an append short, a hand's edit took it away), so
// that no record is glued onto it.
LevelStatus TextAfter(int fd, off_t size, const std::string& path, const std::string& text,
                      std::string* appended) {
  char last = '\n';
  if (size > 0) {
    ssize_t n;
    do {
      n = pread(fd, &last, 1, size - 1);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return SystemFailure(LevelCode::ReadFailed, path, errno);
  }
  *appended = last == '\n' ? text : "\n" + text;
  return {};
}

// The new file that a rewrite of the history at `path` makes beside the
// file that the path leads to.
std::string FreshBeside(const std::string& path) {
  return RealPath(path).value_or(path) + ".new";
}

// BeingCompacted where a rewrite holds the history at `path`: it holds its
// new file from the start to the rename.
LevelStatus RewriteHolds(const std::string& path) {
  Descriptor fresh(OpenRetryingInterrupts(
      FreshBeside(path), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fresh.get() >= 0 && flock(fresh.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    return Failure(LevelCode::BeingCompacted, path);
  }
  return {};
}

// Opens the history at `path`, made where missing, and takes its lock. A
// rewrite may have renamed a new file over it meanwhile: the lock is then
// let go, and the file now at the path is taken instead. `info` is the
// file's, under the lock. A rewrite that holds it is not waited for.
LevelStatus OpenLocked(const std::string& path, Descriptor* locked, struct stat* info) {
  constexpr int kReplacedTimes = 8;
  for (int attempt = 0;; ++attempt) {
    // Opened for appending: several programs appending at once mix no line
    // and lose none. Read too, for the last byte and for a rewrite.
    Descriptor opened(OpenRetryingInterrupts(
        path, O_RDWR | O_APPEND | O_CREAT | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, 0600));
    if (opened.get() < 0) return SystemFailure(LevelCode::CannotOpen, path, errno);
    if (fstat(opened.get(), info) != 0) return SystemFailure(LevelCode::CannotOpen, path, errno);
    if (!S_ISREG(info->st_mode)) return Failure(LevelCode::NotRegularFile, path);
    const LevelStatus status =
        LockExclusively(opened.get(), path, [&] { return RewriteHolds(path); });
    if (!status.ok()) return status;
    struct stat at_path;
    if (fstat(opened.get(), info) != 0) return SystemFailure(LevelCode::ReadFailed, path, errno);
    if (stat(path.c_str(), &at_path) == 0 && at_path.st_dev == info->st_dev &&
        at_path.st_ino == info->st_ino) {
      locked->swap(opened);
      return {};
    }
    if (attempt == kReplacedTimes) return Failure(LevelCode::InUse, path);
  }
}

}  // namespace

LevelStatus OpenInput(const std::string& path, std::unique_ptr<Input>* input) {
  // O_NONBLOCK: a pipe or a device is refused, not waited for.
  const int fd = OpenRetryingInterrupts(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return SystemFailure(LevelCode::CannotOpen, path, errno);
  Descriptor opened(fd);
  struct stat info;
  if (fstat(fd, &info) != 0) return SystemFailure(LevelCode::ReadFailed, path, errno);
  if (!S_ISREG(info.st_mode)) return Failure(LevelCode::NotRegularFile, path);
  *input = std::make_unique<DescriptorInput>(path, opened.Release(), true);
  return {};
}

LevelStatus OpenStandardInput(std::unique_ptr<Input>* input) {
  const char* name = "standard input";
  struct stat info;
  if (fstat(STDIN_FILENO, &info) != 0) {
    return SystemFailure(LevelCode::CannotOpen, name, errno);
  }
  *input = std::make_unique<DescriptorInput>(name, STDIN_FILENO, false);
  return {};
}

LevelStatus Append(const std::string& path, const std::string& text) {
  const LevelStatus made = MakeFolderOf(path);
  if (!made.ok()) return made;
  // One write under the lock.
  Descriptor appended(-1);
  struct stat info;
  LevelStatus status = OpenLocked(path, &appended, &info);
  if (!status.ok()) return status;
  const int fd = appended.get();
  // The size under the lock: where this append begins.
  std::string bytes;
  status = TextAfter(fd, info.st_size, path, text, &bytes);
  if (status.ok()) status = WriteAll(fd, path, bytes.data(), bytes.size());
  if (status.ok() && fsync(fd) != 0) {
    status = SystemFailure(LevelCode::WriteFailed, path, errno);
  }
  // A file found empty may have been made just now: its name is synced too.
  if (status.ok() && info.st_size == 0) {
    status = SyncFolder(PathFromUtf8(path).parent_path(), path);
  }
  // What a failed append wrote is taken back, so that no part of a line
  // stays; the size it found is where the next one begins.
  if (!status.ok() && ftruncate(fd, info.st_size) == 0) fsync(fd);
  const int closed = appended.Close();
  if (status.ok() && closed != 0) status = SystemFailure(LevelCode::WriteFailed, path, closed);
  return status;
}

LevelStatus Rewrite(const std::string& path, const Rewriting& keep) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return SystemFailure(LevelCode::CannotOpen, path, errno);
  Descriptor locked(-1);
  LevelStatus status = OpenLocked(path, &locked, &info);
  if (!status.ok()) return status;
  // Beside the file the path leads to, so that the rename stays on its
  // file system and a link stays a link; made afresh, never through a link
  // or over another file (one left by a crash is removed first), and held
  // from now on, for appends to know a rewrite holds the history.
  const std::string real = RealPath(path).value_or(path);
  const std::string fresh = real + ".new";
  if (unlink(fresh.c_str()) != 0 && errno != ENOENT) {
    return SystemFailure(LevelCode::CannotOpen, fresh, errno);
  }
  Descriptor written(OpenRetryingInterrupts(
      fresh, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, 0600));
  if (written.get() < 0) return SystemFailure(LevelCode::CannotOpen, fresh, errno);
  status = LockExclusively(written.get(), fresh);
  std::vector<Stretch> kept;
  if (status.ok()) {
    DescriptorInput now(path, locked.get(), false);
    status = keep(now, &kept);
  }
  if (status.ok()) status = CopyStretches(locked.get(), path, kept, written.get(), fresh);
  if (status.ok() && fsync(written.get()) != 0) {
    status = SystemFailure(LevelCode::WriteFailed, fresh, errno);
  }
  const int closed = written.Close();
  if (status.ok() && closed != 0) status = SystemFailure(LevelCode::WriteFailed, fresh, closed);
  if (status.ok() && rename(fresh.c_str(), real.c_str()) != 0) {
    status = SystemFailure(LevelCode::WriteFailed, path, errno);
  }
  if (!status.ok()) {
    unlink(fresh.c_str());
    return status;
  }
  // The rename is in the folder: synced before appends go on in the new
  // file.
  status = SyncFolder(PathFromUtf8(real).parent_path(), path);
  const int unlocked = locked.Close();
  if (status.ok() && unlocked != 0) status = SystemFailure(LevelCode::WriteFailed, path, unlocked);
  return status;
}

LevelStatus CheckAppendable(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) return Failure(LevelCode::NotRegularFile, path);
    if (access(path.c_str(), W_OK) != 0) return SystemFailure(LevelCode::CannotOpen, path, errno);
    return {};
  }
  if (errno != ENOENT) return SystemFailure(LevelCode::CannotOpen, path, errno);
  // The file would be made in the nearest folder that is there.
  for (auto folder = PathFromUtf8(path).parent_path();; folder = folder.parent_path()) {
    const std::string name = folder.empty() ? "." : folder.string();
    if (stat(name.c_str(), &info) == 0) {
      if (!S_ISDIR(info.st_mode)) return SystemFailure(LevelCode::CannotOpen, path, ENOTDIR);
      if (access(name.c_str(), W_OK | X_OK) != 0) {
        return SystemFailure(LevelCode::CannotOpen, path, errno);
      }
      return {};
    }
    if (errno != ENOENT || folder == folder.parent_path()) {
      return SystemFailure(LevelCode::CannotOpen, path, errno);
    }
  }
}

}  // namespace ornivale::posix
