// The levels that what a user names stands for, on a memory disk: folders,
// patterns, the same level named twice, and which name each came from.
#include <gtest/gtest.h>

#include "level/sets/level_set.h"
#include "level/words/failure_words.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::MakeLevel;
using testing::MemoryDisk;

// Each result as "named:path" or "named:path:code".
std::vector<std::string> Named(const std::vector<std::string>& names, MemoryDisk& disk) {
  std::vector<std::string> results;
  for (const NamedLevel& level : LevelsNamed(names, disk)) {
    results.push_back(std::to_string(level.named) + ":" + level.path +
                      (level.ok() ? "" : ":" + std::string(CodeName(level.failure.code)) +
                                             ":" + level.failure.part));
  }
  return results;
}

class LevelSet : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* path : {"/p/b.trc", "/p/A.TRC", "/p/notes.txt", "/p/c.tr4",
                             "/p/sub/d.trc", "/q/e.trc", "/q/e.trc.bak"}) {
      disk_.Put(path, MakeLevel(3, 1));
    }
  }
  MemoryDisk disk_;
};

TEST_F(LevelSet, AFolderStandsForItsTrcLevelsInNameOrderAndEachLevelComesOnce) {
  EXPECT_EQ(Named({"/q/e.trc", "/p", "/q", "/p/", "/p/b.trc", "/none.trc", "/r"}, disk_),
            (std::vector<std::string>{"0:/q/e.trc", "1:/p/A.TRC", "1:/p/b.trc",
                                      "5:/none.trc", "6:/r"}));
}

// A folder's levels come in the order Explorer shows them.
TEST_F(LevelSet, AFoldersLevelsComeInExplorersOrder) {
  const std::vector<std::string> shown{
      "bonus.trc",    "Bonus2.trc",    "ÉTÉ.trc",    "été1.trc",    "Level 2.trc",
      "level 02.trc", "Level 10.trc",  "level 10b.trc", "Level 10c.trc", "Zürich.trc",
      "ZÜRICH9.trc",  "Ω.trc",         "ω2.trc"};
  for (auto name = shown.rbegin(); name != shown.rend(); ++name) {
    disk_.Put("/pack/" + *name, MakeLevel(3, 1));
  }
  std::vector<std::string> expected;
  for (const std::string& name : shown) expected.push_back("0:/pack/" + name);
  EXPECT_EQ(Named({"/pack"}, disk_), expected);
}

TEST_F(LevelSet, ANameThatStandsForNoLevelComesAsItsFailureInItsPlace) {
  disk_.Put("/empty/notes.txt", {});
  EXPECT_EQ(Named({"/empty", "/q"}, disk_),
            (std::vector<std::string>{"0:/empty:no-level-found:folder", "1:/q/e.trc"}));
}

TEST_F(LevelSet, PatternsAreExpandedOnlyWhereTheDiskLeavesThemToTheProgram) {
  EXPECT_EQ(Named({"/p/*.trc"}, disk_), (std::vector<std::string>{"0:/p/*.trc"}));
  disk_.wildcards = true;
  EXPECT_EQ(Named({"/p/?.trc", "/q/*.tr4", "/p/*"}, disk_),
            (std::vector<std::string>{"0:/p/A.TRC", "0:/p/b.trc",
                                      "1:/q/*.tr4:no-level-found:pattern", "2:/p/c.tr4",
                                      "2:/p/notes.txt", "2:/p/sub"}));
}

TEST_F(LevelSet, TheFolderOfAPath) {
  EXPECT_EQ(FolderOf("/p/sub/d.trc", disk_), "/p/sub");
  EXPECT_EQ(FolderOf("/a.trc", disk_), "");
  EXPECT_EQ(FolderOf("a.trc", disk_), "");
}

}  // namespace
}  // namespace ornivale
