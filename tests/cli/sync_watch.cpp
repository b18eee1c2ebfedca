// Loaded into a program with LD_PRELOAD: writes to the file that
// ORNIVALE_SYNC_LOG names one line for each write, sync and rename of a file
// below the folder ORNIVALE_SYNC_WATCH names, in the order the program made
// them ("write PATH", "pwrite PATH", "fsync PATH", "rename FROM"). What a
// disk keeps through a crash depends on that order.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

template <typename Call>
Call Next(const char* name) {
  return reinterpret_cast<Call>(dlsym(RTLD_NEXT, name));
}

using WriteCall = ssize_t (*)(int, const void*, size_t);
using PwriteCall = ssize_t (*)(int, const void*, size_t, off_t);
using SyncCall = int (*)(int);
using RenameCall = int (*)(const char*, const char*);

bool Watched(const std::string& path) {
  const char* watch = std::getenv("ORNIVALE_SYNC_WATCH");
  return watch && *watch && path.rfind(watch, 0) == 0;
}

void Note(const char* what, const std::string& path) {
  const char* log = std::getenv("ORNIVALE_SYNC_LOG");
  if (!log || !Watched(path)) return;
  const int fd = open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  const std::string line = std::string(what) + " " + path + "\n";
  static const WriteCall write_through = Next<WriteCall>("write");
  write_through(fd, line.data(), line.size());
  close(fd);
}

std::string PathOf(int fd) {
  char path[PATH_MAX];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t n = readlink(link.c_str(), path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

extern "C" {

ssize_t write(int fd, const void* bytes, size_t count) {
  static const WriteCall next = Next<WriteCall>("write");
  Note("write", PathOf(fd));
  return next(fd, bytes, count);
}

ssize_t pwrite(int fd, const void* bytes, size_t count, off_t offset) {
  static const PwriteCall next = Next<PwriteCall>("pwrite");
  Note("pwrite", PathOf(fd));
  return next(fd, bytes, count, offset);
}

ssize_t pwrite64(int fd, const void* bytes, size_t count, off_t offset) {
  static const PwriteCall next = Next<PwriteCall>("pwrite64");
  Note("pwrite", PathOf(fd));
  return next(fd, bytes, count, offset);
}

int fsync(int fd) {
  static const SyncCall next = Next<SyncCall>("fsync");
  Note("fsync", PathOf(fd));
  return next(fd);
}

int fdatasync(int fd) {
  static const SyncCall next = Next<SyncCall>("fdatasync");
  Note("fsync", PathOf(fd));
  return next(fd);
}

int rename(const char* from, const char* to) {
  static const RenameCall next = Next<RenameCall>("rename");
  char full[PATH_MAX];
  Note("rename", realpath(from, full) ? std::string(full) : std::string(from));
  return next(from, to);
}

}  // extern "C"
