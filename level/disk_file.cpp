#include <cerrno>
#include <cstdio>
#include <cstring>

#include "level/level_error.h"
#include "level/level_file.h"
#include "level/utf8.h"

namespace ornivale {
namespace {

std::FILE* OpenStream(const std::string& path, OpenMode mode) {
  // "r" modes only: opening never creates or truncates a file.
#ifdef _WIN32
  const std::u16string wide = Utf8ToUtf16(path);
  return _wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()),
                 mode == OpenMode::ReadOnly ? L"rb" : L"r+b");
#else
  return std::fopen(path.c_str(), mode == OpenMode::ReadOnly ? "rb" : "r+b");
#endif
}

int Seek(std::FILE* stream, int64_t offset, int origin) {
#ifdef _WIN32
  return _fseeki64(stream, offset, origin);
#else
  return fseeko(stream, static_cast<off_t>(offset), origin);
#endif
}

int64_t Tell(std::FILE* stream) {
#ifdef _WIN32
  return _ftelli64(stream);
#else
  return ftello(stream);
#endif
}

class DiskFile final : public LevelFile {
 public:
  DiskFile(std::string path, std::FILE* stream)
      : path_(std::move(path)), stream_(stream) {
    // The scan reads a few short fields far apart: a small buffer keeps each
    // of them one short read, whatever the size of the level.
    std::setvbuf(stream_, buffer_, _IOFBF, sizeof buffer_);
    if (Seek(stream_, 0, SEEK_END) != 0 || (size_ = Tell(stream_)) < 0) {
      const std::string reason = std::strerror(errno);
      std::fclose(stream_);
      throw LevelError("Can't read " + path_ + ": " + reason);
    }
    position_ = size_;
  }
  DiskFile(const DiskFile&) = delete;
  DiskFile& operator=(const DiskFile&) = delete;
  ~DiskFile() override { std::fclose(stream_); }

  int64_t Size() const override { return size_; }

  void Read(int64_t offset, uint8_t* out, std::size_t count) override {
    MoveTo(offset, Access::Read);
    errno = 0;
    if (std::fread(out, 1, count, stream_) != count) Fail("read");
    position_ += static_cast<int64_t>(count);
  }

  void Write(int64_t offset, const uint8_t* data, std::size_t count) override {
    MoveTo(offset, Access::Write);
    errno = 0;
    if (std::fwrite(data, 1, count, stream_) != count) Fail("write");
    position_ += static_cast<int64_t>(count);
  }

  void Flush() override {
    errno = 0;
    if (std::fflush(stream_) != 0) Fail("write");
  }

 private:
  enum class Access { None, Read, Write };

  // A stream that changes between reading and writing must be positioned in
  // between; otherwise seeking only when needed keeps the stream's buffer.
  void MoveTo(int64_t offset, Access access) {
    if (offset != position_ || access != last_access_) {
      errno = 0;
      if (Seek(stream_, offset, SEEK_SET) != 0) Fail("read");
      position_ = offset;
      last_access_ = access;
    }
  }

  [[noreturn]] void Fail(const char* verb) {
    const int error = errno;
    std::clearerr(stream_);
    position_ = -1;
    throw LevelError(std::string("Can't ") + verb + " " + path_ + ": " +
                     (error != 0 ? std::strerror(error) : "input/output error"));
  }

  std::string path_;
  std::FILE* stream_;
  char buffer_[256];
  int64_t size_ = 0;
  int64_t position_ = 0;
  Access last_access_ = Access::None;
};

}  // namespace

std::unique_ptr<LevelFile> OpenDiskFile(const std::string& path,
                                        OpenMode mode) {
  errno = 0;
  std::FILE* stream = OpenStream(path, mode);
  if (stream == nullptr) {
    throw LevelError("Can't open " + path + ": " +
                     (errno != 0 ? std::strerror(errno) : "unknown error"));
  }
  return std::make_unique<DiskFile>(path, stream);
}

}  // namespace ornivale
