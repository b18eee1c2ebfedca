#include "tests/test_support.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "disk/utf8_path.h"
#include "level/history/history.h"
#include "level/words/failure_words.h"
#include "tests/disk_wrapper.h"

namespace ornivale::testing {

LevelBytes& LevelBytes::Raw(const Bytes& bytes) {
  for (uint8_t byte : bytes) bytes_.push_back(byte);
  return *this;
}

LevelBytes& LevelBytes::Word(uint16_t value) {
  return Raw({static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)});
}

LevelBytes& LevelBytes::Dword(uint32_t value) {
  return Raw({static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
              static_cast<uint8_t>(value >> 16),
              static_cast<uint8_t>(value >> 24)});
}

LevelBytes& LevelBytes::Counts(uint16_t a, uint16_t b, uint16_t c) {
  return Word(a).Word(b).Word(c);
}

LevelBytes& LevelBytes::Block(int32_t packed_size, uint32_t payload) {
  Dword(0x1234).Dword(static_cast<uint32_t>(packed_size));
  for (uint32_t i = 0; i < payload; ++i) {
    bytes_.push_back(static_cast<uint8_t>(0xA0 + i % 16));
  }
  return *this;
}

LevelBytes& LevelBytes::Flags(uint16_t lara, uint16_t weather) {
  return Word(lara).Word(weather);
}

LevelBytes& LevelBytes::TrcTail(std::size_t length, uint32_t room_bytes) {
  LevelBytes room;
  room.Raw({'X', 'E', 'L', 'A'}).Dword(room_bytes).Raw(Bytes(room_bytes, 0x5A));
  const auto level_data = static_cast<uint32_t>(4 + 4 + room.bytes_.size());
  LevelBytes tail;
  tail.Raw(Bytes(28, 0)).Dword(level_data).Dword(level_data).Dword(0).Dword(1)
      .Raw(room.bytes_);
  tail.bytes_.resize(std::min(length, tail.bytes_.size()));
  return Raw(tail.bytes_);
}

Bytes MakeLevel(uint16_t lara, uint16_t weather, uint32_t p1, uint32_t p2,
                uint32_t p3, std::size_t tail) {
  return LevelBytes()
      .Version().Counts()
      .Block(static_cast<int32_t>(p1), p1)
      .Block(static_cast<int32_t>(p2), p2)
      .Block(static_cast<int32_t>(p3), p3)
      .Flags(lara, weather)
      .TrcTail(tail)
      .Build();
}

void ExpectStatus(const LevelStatus& status, const LevelStatus& expected) {
  EXPECT_EQ(status.code, expected.code) << CodeName(status.code);
  EXPECT_EQ(status.path, expected.path);
  EXPECT_EQ(status.part, expected.part);
  if (expected.offset >= 0) {
    EXPECT_EQ(status.offset, expected.offset);
  }
  if (!expected.reason.empty()) {
    EXPECT_EQ(status.reason, expected.reason);
  }
  EXPECT_EQ(status.may_be_written, expected.may_be_written);
}

std::filesystem::path FsPath(const std::string& utf8) {
  return PathFromUtf8(utf8);
}

TempDir::TempDir(const std::string& name_part) {
  static std::atomic<int> counter{0};
  const auto base = std::filesystem::temp_directory_path();
  for (;;) {
    dir_ = base / FsPath(name_part + "-" + std::to_string(std::rand()) + "-" +
                         std::to_string(counter++));
    if (std::filesystem::create_directory(dir_)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string TempDir::Path() const { return Utf8OfPath(dir_); }

std::string TempDir::File(const std::string& name) const {
  return Utf8OfPath(dir_ / FsPath(name));
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
  const std::string path = File(name);
  std::ofstream out(FsPath(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return path;
}

Bytes ReadAll(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

RelayLog::RelayLog() {
  const char* log = std::getenv("ORNIVALE_RELAY_LOG");
  path_ = std::string("Z:") + (log ? log : "");
  std::ifstream in(FsPath(path_), std::ios::binary | std::ios::ate);
  if (in) from_ = in.tellg();
}

std::string RelayLog::Since() const {
  std::ifstream in(FsPath(path_), std::ios::binary);
  in.seekg(from_);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) {
  return std::filesystem::exists(FsPath(path));
}

void MemoryDisk::Put(const std::string& path, Bytes bytes) {
  std::shared_ptr<Entry>& entry = files_[path];
  if (!entry) {
    entry = std::make_shared<Entry>();
    entry->index = next_index_++;
    entry->born = ++clock_;
  }
  entry->bytes = std::move(bytes);
  entry->modified = ++clock_;
}

void MemoryDisk::Replace(const std::string& path, Bytes bytes) {
  files_.erase(path);
  Put(path, std::move(bytes));
}

void MemoryDisk::Recreate(const std::string& path, Bytes bytes) {
  const uint64_t index = files_.at(path)->index;
  Replace(path, std::move(bytes));
  files_.at(path)->index = index;
}

FileStamp MemoryDisk::StampOf(const Entry& entry) const {
  FileStamp stamp;
  stamp.size = static_cast<int64_t>(entry.bytes.size());
  stamp.modified = entry.modified;
  stamp.volume = 1;
  stamp.index = entry.index;
  stamp.born = entry.born;
  return stamp;
}

LevelStatus ReadBytes(const Bytes& bytes, int64_t offset, uint8_t* out, std::size_t count,
                      const std::string& path) {
  if (offset + static_cast<int64_t>(count) > static_cast<int64_t>(bytes.size())) {
    LevelStatus status = Failure(LevelCode::CutShort, path);
    status.offset = static_cast<int64_t>(bytes.size());
    return status;
  }
  std::copy_n(bytes.begin() + offset, count, out);
  return {};
}

class MemoryDisk::File : public LevelFile {
 public:
  File(MemoryDisk& disk, const std::string& path, std::shared_ptr<Entry> entry)
      : LevelFile(path, disk.StampOf(*entry)), disk_(disk), entry_(std::move(entry)) {
    ++disk_.stats.open_now;
  }
  ~File() override { Close(); }

  LevelStatus Read(int64_t offset, uint8_t* out, std::size_t count) override {
    ++disk_.stats.reads;
    if (written_ && disk_.fail_read_back) {
      return Failure(LevelCode::ReadFailed, path(), "bad sector");
    }
    return ReadBytes(entry_->bytes, offset, out, count, path());
  }
  LevelStatus OpenForWriting() override {
    if (disk_.fail_open_for_write) return Failure(LevelCode::CannotOpen, path(), "Permission denied");
    ++disk_.stats.opens_for_writing;
    if (disk_.StampOf(*entry_) != Stamp()) {
      return Failure(LevelCode::Changed, path(), "it was written meanwhile");
    }
    writable_ = true;
    return {};
  }
  LevelStatus CheckWritable() override {
    if (disk_.fail_open_for_write) return Failure(LevelCode::CannotOpen, path(), "Permission denied");
    return {};
  }
  // Like pwrite: a write past the end grows the file.
  LevelStatus Write(int64_t offset, const uint8_t* data, std::size_t count) override {
    if (!writable_) std::abort();
    Bytes& bytes = entry_->bytes;
    if (disk_.before_write) disk_.before_write(bytes);
    if (disk_.fail_write) return Failure(LevelCode::WriteFailed, path(), "disk failure");
    disk_.stats.writes.emplace_back(offset, count);
    const std::size_t end = static_cast<std::size_t>(offset) + count;
    if (bytes.size() < end) bytes.resize(end);
    std::copy_n(data, count, bytes.begin() + offset);
    entry_->modified = ++disk_.clock_;
    written_ = true;
    if (disk_.after_write) disk_.after_write(bytes);
    return {};
  }
  LevelStatus Sync() override {
    if (disk_.fail_sync) return Failure(LevelCode::WriteFailed, path(), "disk full");
    ++disk_.stats.syncs;
    return {};
  }
  LevelStatus Close() override {
    if (closed_) return {};
    closed_ = true;
    --disk_.stats.open_now;
    if (disk_.fail_close) return Failure(CloseFailureCode(writable_), path(), "lost");
    return {};
  }
  LevelStatus StampOfPath(FileStamp* stamp) override {
    ++disk_.stats.stamps_of_path;
    if (disk_.fail_stamp_of_path) {
      return Failure(LevelCode::CannotOpen, path(), "Input/output error");
    }
    const auto found = disk_.files_.find(path());
    if (found == disk_.files_.end()) {
      return Failure(LevelCode::CannotOpen, path(), "No such file");
    }
    *stamp = disk_.StampOf(*found->second);
    return {};
  }

 private:
  MemoryDisk& disk_;
  std::shared_ptr<Entry> entry_;
  bool writable_ = false;
  bool closed_ = false;
  bool written_ = false;
};

LevelStatus StringInput::Read(char* buffer, std::size_t capacity, std::size_t* count) {
  *count = std::min({capacity, bytes_.size() - at_, std::size_t{4096}});
  std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), *count, buffer);
  at_ += *count;
  return {};
}

std::string MemoryDisk::Text(const std::string& path) const {
  const auto found = files_.find(path);
  if (found == files_.end()) return {};
  return std::string(found->second->bytes.begin(), found->second->bytes.end());
}

LevelStatus MemoryDisk::OpenInput(const std::string& path, std::unique_ptr<Input>* input) {
  if (!Exists(path)) return Failure(LevelCode::CannotOpen, path, "No such file");
  *input = std::make_unique<StringInput>(path, Text(path));
  return {};
}

LevelStatus MemoryDisk::OpenStandardInput(std::unique_ptr<Input>* input) {
  if (!standard_input) {
    return Failure(LevelCode::CannotOpen, "standard input", "Bad file descriptor");
  }
  *input = std::make_unique<StringInput>("standard input", *standard_input);
  return {};
}

LevelStatus MemoryDisk::Append(const std::string& path, const std::string& text) {
  ++stats.appends;
  if (fail_append) return Failure(LevelCode::WriteFailed, path, "No space left on device");
  if (clock_ms_ < compacting_until_ms) return Failure(LevelCode::BeingCompacted, path);
  Bytes bytes = Exists(path) ? Get(path) : Bytes();
  if (!bytes.empty() && bytes.back() != '\n') bytes.push_back('\n');
  bytes.insert(bytes.end(), text.begin(), text.end());
  Put(path, bytes);
  return {};
}

LevelStatus KeptBytes(const Bytes& bytes, const std::vector<Stretch>& kept, const std::string& path,
                      Bytes* out) {
  out->clear();
  for (const Stretch& stretch : kept) {
    if (stretch.offset < 0 || stretch.size < 0 ||
        stretch.offset + stretch.size > static_cast<int64_t>(bytes.size())) {
      return Failure(LevelCode::ReadFailed, path, "past its end");
    }
    out->insert(out->end(), bytes.begin() + stretch.offset,
                bytes.begin() + stretch.offset + stretch.size);
  }
  return {};
}

// The new file takes the old one's place at once, as a rename does.
LevelStatus MemoryDisk::Rewrite(const std::string& path, const Rewriting& keep) {
  ++stats.rewrites;
  if (!Exists(path)) return Failure(LevelCode::CannotOpen, path, "No such file");
  if (fail_append) return Failure(LevelCode::WriteFailed, path, "No space left on device");
  StringInput now(path, Text(path));
  std::vector<Stretch> kept;
  LevelStatus status = keep(now, &kept);
  Bytes bytes;
  if (status.ok()) status = KeptBytes(Get(path), kept, path, &bytes);
  if (status.ok()) Replace(path, std::move(bytes));
  return status;
}

LevelStatus MemoryDisk::CheckAppendable(const std::string& path) {
  if (fail_append) return Failure(LevelCode::CannotOpen, path, "Read-only file system");
  return {};
}

LevelStatus MemoryDisk::IsFolder(const std::string& path, bool* is_folder) {
  std::vector<FolderEntry> names;
  *is_folder = !Exists(path) && ListFolder(path, &names).ok();
  return {};
}

LevelStatus MemoryDisk::ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
  entries->clear();
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  for (const auto& [path, entry] : files_) {
    if (path.rfind(prefix, 0) != 0) continue;
    const std::string rest = path.substr(prefix.size());
    const std::string name = rest.substr(0, rest.find('/'));
    const auto same = [&](const FolderEntry& listed) { return listed.name == name; };
    if (!name.empty() && std::none_of(entries->begin(), entries->end(), same)) {
      entries->push_back({name, false});
    }
  }
  if (entries->empty()) return Failure(LevelCode::CannotOpen, folder, "No such file or directory");
  return {};
}

bool MemoryDisk::CanNameAFile(const std::string& path) {
  return !path.empty() && path.find('\0') == std::string::npos;
}

std::optional<std::string> MemoryDisk::Environment(const char* name) {
  const auto set = environment.find(name);
  if (set == environment.end()) return std::nullopt;
  return set->second;
}

LevelStatus MemoryDisk::DefaultHistoryPath(std::string* path) {
  *path = kHistory;
  return {};
}

LevelStatus MemoryDisk::Open(const std::string& path, OpenMode mode,
                             std::unique_ptr<LevelFile>* file) {
  auto found = files_.find(path);
  if (found == files_.end()) {
    return Failure(LevelCode::CannotOpen, path, "No such file");
  }
  if (held_by_another) return Failure(LevelCode::InUse, path);
  ++(mode == OpenMode::ReadOnly ? stats.opens_read_only : stats.opens_held);
  *file = std::make_unique<File>(*this, path, found->second);
  return {};
}

EditResult SetLara(MemoryDisk& disk, const std::string& path, uint16_t lara) {
  return EditLevel(LevelEdit(path, FlagChange{lara, std::nullopt}),
                   {"ornivale-cli set", History::Locate(disk)}, disk);
}

std::vector<ChangeDetails> RecordedChain(MemoryDisk& disk, const std::string& path) {
  const History history = History::Locate(disk);
  EXPECT_TRUE(history.status().ok());
  ChangesByLevel changes;
  int unreadable = 0;
  EXPECT_TRUE(history.Changes(&changes, &unreadable).ok());
  EXPECT_EQ(unreadable, 0);
  return changes[path];
}

}  // namespace ornivale::testing
