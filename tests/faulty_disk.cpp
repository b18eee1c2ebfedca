#include "tests/faulty_disk.h"

#include <algorithm>
#include <memory>

namespace ornivale::testing {
namespace {

class FaultyFile : public LevelFile {
 public:
  FaultyFile(std::unique_ptr<LevelFile> real, const FaultyDisk& faults)
      : LevelFile(real->path(), real->Stamp()), real_(std::move(real)), faults_(faults) {}

  LevelStatus Read(int64_t offset, uint8_t* out, std::size_t count) override {
    return real_->Read(offset, out, count);
  }
  LevelStatus OpenForWriting() override {
    const LevelStatus status = real_->OpenForWriting();
    writable_ = status.ok();
    return status;
  }
  LevelStatus CheckWritable() override { return real_->CheckWritable(); }
  LevelStatus Write(int64_t offset, const uint8_t* data, std::size_t count) override {
    if (faults_.before_write) faults_.before_write();
    const std::size_t real = std::min(count, faults_.short_write.value_or(count));
    LevelStatus status = real > 0 ? real_->Write(offset, data, real) : LevelStatus{};
    if (faults_.after_write) faults_.after_write();
    if (!status.ok() || real == count) return status;
    status = Failure(LevelCode::WriteFailed, path(), "short write");
    status.may_be_written = real > 0;
    return status;
  }
  LevelStatus Sync() override {
    const LevelStatus status = real_->Sync();
    if (status.ok() && faults_.fail_sync) {
      return Failure(LevelCode::WriteFailed, path(), "sync failed");
    }
    return status;
  }
  LevelStatus Close() override {
    if (closed_) return {};
    closed_ = true;
    const LevelStatus status = real_->Close();
    if (status.ok() && faults_.fail_close) {
      return Failure(CloseFailureCode(writable_), path(), "close failed");
    }
    return status;
  }
  LevelStatus StampOfPath(FileStamp* stamp) override { return real_->StampOfPath(stamp); }

 private:
  std::unique_ptr<LevelFile> real_;
  const FaultyDisk& faults_;
  bool writable_ = false;
  bool closed_ = false;
};

}  // namespace

LevelStatus FaultyDisk::Open(const std::string& path, OpenMode mode,
                             std::unique_ptr<LevelFile>* file) {
  std::unique_ptr<LevelFile> real;
  const LevelStatus status = DiskWrapper::Open(path, mode, &real);
  if (status.ok()) *file = std::make_unique<FaultyFile>(std::move(real), *this);
  return status;
}

}  // namespace ornivale::testing
