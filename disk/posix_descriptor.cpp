#include "disk/posix_descriptor.h"

#include <fcntl.h>
#include <sys/file.h>

#include <ctime>

namespace ornivale::posix {

void Pause(int milliseconds) {
  timespec pause{milliseconds / 1000, (milliseconds % 1000) * 1'000'000L};
  while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
  }
}

int OpenRetryingInterrupts(const std::string& path, int flags, mode_t mode) {
  int fd;
  do {
    fd = open(path.c_str(), flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

LevelStatus LockExclusively(int fd, const std::string& path,
                            const std::function<LevelStatus()>& busy) {
  constexpr int kRetries = 8;
  constexpr int kStepMs = 25;  // 25, 50, … 200 ms: 900 ms in all
  for (int attempt = 0;; ++attempt) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return {};
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      return SystemFailure(LevelCode::CannotOpen, path, errno);
    }
    if (busy) {
      LevelStatus why = busy();
      if (!why.ok()) return why;
    }
    if (attempt == kRetries) return Failure(LevelCode::InUse, path);
    Pause(kStepMs * (attempt + 1));
  }
}

}  // namespace ornivale::posix
