// Edits of real levels that meet other edits: the hold an edit keeps on its
// level from its open for writing to its close, so that two edits never
// interleave and none loses what another wrote.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "level/edit/level_access.h"
#include "level/history/history.h"
#include "level/words/failure_words.h"
#include "tests/disk_wrapper.h"
#include "tests/faulty_disk.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::FaultyDisk;
using testing::MakeLevel;
using testing::TempDir;
using namespace std::chrono_literals;

EditResult SetValues(const std::string& path, std::optional<uint16_t> lara,
                     std::optional<uint16_t> weather, Disk& disk = Disk::Default()) {
  return EditLevel(LevelEdit(path, FlagChange{lara, weather}), {"test", History::Locate(disk)}, disk);
}

// Counts the opens that have returned, whatever they returned.
class WatchedDisk : public testing::DiskWrapper {
 public:
  LevelStatus Open(const std::string& path, OpenMode mode,
                   std::unique_ptr<LevelFile>* file) override {
    const LevelStatus status = DiskWrapper::Open(path, mode, file);
    ++opened;
    return status;
  }
  std::atomic<int> opened{0};
};

TEST(EditHold, AnotherEditCantOpenTheLevelUntilTheFirstClosesIt) {
  TempDir dir;
  const std::string path = dir.Write("a.trc", MakeLevel(3, 1));
  std::unique_ptr<LevelFile> held;
  ASSERT_TRUE(Disk::Default().Open(path, OpenMode::Held, &held).ok());
  std::unique_ptr<LevelFile> other;
  EXPECT_EQ(Disk::Default().Open(path, OpenMode::Held, &other).code, LevelCode::InUse);
  EXPECT_EQ(SetValues(path, 4, 2).status.code, LevelCode::InUse);
#ifdef _WIN32
  // Windows shares a level being edited with no one, not even a reader.
  EXPECT_EQ(Disk::Default().Open(path, OpenMode::ReadOnly, &other).code, LevelCode::InUse);
#else
  // The lock is advisory: looking at a level stays open to all.
  EXPECT_TRUE(Disk::Default().Open(path, OpenMode::ReadOnly, &other).ok());
#endif
  ASSERT_TRUE(held->Close().ok());
  EXPECT_TRUE(SetValues(path, 4, 2).ok());
  EXPECT_EQ(testing::ReadAll(path), MakeLevel(4, 2));
}

// The first edit is held inside its write while a second edit of the same
// level starts: the second's open returns only once the first has closed
// the level, and it reads what the first wrote.
TEST(EditHold, ASecondEditWaitsAndReadsWhatTheFirstWrote) {
  TempDir dir;
  const std::string path = dir.Write("a.trc", MakeLevel(3, 1));
  for (const auto& second_values : {std::pair<std::optional<uint16_t>, std::optional<uint16_t>>{
                                       std::nullopt, 2},  // the other flag
                                   {1, std::nullopt}}) {  // the same flag
    dir.Write("a.trc", MakeLevel(3, 1));
    WatchedDisk watched;
    EditResult second;
    std::thread second_edit;
    int opened_while_held = -1;
    FaultyDisk slow;
    slow.before_write = [&] {
      second_edit = std::thread([&] {
        second = SetValues(path, second_values.first, second_values.second, watched);
      });
      // Give the second edit time to meet the hold; its open must not return.
      for (int i = 0; i < 30 && watched.opened == 0; ++i) std::this_thread::sleep_for(10ms);
      opened_while_held = watched.opened;
    };
    const EditResult first = SetValues(path, 4, std::nullopt, slow);
    second_edit.join();
    ASSERT_TRUE(first.ok()) << CodeName(first.status.code);
    ASSERT_TRUE(second.ok()) << CodeName(second.status.code);
    EXPECT_EQ(opened_while_held, 0);
    EXPECT_EQ(second.before.Value(kLara), 4);
    EXPECT_EQ(testing::ReadAll(path),
              MakeLevel(second_values.first.value_or(4), second_values.second.value_or(1)));
  }
}

// Six edits at once on one level, each writing a value of its own: every
// edit that succeeds read what the one before it wrote, so the values form
// one chain from the level's first value to its last, and none is lost.
TEST(EditHold, ManyEditsAtOnceFormOneChain) {
  TempDir dir;
  const std::string path = dir.Write("a.trc", MakeLevel(3, 1));
  constexpr int kThreads = 6;
#ifdef _WIN32
  constexpr int kEdits = 10;
#else
  constexpr int kEdits = 30;
#endif
  std::mutex mutex;
  std::map<int32_t, int32_t> next;  // the value read -> the value written
  int reads_of_one_value = 0;
  int in_use = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEdits; ++i) {
        const auto value = static_cast<uint16_t>(100 + t * kEdits + i);
        const EditResult edit = SetValues(path, value, std::nullopt);
        const std::lock_guard<std::mutex> lock(mutex);
        if (edit.status.code == LevelCode::InUse) {
          ++in_use;
          continue;
        }
        ASSERT_TRUE(edit.ok()) << CodeName(edit.status.code);
        if (!next.emplace(edit.before.Value(kLara), value).second) ++reads_of_one_value;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(reads_of_one_value, 0) << "two edits read the same value: one was lost";
  int32_t value = 3;
  std::size_t length = 0;
  for (auto found = next.find(value); found != next.end(); found = next.find(value)) {
    value = found->second;
    ++length;
  }
  EXPECT_EQ(length, next.size());
  EXPECT_EQ(length + static_cast<std::size_t>(in_use),
            static_cast<std::size_t>(kThreads * kEdits));
  EXPECT_EQ(testing::ReadAll(path), MakeLevel(static_cast<uint16_t>(value), 1));
}

// The same level by two names in one run (a hard link beside it, as a
// folder and a link to one of its levels give): the second edit waits for
// no hold of the run's own and is never "in use". The first is written,
// and the second finds its values there.
TEST(EditHold, TheSameLevelByTwoNamesInOneRunIsNeverInUse) {
  TempDir dir;
  const std::string level = dir.Write("a.trc", MakeLevel(3, 1));
  const std::string link = dir.File("link.trc");
  std::filesystem::create_hard_link(testing::FsPath(level), testing::FsPath(link));
  const std::vector<LevelEdit> edits{LevelEdit(level, FlagChange{uint16_t{4}, std::nullopt}),
                                     LevelEdit(link, FlagChange{uint16_t{4}, std::nullopt})};
  std::vector<EditResult> results;
  EditLevels(edits, {"test", History::Off(Disk::Default())}, Disk::Default(),
             [&](const EditResult& result) { results.push_back(result); });
  ASSERT_EQ(results.size(), 2u);
  for (const EditResult& result : results) {
    EXPECT_TRUE(result.ok()) << CodeName(result.status.code) << " " << result.status.path;
  }
  EXPECT_TRUE(results[0].ValuesChanged());
  EXPECT_FALSE(results[1].ValuesChanged());
  EXPECT_EQ(testing::ReadAll(level), MakeLevel(4, 1));
}

}  // namespace
}  // namespace ornivale
