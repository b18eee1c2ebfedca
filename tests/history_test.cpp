// The history of changes: recorded before each write, in groups, never
// instead of a level's safety; and what it gives back.
#include <gtest/gtest.h>

#include "level/edit/level_access.h"
#include "level/edit/undo_plans.h"
#include "level/flag_save.h"
#include "level/history/history.h"
#include "level/level4.h"
#include "level/words/failure_words.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::MemoryDisk;
using testing::RecordedChain;
using testing::SetLara;
using testing::RecordingWindow;

// Every change of the history, as read back.
std::vector<Record> RecordsOf(MemoryDisk& disk) {
  std::vector<Record> records;
  int unreadable = 0;
  EXPECT_TRUE(History::Locate(disk).Read([&](Record record) { records.push_back(record); },
                                         &unreadable).ok());
  return records;
}

std::vector<std::string> HistoryLines(const MemoryDisk& disk,
                                      const std::string& path = MemoryDisk::kHistory) {
  std::vector<std::string> lines;
  std::string text = disk.Text(path);
  for (std::size_t at; (at = text.find('\n')) != std::string::npos; text.erase(0, at + 1)) {
    lines.push_back(text.substr(0, at));
  }
  EXPECT_EQ(text, "") << "a line without its end";
  return lines;
}

TEST(History, EachChangeIsRecordedBeforeItIsWritten) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  std::string when_written;
  disk.before_write = [&](Bytes&) { when_written = disk.Text(MemoryDisk::kHistory); };
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  const auto lines = HistoryLines(disk);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(when_written, lines[0] + "\n");
  const auto changes = RecordedChain(disk, "a.trc");
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].offset, 34);
  EXPECT_EQ(changes[0].before, (std::array<uint8_t, 4>{3, 0, 1, 0}));
  EXPECT_EQ(changes[0].written, (std::array<uint8_t, 4>{4, 0, 1, 0}));
  const auto records = RecordsOf(disk);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].change->program, "ornivale-cli set");
  EXPECT_EQ(records[0].change->time, "2025-12-09T05:00:00.001Z");
  // After the write, how it left the level: the file as written.
  ASSERT_TRUE(records[1].left.has_value());
  EXPECT_EQ(records[1].left->written, changes[0].written);
  EXPECT_EQ(records[1].left->file.modified, disk.Stamp("a.trc").modified);
  EXPECT_NE(records[1].left->file.modified, changes[0].file->modified);
  EXPECT_EQ(changes[0].left->modified, disk.Stamp("a.trc").modified);
}

// Many levels' changes go out in one append and one sync before any of
// them is written; nothing at all is recorded of a level not written.
TEST(History, ManyLevelsChangesAreRecordedTogether) {
  MemoryDisk disk;
  std::vector<LevelEdit> edits;
  for (int i = 0; i < 300; ++i) {
    const std::string name = "l" + std::to_string(i) + ".trc";
    disk.Put(name, MakeLevel(i % 7 == 0 ? 4 : 3, 1));
    edits.emplace_back(name, FlagChange{uint16_t{4}, std::nullopt});
  }
  edits.emplace_back("missing.trc", FlagChange{uint16_t{4}, std::nullopt});
  std::vector<std::string> order;
  EditLevels(edits, {"ornivale-cli set", History::Locate(disk)}, disk, [&](const EditResult& edit) {
    order.push_back(edit.after.path.empty() ? "failed" : edit.after.path);
  });
  ASSERT_EQ(order.size(), 301u);
  EXPECT_EQ(order[0], "l0.trc");
  EXPECT_EQ(order[299], "l299.trc");
  EXPECT_EQ(order[300], "failed");
  // 128 levels a batch: their changes, then how they were left.
  EXPECT_EQ(disk.stats.appends, 6);
  const auto lines = HistoryLines(disk);
  EXPECT_EQ(lines.size(), 2 * (300u - 43u));  // the levels already Divesuit: 0, 7, … 294
  EXPECT_EQ(2 * disk.stats.writes.size(), lines.size());
  EXPECT_EQ(disk.stats.open_now, 0);
}

TEST(History, ALevelNamedTwiceIsEditedTwiceInTurn) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  std::vector<EditResult> results;
  EditLevels({LevelEdit("a.trc", FlagChange{uint16_t{4}, std::nullopt}),
              LevelEdit("a.trc", FlagChange{uint16_t{1}, std::nullopt})},
             {"ornivale-cli set", History::Locate(disk)}, disk, [&](const EditResult& edit) { results.push_back(edit); });
  ASSERT_EQ(results.size(), 2u);
  EXPECT_TRUE(results[1].ok());
  EXPECT_EQ(results[1].before.Value(kLara), 4);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(1, 1));
}

// If the change can't be recorded, the level isn't written either.
TEST(History, AChangeThatCantBeRecordedIsNotWritten) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.Put("b.trc", MakeLevel(4, 1));
  disk.fail_append = true;
  std::vector<EditResult> results;
  EditLevels({LevelEdit("a.trc", FlagChange{uint16_t{4}, std::nullopt}),
              LevelEdit("b.trc", FlagChange{uint16_t{4}, std::nullopt})},
             {"ornivale-cli set", History::Locate(disk)}, disk, [&](const EditResult& edit) { results.push_back(edit); });
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].status.code, LevelCode::HistoryNotWritten);
  EXPECT_EQ(results[0].status.path, "a.trc");
  EXPECT_EQ(results[0].status.part, MemoryDisk::kHistory);
  EXPECT_EQ(results[0].status.reason, "No space left on device");
  EXPECT_FALSE(results[0].status.may_be_written);
  EXPECT_TRUE(results[1].ok());  // it holds the values: nothing to record
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
  EXPECT_TRUE(disk.stats.writes.empty());
  EXPECT_EQ(disk.stats.open_now, 0);
}

// A compaction under way: a change waits for it, up to minutes, where its
// run may wait; a window's never does, and says why.
TEST(History, AChangeWaitsForACompactionUpToMinutes) {
  const struct {
    int64_t compacting_ms;
    bool waits;
    bool saved;
  } cases[] = {{30'000, true, true}, {30'000, false, false}, {3'600'000, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.compacting_ms) + (c.waits ? " ms, waiting" : " ms"));
    MemoryDisk disk;
    disk.Put("a.trc", MakeLevel(3, 1));
    disk.compacting_until_ms = disk.clock_ms() + c.compacting_ms;
    const EditResult set = EditLevel(LevelEdit("a.trc", FlagChange{uint16_t{4}, std::nullopt}),
                                      {"ornivale", History::Locate(disk), false, c.waits}, disk);
    EXPECT_EQ(set.ok(), c.saved);
    EXPECT_EQ(disk.Get("a.trc"), MakeLevel(c.saved ? 4 : 3, 1));
    if (c.saved) continue;
    EXPECT_EQ(set.status.code, LevelCode::HistoryNotWritten);
    EXPECT_NE(WindowMessage(set.status).find("ornivale-cli history --compact is compacting it"),
              std::string::npos)
        << WindowMessage(set.status);
  }
}

TEST(History, TheEnvironmentNamesItsFileOrTurnsItOff) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.environment["ORNIVALE_HISTORY"] = "/mine/changes.jsonl";
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  EXPECT_EQ(HistoryLines(disk, "/mine/changes.jsonl").size(), 2u);
  EXPECT_FALSE(disk.Exists(MemoryDisk::kHistory));

  disk.fail_append = true;  // nothing is appended, so nothing fails
  uint16_t lara = 1;
  for (const char* off : {"off", "OFF", "Off"}) {
    disk.environment["ORNIVALE_HISTORY"] = off;
    ASSERT_TRUE(SetLara(disk, "a.trc", lara).ok()) << off;
    EXPECT_EQ(disk.Get("a.trc"), MakeLevel(lara++, 1));
  }
  EXPECT_EQ(disk.stats.appends, 2);
}

// A value that is neither off nor an absolute path names no history: the
// level is left as it is and no file is made.
TEST(History, ASettingThatNamesNoFileStopsTheChange) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  for (const char* value : {"0", "no", "history.jsonl", "state/history.jsonl"}) {
    disk.environment["ORNIVALE_HISTORY"] = value;
    const LevelStatus located = History::Locate(disk).status();
    EXPECT_EQ(located.code, LevelCode::BadHistorySetting) << value;
    EXPECT_EQ(located.part, value);
    const EditResult set = SetLara(disk, "a.trc", 4);
    EXPECT_EQ(set.status.code, LevelCode::BadHistorySetting) << value;
    EXPECT_EQ(set.status.path, "a.trc");
    EXPECT_EQ(set.status.part, value);
    EXPECT_FALSE(disk.Exists(value));
  }
  EXPECT_EQ(disk.stats.appends, 0);
  EXPECT_TRUE(disk.stats.writes.empty());
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
}

TEST(History, ADryRunReadsAndChecksButNeitherWritesNorRecords) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.Put("k.trc", testing::LevelBytes().Version().Counts().Block(0, 0).Block(0, 0)
                        .Block(0, 0).Flags(3, 1).Raw({1}).Build());
  std::vector<EditResult> results;
  EditLevels({LevelEdit("a.trc", FlagChange{uint16_t{4}, uint16_t{2}}),
              LevelEdit("k.trc", FlagChange{uint16_t{4}, std::nullopt})},
             {"ornivale-cli set", History::Locate(disk), true}, disk,
             [&](const EditResult& edit) { results.push_back(edit); });
  ASSERT_EQ(results.size(), 2u);
  ASSERT_TRUE(results[0].ok());
  EXPECT_EQ(results[0].after.scan.Value(kLara), 4);
  EXPECT_EQ(results[0].after.scan.Value(kWeather), 2);
  EXPECT_EQ(results[1].status.code, LevelCode::NoPadding);
  EXPECT_EQ(disk.stats.opens_for_writing, 0);
  EXPECT_EQ(disk.stats.appends, 0);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
}

// A level whose flags moved (it was built again) starts a history of its
// own: what came before belongs to another layout.
TEST(History, ChangesSinceTheFlagsLastMoved) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  disk.Put("a.trc", MakeLevel(0, 0, 8));
  ASSERT_TRUE(SetLara(disk, "a.trc", 1).ok());
  ASSERT_TRUE(SetLara(disk, "a.trc", 6).ok());
  const auto changes = RecordedChain(disk, "a.trc");
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].offset, 42);
  EXPECT_EQ(RestoreEdit("a.trc", changes, false)->change.values[kLara], 0);
  EXPECT_EQ(RestoreEdit("a.trc", changes, true)->change.values[kLara], 1);
}

EditResult Restore(MemoryDisk& disk, const std::string& path, bool last) {
  return EditLevel(RestoreEdit(path, RecordedChain(disk, path), last).value(),
                   {"ornivale-cli restore", History::Locate(disk)}, disk);
}

TEST(Restore, GivesBackTheFirstValuesOrThoseBeforeTheLastChange) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  ASSERT_TRUE(EditLevel(LevelEdit("a.trc", FlagChange{std::nullopt, uint16_t{2}}), {"ornivale-cli set", History::Locate(disk)}, disk).ok());
  ASSERT_TRUE(Restore(disk, "a.trc", true).ok());
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(4, 1));
  ASSERT_TRUE(Restore(disk, "a.trc", false).ok());
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
  // A restore is a change like any other: it is recorded, and once more
  // finds nothing to change.
  EXPECT_EQ(HistoryLines(disk).size(), 8u);
  const EditResult again = Restore(disk, "a.trc", false);
  ASSERT_TRUE(again.ok());
  EXPECT_FALSE(again.ValuesChanged());
}

// Another program changed the level after Ornivale's last change: a
// restore would undo that program's work, so it is refused.
TEST(Restore, ALevelAnotherProgramChangedSinceIsLeftAlone) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  for (const Bytes& other : {MakeLevel(6, 1), MakeLevel(4, 2), MakeLevel(4, 1, 2)}) {
    disk.Put("a.trc", other);
    const EditResult restore = Restore(disk, "a.trc", false);
    EXPECT_EQ(restore.status.code, LevelCode::ChangedSince);
    EXPECT_EQ(disk.Get("a.trc"), other);
  }
}

// A change recorded whose write then failed: the level still holds what it
// held before, which a restore accepts.
TEST(Restore, AfterAWriteThatFailedAndAGoodOne) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.fail_write = true;
  EXPECT_EQ(SetLara(disk, "a.trc", 4).status.code, LevelCode::WriteFailed);
  EXPECT_EQ(HistoryLines(disk).size(), 1u);
  EXPECT_TRUE(Restore(disk, "a.trc", false).ok());  // nothing to give back
  disk.fail_write = false;
  ASSERT_TRUE(SetLara(disk, "a.trc", 6).ok());
  ASSERT_TRUE(Restore(disk, "a.trc", false).ok());
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));

  // A change that never reached the level stands in no undo's way:
  // restore --last undoes the last that did, the restore to Catsuit.
  disk.fail_write = true;
  EXPECT_FALSE(SetLara(disk, "a.trc", 1).ok());
  disk.fail_write = false;
  ASSERT_TRUE(Restore(disk, "a.trc", true).ok());
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(6, 1));
  ASSERT_TRUE(Restore(disk, "a.trc", true).ok());
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
}

TEST(History, TimesAreUtcToTheMillisecond) {
  EXPECT_EQ(UtcTime(0), "1970-01-01T00:00:00.000Z");
  EXPECT_EQ(UtcTime(951782400000 + 1), "2000-02-29T00:00:00.001Z");
  EXPECT_EQ(UtcTime(1765256400000 + 86399999), "2025-12-10T04:59:59.999Z");
  EXPECT_EQ(UtcTime(4102444800000), "2100-01-01T00:00:00.000Z");
}

TEST(History, LinesItCantReadArePassedOverAndCounted) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  disk.Append(MemoryDisk::kHistory, "{\"path\":\"a.trc\",\"lar\n\n");
  ASSERT_TRUE(SetLara(disk, "a.trc", 6).ok());
  int unreadable = 0;
  int read = 0;
  ASSERT_TRUE(History::Locate(disk)
                  .Read([&](const Record& record) { read += record.change.has_value(); },
                        &unreadable)
                  .ok());
  EXPECT_EQ(read, 2);
  EXPECT_EQ(unreadable, 1);
}

// A line over 1 MiB was never written by Ornivale: it is one unreadable
// line, and the history still serves every level.
TEST(History, ALineOverAMebibyteIsPassedOverAndCounted) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.Put("b.trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "a.trc", 4).ok());
  disk.Append(MemoryDisk::kHistory, "{\"path\":\"b.trc\"," + std::string(1024 * 1024, ' ') + "}\n");
  ASSERT_TRUE(SetLara(disk, "b.trc", 6).ok());
  const History history = History::Locate(disk);
  for (const std::string& level : {std::string(), std::string("b.trc")}) {
    ChangesByLevel changes;
    int unreadable = 0;
    const LevelStatus read = history.Changes(&changes, &unreadable, [&](const std::string& path) {
      return level.empty() || path == level;
    });
    EXPECT_TRUE(read.ok()) << read.reason;
    EXPECT_EQ(unreadable, 1);
    EXPECT_EQ(changes["b.trc"].size(), 1u);
    EXPECT_EQ(changes.count("a.trc"), level.empty() ? 1u : 0u);
  }
}

// A line whose start names another level plainly is passed over unparsed;
// every other line is parsed, and given only where it is about the level.
TEST(History, ReadForOneLevelPassesOverOnlyLinesAboutOthers) {
  MemoryDisk disk;
  const std::string odd_folder = "/l\xff/a.trc";  // recorded with "path_hex"
  for (const std::string& path : {std::string("/l/a.trc"), std::string("/l/ba.trc"),
                                  std::string("/l/b.trc"), odd_folder}) {
    disk.Put(path, MakeLevel(3, 1));
    ASSERT_TRUE(SetLara(disk, path, 4).ok());
  }
  disk.Append(MemoryDisk::kHistory, "{\"path\":\"/l/b.trc\",\"lar\n");
  // Escaped as JSON holds them: a Windows path, a name beyond ASCII.
  disk.Append(MemoryDisk::kHistory, R"({"path":"C:\\l\\b.trc","lar)" "\n");
  disk.Append(MemoryDisk::kHistory, R"({"path":"\/l\/\u00e9\ud835\udd43.trc","lar)" "\n");
  disk.Append(MemoryDisk::kHistory, "{\"lara\":{},\"path\":\"/l/a.trc\",\"lar\n");
  const History history = History::Locate(disk);
  const auto only = [&](const std::string& level) {
    return [&disk, level](const std::string& path) { return disk.PathKey(path) == level; };
  };
  ChangesByLevel changes;
  int unreadable = 0;
  ASSERT_TRUE(history.Changes(&changes, &unreadable, only("/l/a.trc")).ok());
  EXPECT_EQ(changes["/l/a.trc"].size(), 1u);
  EXPECT_EQ(changes.size(), 1u) << "only a.trc's changes";
  EXPECT_EQ(unreadable, 1) << "the cut line whose start names no level";

  changes.clear();
  ASSERT_TRUE(history.Changes(&changes, &unreadable, only(odd_folder)).ok());
  EXPECT_EQ(changes[odd_folder].size(), 1u);
  EXPECT_EQ(changes.size(), 1u);

  disk.Put("/l/\"q\".trc", MakeLevel(3, 1));
  ASSERT_TRUE(SetLara(disk, "/l/\"q\".trc", 4).ok());
  changes.clear();
  ASSERT_TRUE(history.Changes(&changes, &unreadable, only("/l/\"q\".trc")).ok());
  EXPECT_EQ(changes["/l/\"q\".trc"].size(), 1u) << "a path JSON escapes is parsed";
  EXPECT_EQ(changes.size(), 1u);
}

// The window: Save records its change like any front end, and the system
// menu's restore puts the first values into the lists for Save to write.
class WindowRestore : public ::testing::Test {
 protected:
  void Load(const Bytes& bytes) {
    disk_.Put("/l/a.trc", bytes);
    window_.path = "/l/a.trc";
    level_.OpenLevel(window_.path, window_);
  }
  MemoryDisk disk_;
  Level4 level_{disk_};
  RecordingWindow window_;
};

TEST_F(WindowRestore, SavesAreRecordedAndTheFirstValuesComeBack) {
  Load(MakeLevel(3, 1));
  EXPECT_FALSE(level_.HasRecordedChanges());
  window_.c2 = 4;  // Invisible
  SaveFlags(level_, window_);
  window_.c1 = 2;  // Snow
  SaveFlags(level_, window_);
  ASSERT_EQ(disk_.Get("/l/a.trc"), MakeLevel(6, 2));
  ASSERT_EQ(RecordedChain(disk_, "/l/a.trc").size(), 2u);
  EXPECT_EQ(RecordsOf(disk_)[0].change->program, "ornivale");
  EXPECT_TRUE(level_.HasRecordedChanges());

  level_.RestoreOriginalValues(window_);
  EXPECT_EQ(window_.c2, 2);  // Catsuit
  EXPECT_EQ(window_.c1, 1);  // Rain
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(disk_.Get("/l/a.trc"), MakeLevel(6, 2)) << "only Save writes";
  SaveFlags(level_, window_);
  EXPECT_EQ(disk_.Get("/l/a.trc"), MakeLevel(3, 1));
}

TEST_F(WindowRestore, AValueWithoutAnEntrySaysSoAndNamesTheCommand) {
  Load(MakeLevel(5, 1));
  window_.c2 = 0;
  SaveFlags(level_, window_);
  window_.c2 = 3;
  level_.RestoreOriginalValues(window_);
  EXPECT_EQ(window_.c2, -1);  // Save keeps what the level holds
  EXPECT_EQ(window_.c1, 1);
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0].title, "Restore original values");
  EXPECT_EQ(window_.messages[0].icon, MessageIcon::Information);
  EXPECT_NE(window_.messages[0].text.find("Lara type 5"), std::string::npos);
  EXPECT_NE(window_.messages[0].text.find("ornivale-cli restore \"/l/a.trc\""),
            std::string::npos);
}

TEST_F(WindowRestore, NothingRecordedOrNothingLoadedChangesNothing) {
  level_.RestoreOriginalValues(window_);
  Load(MakeLevel(3, 1));
  window_.c2 = 4;
  level_.RestoreOriginalValues(window_);
  EXPECT_EQ(window_.c2, 4);
  EXPECT_TRUE(window_.messages.empty());
  disk_.fail_append = true;
  SaveFlags(level_, window_);
  EXPECT_EQ(level_.LastStatus().code, LevelCode::HistoryNotWritten);
  EXPECT_EQ(disk_.Get("/l/a.trc"), MakeLevel(3, 1));
}

// The window, started under an ORNIVALE_HISTORY that names no file, saves:
// one "Error" box that names the variable, and the level left as it is.
TEST_F(WindowRestore, ASettingThatNamesNoFileIsOneErrorAtSave) {
  disk_.environment["ORNIVALE_HISTORY"] = "no";
  Level4 level(disk_);
  disk_.Put("/l/a.trc", MakeLevel(3, 1));
  window_.path = "/l/a.trc";
  level.OpenLevel(window_.path, window_);
  window_.c2 = 4;
  SaveFlags(level, window_);
  EXPECT_EQ(level.LastStatus().code, LevelCode::BadHistorySetting);
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0].title, "Error");
  EXPECT_EQ(window_.messages[0].text,
            "The environment variable ORNIVALE_HISTORY is \"no\": it must be the history "
            "file's full path, or off. /l/a.trc was not changed.");
  EXPECT_EQ(disk_.Get("/l/a.trc"), MakeLevel(3, 1));
}

}  // namespace
}  // namespace ornivale
