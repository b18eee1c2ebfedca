// Which level a recorded change speaks of, and what an undo may give back:
// only what lies on the level's current chain, never another file's or
// another build's values, and the same answer for ornivale-cli and the
// window.
#include <gtest/gtest.h>

#include <functional>

#include "level/edit/level_access.h"
#include "level/edit/undo_plans.h"
#include "level/history/history.h"
#include "level/level4.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::MemoryDisk;
using testing::RecordedChain;
using testing::SetLara;

// What `restore` (or `restore --last`) does to the level at `path`; the
// code NothingLoaded where it finds nothing left to undo.
EditResult Restore(MemoryDisk& disk, const std::string& path, bool last = false) {
  const auto edit = RestoreEdit(path, RecordedChain(disk, path), last);
  if (!edit) {
    EditResult none;
    none.status = Failure(LevelCode::NothingLoaded, path);
    return none;
  }
  return EditLevel(*edit, {"ornivale-cli restore", History::Locate(disk)}, disk);
}

// A set of a.trc's Lara type from `before` to `after` (with Rain), as an
// Ornivale that kept no "file" and no "v" recorded it.
std::string FirstFormatLine(int before, int after) {
  const auto lara = [](int value) {
    return R"({"value":)" + std::to_string(value) + R"(,"text":")" +
           kFlags[kLara].entries.TextOf(value) + "\"}";
  };
  const auto bytes = [](int value) { return "0" + std::to_string(value) + "000100"; };
  return R"({"path":"a.trc","lara":)" + lara(after) +
         R"(,"weather":{"value":1,"text":"Rain"},"before":{"lara":)" + lara(before) +
         R"(,"weather":{"value":1,"text":"Rain"}},"changed":true,)"
         R"("time":"2026-12-09T05:26:22.646Z","program":"ornivale-cli set","offset":34,)"
         R"("bytes":{"before":")" + bytes(before) + R"(","written":")" + bytes(after) +
         "\"}}\n";
}

// The level at the same layout built again: its rooms, and so its level
// data's sizes, differ.
Bytes Rebuilt(uint16_t lara, uint16_t weather) {
  return testing::LevelBytes().Version().Counts().Block(0, 0).Block(0, 0).Block(0, 0)
      .Flags(lara, weather).TrcTail(testing::LevelBytes::kWholeTail, 40).Build();
}

// An undo writes only where the level is still the file and the write that
// Ornivale's last change left: each way another program may have put
// something else there is refused, with its reason, and left as it is.
TEST(UndoChain, AnUndoWritesOnlyWhereTheLevelIsAsOrnivaleLeftIt) {
  const struct {
    const char* what;
    std::function<void(MemoryDisk&)> since;
    const char* reason;  // null: the restore is made
  } cases[] = {
      {"left as it was", [](MemoryDisk&) {}, nullptr},
      {"built again in place at the same sizes, holding what Ornivale wrote",
       [](MemoryDisk& disk) { disk.Put("a.trc", MakeLevel(4, 1)); },
       "it was written since Ornivale changed it"},
      {"a new file in its place, with the deleted one's index",
       [](MemoryDisk& disk) { disk.Recreate("a.trc", MakeLevel(4, 1)); },
       "another file is at its path"},
      {"built again with other rooms", [](MemoryDisk& disk) { disk.Put("a.trc", Rebuilt(4, 1)); },
       "it was built again"},
      {"built again with its values elsewhere",
       [](MemoryDisk& disk) { disk.Put("a.trc", MakeLevel(4, 1, 8)); }, "its values moved"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryDisk disk;
    disk.Put("a.trc", MakeLevel(3, 1));
    ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
    c.since(disk);
    const Bytes now = disk.Get("a.trc");
    const EditResult restore = Restore(disk, "a.trc");
    if (!c.reason) {
      EXPECT_TRUE(restore.ok()) << restore.status.reason;
      EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
      continue;
    }
    EXPECT_EQ(restore.status.code, LevelCode::ChangedSince);
    EXPECT_NE(restore.status.reason.find(c.reason), std::string::npos) << restore.status.reason;
    EXPECT_EQ(disk.Get("a.trc"), now);
  }
}

// What reapply writes after a rebuild: each field whose value after the
// chain's last change differs from before its first, as last written; none
// where the last change was a restore or the fields came back.
TEST(UndoChain, ReapplyWritesTheFieldsThatOrnivalesChangesLeft) {
  using Kind = Reapplying::Kind;
  const auto set = [](std::optional<uint16_t> lara, std::optional<uint16_t> weather) {
    return [=](MemoryDisk& disk) {
      return EditLevel(LevelEdit("a.trc", FlagChange{lara, weather}),
                       {"ornivale-cli set", History::Locate(disk)}, disk)
          .ok();
    };
  };
  const auto restore = [](bool last) {
    return [=](MemoryDisk& disk) { return Restore(disk, "a.trc", last).ok(); };
  };
  const auto older = [](MemoryDisk& disk) {
    disk.Append(MemoryDisk::kHistory, FirstFormatLine(0, 4));
    return true;
  };
  const auto unwritten = [](MemoryDisk& disk) {
    disk.fail_write = true;
    const bool failed = !SetLara(disk, "a.trc", 6).ok();
    disk.fail_write = false;
    return failed;
  };
  const struct {
    const char* what;
    std::vector<std::function<bool(MemoryDisk&)>> changes;
    Kind kind;
    FlagChange apply;
  } cases[] = {
      {"nothing recorded", {}, Kind::NothingRecorded, {}},
      {"one field set", {set(1, {})}, Kind::Apply, {uint16_t{1}, std::nullopt}},
      {"both, one at a time, the last value of each",
       {set(1, {}), set({}, 1), set(4, {})}, Kind::Apply, {uint16_t{4}, uint16_t{1}}},
      {"a field set back by hand", {set(1, 1), set(0, {})}, Kind::Apply,
       {std::nullopt, uint16_t{1}}},
      {"given back by restore", {set(1, 1), restore(false)}, Kind::NothingToApply, {}},
      {"last undone by restore --last", {set(1, {}), set(4, {}), restore(true)},
       Kind::NothingToApply, {}},
      {"a last change that never reached the level", {set(1, {}), unwritten}, Kind::Apply,
       {uint16_t{1}, std::nullopt}},
      {"a last change an older version recorded", {older}, Kind::Apply,
       {uint16_t{4}, std::nullopt}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryDisk disk;
    disk.Put("a.trc", MakeLevel(0, 2));
    for (const auto& change : c.changes) ASSERT_TRUE(change(disk));
    disk.Put("a.trc", Rebuilt(0, 2));  // the editor's own values
    std::vector<Reapplying> found;
    int unreadable = 0;
    ASSERT_TRUE(ReapplyEdits({"a.trc"}, History::Locate(disk), disk, &found, &unreadable).ok());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].kind, c.kind);
    EXPECT_EQ(found[0].edit.has_value(), c.kind == Kind::Apply);
    if (found[0].edit) {
      EXPECT_EQ(found[0].edit->change.values, c.apply.values);
    }
  }
}

// A line of an older format after a newer one (an older Ornivale sharing
// the history) tells less of the level: the chain starts anew there.
TEST(UndoChain, ALineOfAnOlderFormatAfterANewerBreaksIt) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  disk.Append(MemoryDisk::kHistory, FirstFormatLine(4, 6));
  const auto chain = RecordedChain(disk, "a.trc");
  ASSERT_EQ(chain.size(), 1u);
  EXPECT_EQ(chain[0].format, 1);
}

// Young Lara set, a rebuilt level (Normal Lara, Snow) copied over the file,
// Divesuit set: the rebuilt level's own values come back, never the first
// build's Catsuit and Rain.
TEST(UndoChain, ALevelBuiltAgainAtTheSameLayoutStartsItAnew) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "a.trc", 1).ok());
  disk.Put("a.trc", Rebuilt(0, 2));  // in place, as cp does
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  EXPECT_EQ(RecordedChain(disk, "a.trc").size(), 1u);
  ASSERT_TRUE(Restore(disk, "a.trc").ok());
  EXPECT_EQ(disk.Get("a.trc"), Rebuilt(0, 2));
}

// The same values found again, in another build: the chain breaks on the
// build alone.
TEST(UndoChain, AnotherBuildThatHoldsWhatWasWrittenBreaksItToo) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "a.trc", 1).ok());
  disk.Put("a.trc", Rebuilt(1, 1));
  EXPECT_EQ(Restore(disk, "a.trc").status.code, LevelCode::ChangedSince);
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  EXPECT_EQ(RecordedChain(disk, "a.trc").size(), 1u);
}

// city.trc set twice and other.trc once, then their names swapped: the
// file now named city.trc never gets city.trc's first Catsuit.
TEST(UndoChain, AFileNowAtThePathGetsNoValuesOfAnother) {
  MemoryDisk disk;
  disk.Put("city.trc", MakeLevel(3, 1));
  disk.Put("other.trc", MakeLevel(0, 0));
  ASSERT_TRUE(SetLara(disk, "city.trc", 1).ok());
  ASSERT_TRUE(SetLara(disk, "city.trc", 4).ok());
  ASSERT_TRUE(SetLara(disk, "other.trc", 4).ok());
  disk.SwapNames("city.trc", "other.trc");
  const EditResult restore = Restore(disk, "city.trc");
  EXPECT_EQ(restore.status.code, LevelCode::ChangedSince);
  EXPECT_NE(restore.status.reason.find("another file"), std::string::npos)
      << restore.status.reason;
  EXPECT_EQ(disk.Get("city.trc"), MakeLevel(4, 0));
  EXPECT_EQ(disk.Get("other.trc"), MakeLevel(4, 1));
}

TEST(UndoChain, RestoreLastStepsOneChangeFurtherBackEachTime) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  for (uint16_t lara : {4, 6, 1}) ASSERT_TRUE(SetLara(disk, "a.trc", lara).ok());
  for (uint16_t back : {6, 4, 3}) {
    ASSERT_TRUE(Restore(disk, "a.trc", true).ok());
    EXPECT_EQ(disk.Get("a.trc"), MakeLevel(back, 1));
  }
  EXPECT_EQ(Restore(disk, "a.trc", true).status.code, LevelCode::NothingLoaded)
      << "every change undone";
  // A change after the undos is the next one undone.
  ASSERT_TRUE(SetLara(disk, "a.trc", 2).ok());
  ASSERT_TRUE(Restore(disk, "a.trc", true).ok());
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
  ASSERT_TRUE(Restore(disk, "a.trc").ok());
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
}

// What the last change found counts as held only while its write did not
// happen: the same values put back by another program are its change.
TEST(UndoChain, WhatTheLastChangeFoundCountsOnlyForAWriteThatDidNotHappen) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  disk.fail_write = true;
  EXPECT_EQ(SetLara(disk, "a.trc", 6).status.code, LevelCode::WriteFailed);
  disk.fail_write = false;
  ASSERT_TRUE(Restore(disk, "a.trc").ok());
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));

  disk.Put("a.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  ASSERT_TRUE(SetLara(disk, "a.trc", 6).ok());
  disk.Put("a.trc", MakeLevel(4, 1));  // another program, in place
  EXPECT_EQ(Restore(disk, "a.trc").status.code, LevelCode::ChangedSince);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(4, 1));
}

// After a change that another program's write followed, the chain starts
// anew with the next change, even where the level then looks as a change
// before found it: a restore gives back what the next change found.
TEST(UndoChain, AfterAnotherProgramsWriteTheChainStartsAnew) {
  const struct {
    const char* what;
    std::function<void(MemoryDisk&)> since;
  } cases[] = {
      {"a write that failed, then the same values put back by another program",
       [](MemoryDisk& disk) {
         disk.fail_write = true;
         EXPECT_FALSE(SetLara(disk, "a.trc", 6).ok());
         disk.fail_write = false;
         disk.Put("a.trc", MakeLevel(4, 1));
       }},
      {"a write, then the level copied back with its time, as before it",
       [](MemoryDisk& disk) {
         const int64_t found = disk.Stamp("a.trc").modified;
         ASSERT_TRUE(SetLara(disk, "a.trc", 6).ok());
         disk.Put("a.trc", MakeLevel(4, 1));
         disk.SetModified("a.trc", found);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryDisk disk;
    disk.Put("a.trc", MakeLevel(4, 1));
    disk.Append(MemoryDisk::kHistory, FirstFormatLine(3, 4));
    c.since(disk);
    ASSERT_TRUE(SetLara(disk, "a.trc", 2).ok());
    ASSERT_TRUE(Restore(disk, "a.trc").ok());
    EXPECT_EQ(disk.Get("a.trc"), MakeLevel(4, 1));
  }
}

// A line of the first format (no "v", no "file") still serves.
TEST(UndoChain, LinesOfTheFirstFormatAreRead) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(4, 1));
  disk.Append(MemoryDisk::kHistory, FirstFormatLine(3, 4));
  ASSERT_TRUE(SetLara(disk, "a.trc", 6).ok());
  const auto chain = RecordedChain(disk, "a.trc");
  ASSERT_EQ(chain.size(), 2u);
  EXPECT_FALSE(chain[0].file.has_value());
  EXPECT_TRUE(chain[1].file.has_value());
  ASSERT_TRUE(Restore(disk, "a.trc").ok());
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));

  // Built again with its values elsewhere, the same ones: the line no
  // longer tells of them.
  disk.Put("a.trc", MakeLevel(4, 1, 8));
  disk.Append(MemoryDisk::kHistory, FirstFormatLine(3, 4));
  EXPECT_EQ(Restore(disk, "a.trc").status.code, LevelCode::ChangedSince);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(4, 1, 8));
}

// The window offers its restore only where restore would restore.
TEST(UndoChain, TheWindowAsksTheSameQuestion) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  Level4 level(disk);
  testing::RecordingWindow window;
  level.OpenLevel("a.trc", window);
  EXPECT_TRUE(level.HasRecordedChanges());

  for (const Bytes& other : {MakeLevel(6, 1), MakeLevel(4, 1, 8), Rebuilt(4, 1)}) {
    disk.Put("a.trc", other);
    level.OpenLevel("a.trc", window);
    EXPECT_FALSE(level.HasRecordedChanges());
    EXPECT_EQ(Restore(disk, "a.trc").status.code, LevelCode::ChangedSince);
    const int lara = window.c2;
    level.RestoreOriginalValues(window);
    EXPECT_EQ(window.c2, lara) << "the lists keep what the level holds";
  }
}

// A compaction keeps each level's chain line for line, in order, and
// nothing else: what came before a chain broke, a line it can't read, a
// change whose write never happened. Every undo then gives back what it
// gave back before.
TEST(UndoChain, ACompactionKeepsWhatEveryUndoNeedsAndNothingElse) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.Put("b.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "a.trc", 1).ok());
  disk.Put("a.trc", Rebuilt(0, 2));  // breaks a.trc's chain
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  ASSERT_TRUE(SetLara(disk, "b.trc", 4).ok());
  disk.fail_write = true;
  ASSERT_EQ(SetLara(disk, "b.trc", 6).status.code, LevelCode::WriteFailed);
  disk.fail_write = false;
  ASSERT_TRUE(SetLara(disk, "b.trc", 2).ok());
  ASSERT_TRUE(Restore(disk, "b.trc", true).ok());  // back to Divesuit
  disk.Append(MemoryDisk::kHistory, "{\"path\":\"b.trc\",\"lar\n");
  const auto lines = [&] {
    std::vector<std::string> all;
    std::string text = disk.Text(MemoryDisk::kHistory);
    for (std::size_t end; (end = text.find('\n')) != std::string::npos; text.erase(0, end + 1)) {
      all.push_back(text.substr(0, end));
    }
    return all;
  };
  // Each change written is followed by how it left its level.
  const std::vector<std::string> before = lines();
  ASSERT_EQ(before.size(), 12u);
  ChangesByLevel chains;
  int unreadable = 0;
  ASSERT_TRUE(History::Locate(disk).Changes(&chains, &unreadable).ok());
  ASSERT_EQ(unreadable, 1);

  Compaction kept;
  ASSERT_TRUE(History::Locate(disk).Compact(&kept).ok());
  EXPECT_EQ(lines(), (std::vector<std::string>{before[2], before[3], before[4], before[5],
                                               before[7], before[8], before[9], before[10]}));
  EXPECT_EQ(kept.lines_before, 12);
  EXPECT_EQ(kept.lines_kept, 8);
  EXPECT_EQ(kept.bytes_kept, static_cast<int64_t>(disk.Text(MemoryDisk::kHistory).size()));
  EXPECT_EQ(RecordedChain(disk, "a.trc").size(), chains["a.trc"].size());
  EXPECT_EQ(RecordedChain(disk, "b.trc").size(), chains["b.trc"].size());

  ASSERT_TRUE(Restore(disk, "b.trc", true).ok());
  EXPECT_EQ(disk.Get("b.trc"), MakeLevel(3, 1));
  ASSERT_TRUE(Restore(disk, "a.trc").ok());
  EXPECT_EQ(disk.Get("a.trc"), Rebuilt(0, 2));
}

}  // namespace
}  // namespace ornivale
