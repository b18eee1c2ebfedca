// The history in a real file: appends that keep every line whole, and the
// reasons given when the file can't be used.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#endif

#include <filesystem>

#include "level/history.h"
#include "level/level_access.h"
#include "tests/disk_wrapper.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::ReadAll;
using testing::TempDir;

const EditRun kSet{"ornivale-cli set", false};

class HistoryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    history_ = dir_.File("state/history.jsonl");
    disk_.environment["ORNIVALE_HISTORY"] = history_;
  }
  EditResult SetLara(const std::string& path, uint16_t lara) {
    return EditLevel(LevelEdit(path, FlagChange{lara, std::nullopt}), kSet, disk_);
  }
  // Each level's changes read back, and how many lines could not be read.
  ChangesByLevel Changes(int* unreadable) {
    HistoryPlace place;
    EXPECT_TRUE(LocateHistory(disk_, &place).ok());
    ChangesByLevel changes;
    EXPECT_TRUE(RecordedChanges(disk_, place, &changes, unreadable).ok());
    return changes;
  }
  void CutLastByte() {
    const auto size = std::filesystem::file_size(testing::FsPath(history_));
    std::filesystem::resize_file(testing::FsPath(history_), size - 1);
  }

  TempDir dir_;
  testing::DiskWrapper disk_;
  std::string history_;
};

// A line left without its end (a crash, a hand's edit) is ended before the
// next record, which stays a line of its own.
TEST_F(HistoryFileTest, ARecordIsNeverGluedOntoALineWithoutItsEnd) {
  const std::string a = dir_.Write("a.trc", MakeLevel(3, 1));
  const std::string b = dir_.Write("b.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(a, 1).ok());
  CutLastByte();  // the line end
  ASSERT_TRUE(SetLara(b, 4).ok());
  int unreadable = -1;
  ChangesByLevel changes = Changes(&unreadable);
  EXPECT_EQ(unreadable, 0);
  EXPECT_EQ(changes[disk_.PathKey(disk_.FullPath(a))].size(), 1u);
  EXPECT_EQ(changes[disk_.PathKey(disk_.FullPath(b))].size(), 1u);

  CutLastByte();
  CutLastByte();  // b's line now ends inside its JSON: it can't be read
  ASSERT_TRUE(SetLara(a, 4).ok());
  changes = Changes(&unreadable);
  EXPECT_EQ(unreadable, 1);
  EXPECT_EQ(changes[disk_.PathKey(disk_.FullPath(a))].size(), 2u);
  const Bytes text = ReadAll(history_);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
}

#ifndef _WIN32
// The largest file this process may write, and SIGXFSZ ignored so that a
// write past it fails instead of ending the process, until the end of the
// scope.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*old_handler_)(int) = nullptr;
};

// An append the disk takes only part of is taken back whole.
TEST_F(HistoryFileTest, AnAppendCutShortIsTakenBack) {
  const std::string kept = "{\"a\":1}\n";
  ASSERT_TRUE(disk_.Append(history_, kept).ok());
  LevelStatus appended;
  {
    FileSizeLimit limit(kept.size() + 10);
    appended = disk_.Append(history_, std::string(100, 'x') + "\n");
  }
  EXPECT_EQ(appended.code, LevelCode::WriteFailed);
  EXPECT_NE(appended.reason, "");
  EXPECT_EQ(ReadAll(history_), Bytes(kept.begin(), kept.end()));
}

// A history that is a folder or a pipe: neither written nor read, and the
// failure says why.
TEST_F(HistoryFileTest, AFolderOrAPipeAsTheHistoryIsRefusedWithAReason) {
  const std::string level = dir_.Write("a.trc", MakeLevel(3, 1));
  const std::string pipe = dir_.File("pipe.jsonl");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& history : {dir_.Path(), pipe}) {
    disk_.environment["ORNIVALE_HISTORY"] = history;
    const EditResult set = SetLara(level, 1);
    EXPECT_EQ(set.status.code, LevelCode::HistoryNotWritten) << history;
    EXPECT_EQ(set.status.part, history);
    EXPECT_NE(set.status.reason, "") << history;
    EXPECT_EQ(ReadAll(level), MakeLevel(3, 1));

    HistoryPlace place;
    ASSERT_TRUE(LocateHistory(disk_, &place).ok());
    int unreadable = 0;
    const LevelStatus read = ReadHistory(disk_, place, [](const Record&) {}, &unreadable);
    EXPECT_EQ(read.code, LevelCode::HistoryNotRead) << history;
    EXPECT_NE(read.reason, "") << history;
  }
}
#endif

}  // namespace
}  // namespace ornivale
