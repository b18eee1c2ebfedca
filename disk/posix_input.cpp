// Files read from their start (--from) and files appended to (the history).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

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

// Writes all of `text`, however many calls it takes.
LevelStatus WriteAll(int fd, const std::string& path, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return SystemFailure(LevelCode::WriteFailed, path, n < 0 ? errno : EIO);
    done += static_cast<std::size_t>(n);
  }
  return {};
}

// Makes the folder that holds `path`, and those above it, where missing.
LevelStatus MakeFolderOf(const std::string& path) {
  std::error_code error;
  const std::filesystem::path folder = PathFromUtf8(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  if (error) return Failure(LevelCode::CannotOpen, path, error.message());
  return {};
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
  // One write under the lock, to a file opened for appending: several
  // programs appending at once mix no line and lose none.
  const int fd = OpenRetryingInterrupts(
      path, O_WRONLY | O_APPEND | O_CREAT | O_NOCTTY | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd < 0) return SystemFailure(LevelCode::CannotOpen, path, errno);
  Descriptor appended(fd);
  struct stat info;
  if (fstat(fd, &info) != 0) return SystemFailure(LevelCode::CannotOpen, path, errno);
  if (!S_ISREG(info.st_mode)) return Failure(LevelCode::NotRegularFile, path);
  LevelStatus status = LockExclusively(fd, path);
  if (status.ok()) status = WriteAll(fd, path, text);
  if (status.ok() && fsync(fd) != 0) {
    status = SystemFailure(LevelCode::WriteFailed, path, errno);
  }
  const int closed = appended.Close();
  if (status.ok() && closed != 0) status = SystemFailure(LevelCode::WriteFailed, path, closed);
  return status;
}

}  // namespace ornivale::posix
