// When an edit opens its level for writing and what it looks at before it
// writes: a level that needs no change is never opened for writing, one
// that can't be written records nothing, and a level another program
// changed while the change was being recorded is left as that program left
// it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#ifndef _WIN32
#include <sys/resource.h>
#endif
#ifdef __linux__
#include <sys/inotify.h>
#include <unistd.h>
#endif

#include "level/edit/level_access.h"
#include "level/history/history.h"
#include "tests/disk_wrapper.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::MakeLevel;
using testing::MemoryDisk;
using testing::TempDir;

EditResult SetLara(const std::string& path, uint16_t lara, Disk& disk, bool dry_run = false) {
  return EditLevel(LevelEdit(path, FlagChange{lara, std::nullopt}), {"test", History::Locate(disk), dry_run}, disk);
}

TEST(OpenForWriting, OnlyOnceAChangeIsDue) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  EXPECT_TRUE(SetLara("a.trc", 3, disk).ok());
  EXPECT_EQ(disk.stats.opens_held, 1);
  EXPECT_EQ(disk.stats.opens_for_writing, 0);
  EXPECT_TRUE(SetLara("a.trc", 4, disk, /*dry_run=*/true).ok());
  EXPECT_EQ(disk.stats.opens_for_writing, 0);
  EXPECT_TRUE(SetLara("a.trc", 4, disk).ok());
  EXPECT_EQ(disk.stats.opens_for_writing, 1);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(4, 1));
}

// A read-only file: refused before its change is recorded, and a dry run
// says so too.
TEST(OpenForWriting, ALevelThatCantBeWrittenRecordsNothing) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.fail_open_for_write = true;
  EXPECT_EQ(SetLara("a.trc", 4, disk, /*dry_run=*/true).status.code, LevelCode::CannotOpen);
  EXPECT_EQ(SetLara("a.trc", 4, disk).status.code, LevelCode::CannotOpen);
  EXPECT_EQ(disk.stats.appends, 0);
  EXPECT_TRUE(SetLara("a.trc", 3, disk).ok()) << "it holds the value already";
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
}

// A dry run fails where the history would refuse the change, and only
// where a change is due.
TEST(OpenForWriting, ADryRunFailsWhereTheHistoryWouldRefuseTheChange) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.fail_append = true;
  const EditResult dry = SetLara("a.trc", 4, disk, /*dry_run=*/true);
  EXPECT_EQ(dry.status.code, LevelCode::HistoryNotWritten);
  EXPECT_EQ(dry.status.path, "a.trc");
  EXPECT_FALSE(dry.status.reason.empty());
  EXPECT_TRUE(SetLara("a.trc", 3, disk, /*dry_run=*/true).ok());

  TempDir dir;
  const std::string path = dir.Write("a.trc", MakeLevel(3, 1));
  std::filesystem::create_directory(testing::FsPath(dir.File("history")));
  testing::DiskWrapper real;
  real.environment["ORNIVALE_HISTORY"] = dir.File("history");
  EXPECT_EQ(SetLara(path, 4, real, /*dry_run=*/true).status.code, LevelCode::HistoryNotWritten);
  real.environment["ORNIVALE_HISTORY"] = dir.File("new/history.jsonl");
  EXPECT_TRUE(SetLara(path, 4, real, /*dry_run=*/true).ok());
  EXPECT_FALSE(testing::Exists(dir.File("new"))) << "a dry run makes nothing";
  EXPECT_EQ(testing::ReadAll(path), MakeLevel(3, 1));
}

#ifndef _WIN32
// Another program, which takes no hold, writes the level right after the
// edit took its hold, or while its change is appended to the history. (On
// Windows a held level is shared with no one: no program can write it
// meanwhile.)
class WritesMeanwhile : public testing::DiskWrapper {
 public:
  LevelStatus Open(const std::string& path, OpenMode mode,
                   std::unique_ptr<LevelFile>* file) override {
    const LevelStatus status = DiskWrapper::Open(path, mode, file);
    if (held) held();
    return status;
  }
  LevelStatus Append(const std::string& path, const std::string& text) override {
    if (meanwhile) meanwhile();
    return DiskWrapper::Append(path, text);
  }
  std::function<void()> held;
  std::function<void()> meanwhile;
};

// Built again once held, with the head and values it had: refused when it
// is opened for writing, before anything is recorded.
TEST(OpenForWriting, ALevelWrittenSinceItWasHeldIsRefusedUnrecorded) {
  TempDir dir;
  const std::string path = dir.Write("a.trc", MakeLevel(3, 1));
  const testing::Bytes built = testing::LevelBytes().Version().Counts().Block(0, 0).Block(0, 0)
      .Block(0, 0).Flags(3, 1).TrcTail(testing::LevelBytes::kWholeTail, 40).Build();
  WritesMeanwhile disk;
  disk.environment["ORNIVALE_HISTORY"] = dir.File("history.jsonl");
  disk.held = [&] { dir.Write("a.trc", built); };
  EXPECT_EQ(SetLara(path, 4, disk).status.code, LevelCode::Changed);
  EXPECT_FALSE(testing::Exists(dir.File("history.jsonl")));
  EXPECT_EQ(testing::ReadAll(path), built);
}

TEST(OpenForWriting, AChangeMadeWhileTheChangeIsRecordedIsKept) {
  TempDir dir;
  const std::string path = dir.Write("a.trc", MakeLevel(3, 1));
  WritesMeanwhile disk;
  disk.environment["ORNIVALE_HISTORY"] = dir.File("history.jsonl");
  disk.meanwhile = [&] { dir.Write("a.trc", MakeLevel(6, 2)); };
  const EditResult result = SetLara(path, 4, disk);
  EXPECT_EQ(result.status.code, LevelCode::Changed);
  EXPECT_FALSE(result.status.may_be_written);
  EXPECT_EQ(testing::ReadAll(path), MakeLevel(6, 2));
}
#endif

#ifndef _WIN32
// A limit on open files far below the levels of a run: the run slows,
// holding fewer levels at once, and every level is changed and recorded.
TEST(OpenForWriting, ALowLimitOnOpenFilesFailsNoLevel) {
  TempDir dir;
  std::vector<LevelEdit> edits;
  for (int i = 0; i < 40; ++i) {
    edits.emplace_back(dir.Write("l" + std::to_string(i) + ".trc", MakeLevel(3, 1)),
                       FlagChange{uint16_t{4}, std::nullopt});
  }
  testing::DiskWrapper disk;
  disk.environment["ORNIVALE_HISTORY"] = dir.File("history.jsonl");
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &before), 0);
  rlimit low = before;
  low.rlim_cur = 16;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  std::vector<EditResult> results;
  EditLevels(edits, {"test", History::Locate(disk)}, disk, [&](const EditResult& result) { results.push_back(result); });
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &before), 0);
  ASSERT_EQ(results.size(), edits.size());
  for (std::size_t i = 0; i < edits.size(); ++i) {
    EXPECT_TRUE(results[i].ok()) << i << ": " << results[i].status.reason;
    EXPECT_EQ(testing::ReadAll(edits[i].path), MakeLevel(4, 1)) << i;
  }
  std::ifstream history(testing::FsPath(dir.File("history.jsonl")));
  std::size_t lines = 0;
  for (std::string line; std::getline(history, line);) ++lines;
  EXPECT_EQ(lines, 2 * edits.size());  // each change, and how it left its level
}
#endif

#ifdef __linux__
// What a build tool's file watcher hears: a level that holds the values
// already is closed without having been opened for writing.
TEST(OpenForWriting, ALevelLeftAsItIsWakesNoWatcherOfWriters) {
  TempDir dir;
  const std::string path = dir.Write("a.trc", MakeLevel(3, 1));
  const int watcher = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watcher, 0);
  ASSERT_GE(inotify_add_watch(watcher, path.c_str(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE), 0);
  const auto closes = [&] {
    int written = 0;
    int read_only = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = read(watcher, buffer, sizeof buffer)) > 0;) {
      for (char* at = buffer; at < buffer + n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(at);
        written += (event->mask & IN_CLOSE_WRITE) != 0;
        read_only += (event->mask & IN_CLOSE_NOWRITE) != 0;
        at += sizeof(inotify_event) + event->len;
      }
    }
    return std::pair{written, read_only};
  };
  testing::DiskWrapper disk;
  disk.environment["ORNIVALE_HISTORY"] = "off";
  EXPECT_TRUE(SetLara(path, 3, disk).ok());
  EXPECT_EQ(closes(), (std::pair{0, 1}));
  EXPECT_TRUE(SetLara(path, 4, disk).ok());
  EXPECT_EQ(closes().first, 1);
  close(watcher);
}
#endif

}  // namespace
}  // namespace ornivale
