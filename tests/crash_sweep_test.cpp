// A set of two levels, and their restore, with the system stopping at each
// call in turn, as a power cut would: after every stop each level holds
// what it held or its change, and a change it holds is in the history; a
// level reported changed kept its change; and a restore run afterwards
// gives both levels their first values.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "level/edit/level_access.h"
#include "level/edit/undo_plans.h"
#include "level/history/history.h"
#include "level/words/failure_words.h"
#include "tests/crash_disk.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::CrashDisk;
using testing::MakeLevel;

const std::vector<std::string> kLevels{"/l/a.trc", "/l/b.trc"};
const std::vector<Bytes> kFirst{MakeLevel(3, 1), MakeLevel(0, 0, 4)};
const std::vector<Bytes> kSet{MakeLevel(4, 2), MakeLevel(4, 2, 4)};

std::vector<EditResult> Run(CrashDisk& disk, const std::vector<LevelEdit>& edits,
                            const char* program) {
  std::vector<EditResult> results;
  EditLevels(edits, {program, History::Locate(disk)}, disk,
             [&](const EditResult& result) { results.push_back(result); });
  return results;
}

std::vector<EditResult> Set(CrashDisk& disk) {
  std::vector<LevelEdit> edits;
  for (const std::string& path : kLevels) {
    edits.emplace_back(path, FlagChange{uint16_t{4}, uint16_t{2}});
  }
  return Run(disk, edits, "ornivale-cli set");
}

// The history's chains; none when it can't be read.
std::optional<ChangesByLevel> ReadChains(CrashDisk& disk) {
  ChangesByLevel chains;
  int unreadable = 0;
  if (!History::Locate(disk).Changes(&chains, &unreadable).ok()) return std::nullopt;
  return chains;
}

ChangesByLevel Chains(CrashDisk& disk) {
  auto chains = ReadChains(disk);
  EXPECT_TRUE(chains.has_value());
  return chains.value_or(ChangesByLevel());
}

// ornivale-cli restore of both levels: no level is touched where the
// history can't be read.
std::vector<EditResult> Restore(CrashDisk& disk) {
  auto read = ReadChains(disk);
  if (!read) return {};
  ChangesByLevel& chains = *read;
  std::vector<LevelEdit> edits;
  for (const std::string& path : kLevels) {
    if (auto edit = RestoreEdit(path, chains[path], false)) edits.push_back(std::move(*edit));
  }
  return Run(disk, edits, "ornivale-cli restore");
}

// Whether the history holds a change of `path` that wrote what it holds.
bool Recorded(CrashDisk& disk, const std::string& path) {
  const Bytes& now = disk.Get(path);
  ChangesByLevel chains = Chains(disk);
  for (const ChangeDetails& change : chains[path]) {
    if (std::equal(change.written.begin(), change.written.end(), now.begin() + change.offset)) {
      return true;
    }
  }
  return false;
}

// A disk with the levels as they first were, then as `before` leaves them.
CrashDisk Prepared(const std::function<void(CrashDisk&)>& before) {
  CrashDisk disk;
  for (std::size_t i = 0; i < kLevels.size(); ++i) disk.Put(kLevels[i], kFirst[i]);
  before(disk);
  return disk;
}

// Runs `step` on a disk set up by `before`, stopping at each of its calls
// in turn and once after its last, and checks what each stop left.
void Sweep(const std::function<void(CrashDisk&)>& before,
           const std::function<std::vector<EditResult>(CrashDisk&)>& step,
           const std::vector<Bytes>& from, const std::vector<Bytes>& to) {
  CrashDisk whole = Prepared(before);
  const int start = whole.calls;
  step(whole);
  const int calls = whole.calls - start;
  ASSERT_GT(calls, 20);
  for (int crash_at = 1; crash_at <= calls + 1; ++crash_at) {
    SCOPED_TRACE("stopped at call " + std::to_string(crash_at) + " of " + std::to_string(calls));
    CrashDisk disk = Prepared(before);
    disk.crash_at = disk.calls + crash_at;
    const std::vector<EditResult> results = step(disk);
    disk.Recover();
    for (std::size_t i = 0; i < kLevels.size(); ++i) {
      const Bytes& now = disk.Get(kLevels[i]);
      EXPECT_TRUE(now == from[i] || now == to[i]) << kLevels[i];
      if (now != from[i]) {
        EXPECT_TRUE(Recorded(disk, kLevels[i])) << kLevels[i];
      }
      if (i < results.size() && results[i].ok()) {
        EXPECT_EQ(now, to[i]) << kLevels[i] << " was reported changed";
      }
    }
    for (const EditResult& restored : Restore(disk)) {
      EXPECT_TRUE(restored.ok()) << CodeName(restored.status.code) << " "
                                 << restored.status.reason;
    }
    for (std::size_t i = 0; i < kLevels.size(); ++i) {
      EXPECT_EQ(disk.Get(kLevels[i]), kFirst[i]) << kLevels[i] << " after the restore";
    }
  }
}

TEST(CrashSweep, ASetStoppedAtAnyCall) {
  Sweep([](CrashDisk&) {}, Set, kFirst, kSet);
}

TEST(CrashSweep, ARestoreStoppedAtAnyCall) {
  Sweep([](CrashDisk& disk) { ASSERT_EQ(Set(disk).size(), kLevels.size()); }, Restore, kSet,
        kFirst);
}

// A compaction stopped at any call leaves the old history or the new one,
// whole, and either gives the levels back.
TEST(CrashSweep, ACompactionStoppedAtAnyCall) {
  const auto before = [](CrashDisk& disk) {
    ASSERT_EQ(Set(disk).size(), kLevels.size());
    disk.Put(kLevels[0], kFirst[0]);  // another program puts its values back
    ASSERT_EQ(Set(disk).size(), kLevels.size());
  };
  CrashDisk whole = Prepared(before);
  const std::string old_text = whole.Text(CrashDisk::kHistory);
  const int start = whole.calls;
  Compaction kept;
  ASSERT_TRUE(History::Locate(whole).Compact(&kept).ok());
  const std::string new_text = whole.Text(CrashDisk::kHistory);
  ASSERT_NE(new_text, old_text);
  const int calls = whole.calls - start;
  for (int crash_at = 1; crash_at <= calls + 1; ++crash_at) {
    SCOPED_TRACE("stopped at call " + std::to_string(crash_at) + " of " + std::to_string(calls));
    CrashDisk disk = Prepared(before);
    disk.crash_at = disk.calls + crash_at;
    const bool compacted = History::Locate(disk).Compact(&kept).ok();
    disk.Recover();
    const std::string text = disk.Text(CrashDisk::kHistory);
    EXPECT_EQ(text, compacted ? new_text : old_text);
    for (const EditResult& restored : Restore(disk)) EXPECT_TRUE(restored.ok());
    for (std::size_t i = 0; i < kLevels.size(); ++i) {
      EXPECT_EQ(disk.Get(kLevels[i]), kFirst[i]) << kLevels[i] << " after the restore";
    }
  }
}

}  // namespace
}  // namespace ornivale
