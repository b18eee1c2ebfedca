#include "disk/posix_stamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

#include <cerrno>
#include <cstdint>

namespace ornivale::posix {
namespace {

// Nanoseconds since 1970. A time past 2262 (or before 1677) does not fit
// in 64 bits: it wraps round, which still tells it from any other time
// within 584 years, so a stamp stays a stamp whatever the clock said.
int64_t Nanoseconds(int64_t seconds, int64_t nanoseconds) {
  return static_cast<int64_t>(static_cast<uint64_t>(seconds) * 1'000'000'000u +
                              static_cast<uint64_t>(nanoseconds));
}

int LookWithStat(int fd, const std::string& path, Looked* looked) {
  struct stat info;
  if ((fd >= 0 ? fstat(fd, &info) : stat(path.c_str(), &info)) != 0) return -1;
#ifdef __APPLE__
  const struct timespec& modified = info.st_mtimespec;
  looked->stamp.born = Nanoseconds(info.st_birthtimespec.tv_sec, info.st_birthtimespec.tv_nsec);
#else
  const struct timespec& modified = info.st_mtim;
#endif
  looked->stamp.size = info.st_size;
  looked->stamp.modified = Nanoseconds(modified.tv_sec, modified.tv_nsec);
  looked->stamp.volume = static_cast<uint64_t>(info.st_dev);
  looked->stamp.index = static_cast<uint64_t>(info.st_ino);
  looked->regular = S_ISREG(info.st_mode);
  return 0;
}

}  // namespace

#ifdef STATX_BTIME
// statx tells the birth time where the file system keeps one; a system
// that refuses statx itself (an old kernel, a sandbox) is asked with stat.
int Look(int fd, const std::string& path, Looked* looked) {
  struct statx info;
  const unsigned want = STATX_BASIC_STATS | STATX_BTIME;
  const int looked_at = fd >= 0 ? statx(fd, "", AT_EMPTY_PATH, want, &info)
                                : statx(AT_FDCWD, path.c_str(), 0, want, &info);
  if (looked_at != 0) {
    return errno == ENOSYS || errno == EPERM ? LookWithStat(fd, path, looked) : -1;
  }
  looked->stamp.size = static_cast<int64_t>(info.stx_size);
  looked->stamp.modified = Nanoseconds(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
  looked->stamp.volume = makedev(info.stx_dev_major, info.stx_dev_minor);
  looked->stamp.index = info.stx_ino;
  looked->stamp.born = (info.stx_mask & STATX_BTIME) != 0
                           ? Nanoseconds(info.stx_btime.tv_sec, info.stx_btime.tv_nsec)
                           : 0;
  looked->regular = S_ISREG(info.stx_mode);
  return 0;
}
#else
int Look(int fd, const std::string& path, Looked* looked) {
  return LookWithStat(fd, path, looked);
}
#endif

}  // namespace ornivale::posix
