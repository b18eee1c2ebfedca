#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include <sys/file.h>

#include "disk/held_files.h"
#include "disk/posix_descriptor.h"
#include "disk/posix_files.h"
#include "disk/posix_stamp.h"

namespace ornivale::posix {
namespace {

// The flags every open of a level takes. O_NONBLOCK: opening a pipe with
// no writer, or a device, must not wait; it changes nothing for a regular
// file. No O_CREAT, no O_TRUNC.
constexpr int kOpenFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

LevelStatus OpenFailure(const std::string& path, int error) {
  if (error == EISDIR) return Failure(LevelCode::NotRegularFile, path);
  if (error == ETXTBSY) return Failure(LevelCode::InUse, path);
  LevelStatus failure = SystemFailure(LevelCode::CannotOpen, path, error);
  failure.too_many_open = error == EMFILE || error == ENFILE;
  return failure;
}

class PosixFile final : public LevelFile {
 public:
  // `held`: locked for an edit, and so among the files this program holds.
  PosixFile(std::string path, const FileStamp& stamp, int fd, bool held)
      : LevelFile(std::move(path), stamp), fd_(fd), held_(held) {
    if (held_) HeldFiles::Here().Add(stamp.volume, stamp.index);
  }
  ~PosixFile() override { LetGo(); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  LevelStatus Read(int64_t offset, uint8_t* out, std::size_t count) override {
    while (count > 0) {
      const ssize_t n = pread(fd_.get(), out, count, offset);
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

  // A second descriptor, opened for writing: the first keeps the lock,
  // which goes with it, and a lock of the second would wait for the first.
  // Reads then go through it: its fstat is what they are checked against.
  LevelStatus OpenForWriting() override {
    const int fd = OpenRetryingInterrupts(path(), O_RDWR | kOpenFlags);
    if (fd < 0) return OpenFailure(path(), errno);
    Descriptor opened(fd);
    Looked looked;
    if (Look(fd, {}, &looked) != 0) return SystemFailure(LevelCode::ReadFailed, path(), errno);
    const FileStamp& now = looked.stamp;
    if (!now.SameFile(Stamp())) return Failure(LevelCode::Changed, path(), "another file is there");
    if (now != Stamp()) return Failure(LevelCode::Changed, path(), "it was written meanwhile");
    reader_.swap(fd_);
    fd_.swap(opened);
    writable_ = true;
    return {};
  }

  LevelStatus CheckWritable() override {
    if (faccessat(AT_FDCWD, path().c_str(), W_OK, AT_EACCESS) != 0) {
      return OpenFailure(path(), errno);
    }
    return {};
  }

  // Other Ornivale programs wait for the lock, but nothing stops any other
  // program from cutting the file short meanwhile, so a write may grow it
  // back: the caller reads the level again and looks at its size after.
  LevelStatus Write(int64_t offset, const uint8_t* data,
                    std::size_t count) override {
    if (!writable_) return Failure(LevelCode::WriteFailed, path(), "it is not open for writing");
    bool some_written = false;
    while (count > 0) {
      const ssize_t n = pwrite(fd_.get(), data, count, offset);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        LevelStatus status = SystemFailure(LevelCode::WriteFailed, path(),
                                           n < 0 ? errno : EIO);
        status.may_be_written = some_written;
        return status;
      }
      some_written = true;
      data += n;
      offset += n;
      count -= static_cast<std::size_t>(n);
    }
    return {};
  }

  LevelStatus Sync() override {
    if (fsync(fd_.get()) != 0) {
      return SystemFailure(LevelCode::WriteFailed, path(), errno);
    }
    return {};
  }

  // The one written first: its failure may mean a lost write. The lock
  // goes with the other.
  LevelStatus Close() override {
    LetGo();
    int error = fd_.Close();
    const int reader_error = reader_.Close();
    if (error == 0) error = reader_error;
    if (error == 0) return {};
    return SystemFailure(CloseFailureCode(writable_), path(), error);
  }

  LevelStatus StampOfPath(FileStamp* stamp) override {
    Looked looked;
    if (Look(-1, path(), &looked) != 0) return SystemFailure(LevelCode::CannotOpen, path(), errno);
    *stamp = looked.stamp;
    return {};
  }

 private:
  void LetGo() {
    if (held_) HeldFiles::Here().Remove(Stamp().volume, Stamp().index);
    held_ = false;
  }

  Descriptor fd_;
  Descriptor reader_{-1};  // the held descriptor, once fd_ writes
  bool writable_ = false;
  bool held_;
};

// Locks `fd` for an edit of the level at `path`. Where another holds it,
// and that is this program (the same level by another name), it says so
// at once rather than wait for a hold that can't end meanwhile.
LevelStatus LockLevel(int fd, const std::string& path) {
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return {};
  Looked looked;
  if (errno == EWOULDBLOCK && Look(fd, {}, &looked) == 0 &&
      HeldFiles::Here().Holds(looked.stamp.volume, looked.stamp.index)) {
    LevelStatus here = Failure(LevelCode::InUse, path);
    here.held_here = true;
    return here;
  }
  return LockExclusively(fd, path);
}

}  // namespace

// Held for an edit, the level is held with an advisory lock from its open
// to its close, so that two Ornivale programs never edit it at once; the
// lock goes with the descriptor.
LevelStatus OpenLevel(const std::string& path, OpenMode mode,
                      std::unique_ptr<LevelFile>* file) {
  const int fd = OpenRetryingInterrupts(path, O_RDONLY | kOpenFlags);
  if (fd < 0) return OpenFailure(path, errno);
  Descriptor opened(fd);  // until the file owns it
  if (mode == OpenMode::Held) {
    const LevelStatus locked = LockLevel(fd, path);
    if (!locked.ok()) return locked;
  }
  // The stamp is taken under the lock: it is what the edit reads.
  Looked looked;
  if (Look(fd, {}, &looked) != 0) return SystemFailure(LevelCode::ReadFailed, path, errno);
  if (!looked.regular) return Failure(LevelCode::NotRegularFile, path);
  *file = std::make_unique<PosixFile>(path, looked.stamp, opened.Release(),
                                      mode == OpenMode::Held);
  return {};
}

}  // namespace ornivale::posix
