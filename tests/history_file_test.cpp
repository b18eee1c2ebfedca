// The history in a real file: appends that keep every line whole, and the
// reasons given when the file can't be used.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <thread>
#endif

#include <filesystem>

#include "level/edit/level_access.h"
#include "level/history/history.h"
#include "tests/disk_wrapper.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::ReadAll;
using testing::TempDir;

class HistoryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    history_ = dir_.File("state/history.jsonl");
    disk_.environment["ORNIVALE_HISTORY"] = history_;
  }
  EditResult SetLara(const std::string& path, uint16_t lara) {
    return EditLevel(LevelEdit(path, FlagChange{lara, std::nullopt}),
                     {"ornivale-cli set", History::Locate(disk_)}, disk_);
  }
  // Each level's changes read back, and how many lines could not be read.
  ChangesByLevel Changes(int* unreadable) {
    ChangesByLevel changes;
    EXPECT_TRUE(History::Locate(disk_).Changes(&changes, unreadable).ok());
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

// A compaction of a real history: the new file takes the old one's place,
// and nothing is left beside it.
TEST_F(HistoryFileTest, ACompactionReplacesTheFileWhole) {
  const std::string a = dir_.Write("a.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(a, 1).ok());
  dir_.Write("a.trc", MakeLevel(6, 1));  // another program's values
  ASSERT_TRUE(SetLara(a, 4).ok());
  Compaction kept;
  const LevelStatus compacted = History::Locate(disk_).Compact(&kept);
  ASSERT_TRUE(compacted.ok()) << compacted.reason;
  EXPECT_EQ(kept.lines_before, 4);  // two changes, each with how it left the level
  EXPECT_EQ(kept.lines_kept, 2);
  EXPECT_EQ(static_cast<int64_t>(ReadAll(history_).size()), kept.bytes_kept);
  EXPECT_FALSE(testing::Exists(history_ + ".new"));
  ASSERT_TRUE(SetLara(a, 2).ok());
  int unreadable = -1;
  EXPECT_EQ(Changes(&unreadable)[disk_.PathKey(disk_.FullPath(a))].size(), 2u);
  EXPECT_EQ(unreadable, 0);
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
  const std::string too_long(100, '\n');
  LevelStatus appended;
  {
    FileSizeLimit limit(kept.size() + 10);
    appended = disk_.Append(history_, too_long);
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

    int unreadable = 0;
    const LevelStatus read = History::Locate(disk_).Read([](const Record&) {}, &unreadable);
    EXPECT_EQ(read.code, LevelCode::HistoryNotRead) << history;
    EXPECT_NE(read.reason, "") << history;
  }
}

// An append that opens the history while a compaction holds it waits, and
// then goes into the file the compaction renamed over it: no line is lost
// in the file the rename took away.
// A rewrite under way is told to an append at once, for the history to
// wait on it as its caller allows.
TEST_F(HistoryFileTest, AnAppendThatWaitedOnARewriteGoesIntoTheNewFile) {
  ASSERT_TRUE(disk_.Append(history_, "{\"old\":1}\n{\"kept\":1}\n").ok());
  LevelStatus appended;
  std::thread append;
  const LevelStatus rewritten = disk_.Rewrite(history_, [&](Input&, std::vector<Stretch>* kept) {
    EXPECT_EQ(disk_.Append(history_, "{\"now\":0}\n").code, LevelCode::BeingCompacted);
    const int watcher = inotify_init1(IN_CLOEXEC);
    EXPECT_GE(inotify_add_watch(watcher, history_.c_str(), IN_OPEN), 0);
    append = std::thread([&] { appended = History(disk_, history_).Append("{\"new\":2}\n"); });
    alignas(inotify_event) char event[4096];
    EXPECT_GT(read(watcher, event, sizeof event), 0) << "the append opened the history";
    close(watcher);
    kept->push_back({10, 11});
    return LevelStatus{};
  });
  append.join();
  EXPECT_TRUE(rewritten.ok()) << rewritten.reason;
  EXPECT_TRUE(appended.ok()) << appended.reason;
  const std::string both = "{\"kept\":1}\n{\"new\":2}\n";
  EXPECT_EQ(ReadAll(history_), Bytes(both.begin(), both.end()));
  EXPECT_FALSE(testing::Exists(history_ + ".new"));
}
#endif

}  // namespace
}  // namespace ornivale
