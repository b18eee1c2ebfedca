#include "tests/crash_disk.h"

#include <algorithm>

#include "tests/disk_wrapper.h"

namespace ornivale::testing {
namespace {

LevelStatus Stopped(LevelCode code, const std::string& path) {
  return Failure(code, path, "the system stopped");
}

}  // namespace

class CrashDisk::File : public LevelFile {
 public:
  File(CrashDisk& disk, const std::string& path, std::shared_ptr<Entry> entry)
      : LevelFile(path, FileStamp{static_cast<int64_t>(entry->now.size()), entry->modified, 1,
                                  entry->index}),
        disk_(disk),
        entry_(std::move(entry)) {}

  LevelStatus Read(int64_t offset, uint8_t* out, std::size_t count) override {
    if (!disk_.Call()) return Stopped(LevelCode::ReadFailed, path());
    return ReadBytes(entry_->now, offset, out, count, path());
  }
  LevelStatus OpenForWriting() override {
    if (!disk_.Call()) return Stopped(LevelCode::CannotOpen, path());
    writable_ = true;
    return {};
  }
  LevelStatus CheckWritable() override { return {}; }
  LevelStatus Write(int64_t offset, const uint8_t* data, std::size_t count) override {
    if (!writable_) std::abort();
    if (!disk_.Call()) return Stopped(LevelCode::WriteFailed, path());
    std::copy_n(data, count, entry_->now.begin() + offset);
    ++entry_->modified;
    return {};
  }
  LevelStatus Sync() override {
    if (!disk_.Call()) return Stopped(LevelCode::WriteFailed, path());
    entry_->synced = entry_->now;
    entry_->synced_modified = entry_->modified;
    return {};
  }
  LevelStatus Close() override {
    if (closed_) return {};
    closed_ = true;
    if (!disk_.Call()) return Stopped(CloseFailureCode(writable_), path());
    return {};
  }
  LevelStatus StampOfPath(FileStamp* stamp) override {
    if (!disk_.Call()) return Stopped(LevelCode::CannotOpen, path());
    *stamp = FileStamp{static_cast<int64_t>(entry_->now.size()), entry_->modified, 1,
                       entry_->index};
    return {};
  }

 private:
  CrashDisk& disk_;
  std::shared_ptr<Entry> entry_;
  bool writable_ = false;
  bool closed_ = false;
};

bool CrashDisk::Call() {
  ++calls;
  if (!crashed_ && calls == crash_at) {
    crashed_ = true;
    for (auto& [path, entry] : files_) {
      entry->now = entry->synced;
      entry->modified = entry->synced_modified;
    }
  }
  return !crashed_;
}

void CrashDisk::Put(const std::string& path, const Bytes& bytes) {
  auto& entry = files_[path];
  if (!entry) {
    entry = std::make_shared<Entry>();
    entry->index = next_index_++;
  }
  entry->now = entry->synced = bytes;
  entry->synced_modified = ++entry->modified;
}

std::string CrashDisk::Text(const std::string& path) const {
  if (files_.count(path) == 0) return {};
  const Bytes& bytes = Get(path);
  return std::string(bytes.begin(), bytes.end());
}

LevelStatus CrashDisk::Open(const std::string& path, OpenMode,
                            std::unique_ptr<LevelFile>* file) {
  if (!Call()) return Stopped(LevelCode::CannotOpen, path);
  const auto found = files_.find(path);
  if (found == files_.end()) return Failure(LevelCode::CannotOpen, path, "No such file");
  *file = std::make_unique<File>(*this, path, found->second);
  return {};
}

LevelStatus CrashDisk::OpenInput(const std::string& path, std::unique_ptr<Input>* input) {
  if (!Call()) return Stopped(LevelCode::CannotOpen, path);
  if (!Exists(path)) return Failure(LevelCode::CannotOpen, path, "No such file");
  *input = std::make_unique<StringInput>(path, Text(path));
  return {};
}

LevelStatus CrashDisk::OpenStandardInput(std::unique_ptr<Input>*) {
  return Failure(LevelCode::CannotOpen, "standard input", "Bad file descriptor");
}

// Its write, then its sync, as the system's append does them.
LevelStatus CrashDisk::Append(const std::string& path, const std::string& text) {
  if (!Call()) return Stopped(LevelCode::WriteFailed, path);
  auto& entry = files_[path];
  if (!entry) {
    entry = std::make_shared<Entry>();
    entry->index = next_index_++;
  }
  if (!entry->now.empty() && entry->now.back() != '\n') entry->now.push_back('\n');
  entry->now.insert(entry->now.end(), text.begin(), text.end());
  if (!Call()) return Stopped(LevelCode::WriteFailed, path);
  entry->synced = entry->now;
  entry->synced_modified = ++entry->modified;
  return {};
}

// The new file's write and sync, then the rename, which is synced with
// the folder: a crash before it leaves the old file whole.
LevelStatus CrashDisk::Rewrite(const std::string& path, const Rewriting& keep) {
  const auto found = files_.find(path);
  if (found == files_.end()) return Failure(LevelCode::CannotOpen, path, "No such file");
  StringInput now(path, Text(path));
  std::vector<Stretch> kept;
  LevelStatus status = keep(now, &kept);
  auto entry = std::make_shared<Entry>();
  if (status.ok()) status = KeptBytes(found->second->now, kept, path, &entry->now);
  if (!status.ok()) return status;
  if (!Call() || !Call() || !Call()) return Stopped(LevelCode::WriteFailed, path);
  entry->index = next_index_++;
  entry->synced = entry->now;
  entry->modified = entry->synced_modified = 1;
  found->second = entry;
  return {};
}

std::optional<std::string> CrashDisk::Environment(const char* name) {
  if (std::string(name) == "ORNIVALE_HISTORY") return std::string(kHistory);
  return std::nullopt;
}

LevelStatus CrashDisk::DefaultHistoryPath(std::string* path) {
  *path = kHistory;
  return {};
}

}  // namespace ornivale::testing
