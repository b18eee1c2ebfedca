#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "level/ports/level_status.h"

namespace ornivale::posix {

inline LevelStatus SystemFailure(LevelCode code, const std::string& path,
                                 int error) {
  return Failure(code, path, std::strerror(error));
}

// Owns a descriptor: closed once, by Close or at the end of its life. The
// descriptor is gone after close() whatever it returns (EINTR included),
// so it is never closed twice.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  // Hands the descriptor over to a new owner.
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void swap(Descriptor& other) { std::swap(fd_, other.fd_); }
  // 0, or the error of a close that failed.
  int Close() {
    if (fd_ < 0) return 0;
    const int result = close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// Opens `path` with `flags`, again after an interruption; the descriptor,
// or -1 with errno set.
int OpenRetryingInterrupts(const std::string& path, int flags, mode_t mode = 0);

// Returns after about `milliseconds`, interruptions aside.
void Pause(int milliseconds);

// Takes an exclusive advisory lock on `fd`. Another holder lets go within
// milliseconds (an edit, an append): it is waited for about a second, a
// little longer each time, before the file counts as in use. Where `busy`
// tells of a holder that is not waited for (a rewrite), its failure comes
// at once.
LevelStatus LockExclusively(int fd, const std::string& path,
                            const std::function<LevelStatus()>& busy = {});

}  // namespace ornivale::posix
