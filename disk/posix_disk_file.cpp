#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "disk/disk_file.h"

namespace ornivale {
namespace {

LevelStatus SystemFailure(LevelCode code, const std::string& path, int error) {
  return Failure(code, path, std::strerror(error));
}

class PosixFile final : public LevelFile {
 public:
  PosixFile(std::string path, int fd, OpenMode mode)
      : LevelFile(std::move(path)), fd_(fd), mode_(mode) {}
  ~PosixFile() override { Close(); }

  // The end of a regular file is its size; reads and writes name their
  // offsets, so the descriptor's own position serves nothing else.
  LevelStatus Size(int64_t* size) override {
    const off_t end = lseek(fd_, 0, SEEK_END);
    if (end < 0) return SystemFailure(LevelCode::ReadFailed, path(), errno);
    *size = end;
    return {};
  }

  LevelStatus Read(int64_t offset, uint8_t* out, std::size_t count) override {
    while (count > 0) {
      const ssize_t n = pread(fd_, out, count, offset);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return SystemFailure(LevelCode::ReadFailed, path(), errno);
      if (n == 0) {
        LevelStatus status = Failure(LevelCode::CutShort, path());
        status.offset = offset;
        return status;
      }
      out += n;
      offset += n;
      count -= static_cast<std::size_t>(n);
    }
    return {};
  }

  // pwrite past the end would grow the file: the size is asked right before.
  LevelStatus Write(int64_t offset, const uint8_t* data,
                    std::size_t count) override {
    int64_t size = 0;
    if (LevelStatus status = Size(&size); !status.ok()) return status;
    if (offset < 0 || size - offset < static_cast<int64_t>(count)) {
      return Failure(LevelCode::Changed, path(), "it was cut short");
    }
    while (count > 0) {
      const ssize_t n = pwrite(fd_, data, count, offset);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        return SystemFailure(LevelCode::WriteFailed, path(), n < 0 ? errno : EIO);
      }
      data += n;
      offset += n;
      count -= static_cast<std::size_t>(n);
    }
    return {};
  }

  LevelStatus Sync() override {
    if (fsync(fd_) != 0) {
      return SystemFailure(LevelCode::WriteFailed, path(), errno);
    }
    return {};
  }

  // The descriptor is gone after close() whatever it returns (EINTR
  // included), so it is never closed twice.
  LevelStatus Close() override {
    if (fd_ < 0) return {};
    const int result = close(fd_);
    const int error = errno;
    fd_ = -1;
    if (result == 0) return {};
    return SystemFailure(mode_ == OpenMode::ReadWrite ? LevelCode::WriteFailed
                                                      : LevelCode::ReadFailed,
                         path(), error);
  }

 private:
  int fd_;
  OpenMode mode_;
};

}  // namespace

LevelStatus OpenDiskFile(const std::string& path, OpenMode mode,
                         std::unique_ptr<LevelFile>* file) {
  // O_NONBLOCK: opening a pipe with no writer, or a device, must not wait.
  // It changes nothing for a regular file. No O_CREAT, no O_TRUNC.
  const int flags = (mode == OpenMode::ReadOnly ? O_RDONLY : O_RDWR) |
                    O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  int fd;
  do {
    fd = open(path.c_str(), flags);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (errno == EISDIR) return Failure(LevelCode::NotRegularFile, path);
    if (errno == ETXTBSY) return Failure(LevelCode::InUse, path);
    return SystemFailure(LevelCode::CannotOpen, path, errno);
  }
  auto opened = std::make_unique<PosixFile>(path, fd, mode);
  struct stat info;
  if (fstat(fd, &info) != 0) {
    return SystemFailure(LevelCode::ReadFailed, path, errno);
  }
  if (!S_ISREG(info.st_mode)) return Failure(LevelCode::NotRegularFile, path);
  *file = std::move(opened);
  return {};
}

}  // namespace ornivale
