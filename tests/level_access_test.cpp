// Inspect and edit as values: only the bytes of the values given, in one
// write, only into a TRC level that is still what was read, and never a
// success that was not checked.
#include <gtest/gtest.h>

#include "level/edit/level_access.h"
#include "level/history/history.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::LevelBytes;
using testing::MakeLevel;
using testing::MemoryDisk;
using Writes = std::vector<std::pair<int64_t, std::size_t>>;

constexpr std::nullopt_t kKeep = std::nullopt;
// Tomb Raider IV level data where a TRC level keeps its flags and padding:
// unpacked and packed sizes, then a zlib stream.
Bytes Tr4Level() {
  return LevelBytes().Version().Counts().Block(0, 0).Block(0, 0).Block(0, 0)
      .Dword(64).Dword(4).Raw({0x78, 0x9C, 0x03, 0x00}).Build();
}

class EditTest : public ::testing::Test {
 protected:
  void Put(const Bytes& bytes) {
    original_ = bytes;
    disk_.Put("a.trc", bytes);
  }
  LevelState Inspect(NameRule rule = NameRule::AnyName) {
    return InspectLevel("a.trc", rule, disk_);
  }
  // Edits a.trc as a command does, or as the window does with `loaded`.
  EditResult Edit(std::optional<uint16_t> lara, std::optional<uint16_t> weather,
                  std::optional<LevelState> loaded = std::nullopt) {
    LevelEdit edit("a.trc", FlagChange{lara, weather},
                   loaded ? NameRule::AnyName : NameRule::TrcNamesOnly);
    edit.loaded = std::move(loaded);
    const EditResult result = EditLevel(edit, {"test", History::Locate(disk_)}, disk_);
    EXPECT_EQ(disk_.stats.open_now, 0);
    return result;
  }
  // The level put with the bytes from offset 34 on replaced.
  Bytes With(const Bytes& pair) const {
    Bytes expected = original_;
    std::copy(pair.begin(), pair.end(), expected.begin() + 34);
    return expected;
  }
  const Bytes& Now() const { return disk_.Get("a.trc"); }

  MemoryDisk disk_;
  Bytes original_;
};

// Four reads for the scan, four to read the head and the flags again right
// before the write and four after it, one look at the path.
TEST_F(EditTest, TheValuesGivenGoOutInOneWriteThatIsSyncedReadAgainAndChecked) {
  const struct {
    std::optional<uint16_t> lara, weather;
    Writes writes;
    Bytes pair;
  } cases[] = {{6, 2, {{34, 4}}, {0x06, 0x00, 0x02, 0x00}},
               {4, kKeep, {{34, 2}}, {0x04, 0x00, 0x01, 0x00}},
               {kKeep, 0, {{36, 2}}, {0x03, 0x00, 0x00, 0x00}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.writes.front().first);
    disk_ = MemoryDisk();
    Put(MakeLevel(3, 1));
    const EditResult edit = Edit(c.lara, c.weather);
    ASSERT_TRUE(edit.ok());
    EXPECT_EQ(disk_.stats.opens_held, 1);
    EXPECT_EQ(disk_.stats.opens_for_writing, 1);
    EXPECT_EQ(disk_.stats.opens_read_only, 0);
    EXPECT_EQ(disk_.stats.writes, c.writes);
    EXPECT_EQ(Now(), With(c.pair));
    EXPECT_EQ(disk_.stats.syncs, 1);
    EXPECT_EQ(disk_.stats.reads, 12);
    EXPECT_EQ(disk_.stats.stamps_of_path, 1);
    EXPECT_EQ(edit.before.Value(kLara), 3);
    EXPECT_EQ(edit.after.scan.Value(kLara), c.pair[0]);
    EXPECT_EQ(edit.after.scan.Value(kWeather), c.pair[2]);
    EXPECT_TRUE(edit.ValuesChanged());
  }
}

// Nothing to change, or no value given: the level is read under the edit's
// hold, found to hold the values already, and closed unwritten, even where
// it can't be opened for writing.
TEST_F(EditTest, ALevelHoldingTheValuesIsReadAndNotWritten) {
  for (const bool read_only : {false, true}) {
    SCOPED_TRACE(read_only ? "read-only" : "writable");
    disk_ = MemoryDisk();
    Put(MakeLevel(3, 1));
    disk_.fail_open_for_write = read_only;
    for (const auto& [lara, weather] :
         {std::pair<std::optional<uint16_t>, std::optional<uint16_t>>{3, 1}, {kKeep, 1},
          {kKeep, kKeep}}) {
      const EditResult edit = Edit(lara, weather);
      ASSERT_TRUE(edit.ok());
      EXPECT_TRUE(edit.opened);
      EXPECT_FALSE(edit.ValuesChanged());
      EXPECT_EQ(edit.after.scan.Value(kLara), 3);
    }
    EXPECT_TRUE(disk_.stats.writes.empty());
    EXPECT_EQ(disk_.stats.syncs, 0);
    EXPECT_EQ(disk_.stats.reads, 3 * 4);
    EXPECT_EQ(Now(), original_);
  }
}

// What another program may do to a level between the window's load and its
// save.
TEST_F(EditTest, LevelThatIsNoLongerTheLoadedOneIsNotWritten) {
  const auto changes = {
      +[](Bytes& b) { b[36] = 0x02; },                                    // the weather
      +[](Bytes&) {},  // written again with the same bytes: a new last-write time
      +[](Bytes& b) { b.push_back(0x00); },                               // grew
      +[](Bytes& b) { b.back() ^= 0xFF; },                                // level data rewritten
      +[](Bytes& b) { b[14] = 0x02; b.insert(b.begin() + 18, {1, 2}); },  // block 1 grew
      +[](Bytes& b) { b.resize(37); },                                    // pair cut short
      +[](Bytes& b) { b.resize(12); },                                    // headers cut short
  };
  for (auto change : changes) {
    Put(MakeLevel(3, 1));
    const LevelState loaded = Inspect();
    ASSERT_TRUE(loaded.ok());
    Bytes now = original_;
    change(now);
    disk_.Put("a.trc", now);
    disk_.stats.writes.clear();
    for (auto values : {std::pair<uint16_t, uint16_t>{0, 0}, {3, 1}}) {
      const EditResult edit = Edit(values.first, values.second, loaded);
      EXPECT_EQ(edit.status.code, LevelCode::Changed);
      EXPECT_FALSE(edit.status.may_be_written);
    }
    EXPECT_EQ(Now(), now);
    EXPECT_TRUE(disk_.stats.writes.empty());
  }
}

TEST_F(EditTest, TheLoadedLevelUnchangedIsWrittenAndTheResultIsTheNextLoadedState) {
  Put(MakeLevel(3, 1));
  const LevelState loaded = Inspect();
  const EditResult first = Edit(0, 2, loaded);
  ASSERT_TRUE(first.ok());
  // The result matches the file as it now is: a second save needs no load.
  const EditResult second = Edit(6, kKeep, first.after);
  ASSERT_TRUE(second.ok());
  EXPECT_EQ(Now(), With({0x06, 0x00, 0x02, 0x00}));
  // The state it was first loaded in is gone.
  EXPECT_EQ(Edit(0, 0, loaded).status.code, LevelCode::Changed);
}

// A failed write leaves the level as it was. Once bytes went out, a
// failure may leave the new values behind: each says so, with the code of
// what failed and the system's reason. Another program may cut the level
// short, rewrite it with its flags elsewhere, or put another file in its
// place right before the write or right after it.
TEST_F(EditTest, FailuresOfTheWriteSayWhetherTheLevelMayHoldTheNewValues) {
  const struct {
    const char* what;
    std::function<void(MemoryDisk&)> arrange;
    LevelCode code;
    bool may_be_written;
    const char* reason = nullptr;  // null: not checked
    int holds = -1;  // the Lara type the level holds after it; -1: not checked
  } cases[] = {
      {"write", [](MemoryDisk& d) { d.fail_write = true; }, LevelCode::WriteFailed, false,
       "disk failure", 3},
      {"sync", [](MemoryDisk& d) { d.fail_sync = true; }, LevelCode::WriteFailed, true},
      {"close", [](MemoryDisk& d) { d.fail_close = true; }, LevelCode::WriteFailed, true},
      {"read again", [](MemoryDisk& d) { d.fail_read_back = true; }, LevelCode::ReadFailed,
       true},
      {"look at the path", [](MemoryDisk& d) { d.fail_stamp_of_path = true; },
       LevelCode::CannotCheck, true, "Input/output error", 4},
      {"values rewritten meanwhile",
       [](MemoryDisk& d) { d.after_write = [](Bytes& b) { b[34] = 0x09; }; },
       LevelCode::Changed, true},
      {"the other value rewritten right before",
       [](MemoryDisk& d) { d.before_write = [](Bytes& b) { b[36] = 0x02; }; },
       LevelCode::Changed, true},
      {"cut short meanwhile",
       [](MemoryDisk& d) { d.after_write = [](Bytes& b) { b.resize(35); }; },
       LevelCode::Changed, true},
      {"cut to nothing right before, and grown back by the write",
       [](MemoryDisk& d) { d.before_write = [](Bytes& b) { b.clear(); }; },
       LevelCode::Changed, true},
      {"cut inside its padding right before, and grown back by the write",
       [](MemoryDisk& d) { d.before_write = [](Bytes& b) { b.resize(30); }; },
       LevelCode::Changed, true},
      {"rewritten at its size with a longer first block right before",
       [](MemoryDisk& d) {
         d.before_write = [](Bytes& b) {
           b = MakeLevel(3, 1, 2, 0, 0, testing::LevelBytes::kWholeTail - 2);
         };
       },
       LevelCode::Changed, true},
      {"grown meanwhile",
       [](MemoryDisk& d) { d.after_write = [](Bytes& b) { b.push_back(0); }; },
       LevelCode::Changed, true},
      {"renamed over",
       [](MemoryDisk& d) {
         d.after_write = [&d](Bytes&) { d.Replace("a.trc", MakeLevel(1, 1)); };
       },
       LevelCode::Changed, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    disk_ = MemoryDisk();
    Put(MakeLevel(3, 1));
    c.arrange(disk_);
    const LevelStatus status = Edit(4, kKeep).status;
    EXPECT_EQ(status.code, c.code);
    EXPECT_EQ(status.may_be_written, c.may_be_written);
    EXPECT_EQ(status.path, "a.trc");
    EXPECT_TRUE(!c.reason || status.reason == c.reason) << status.reason;
    EXPECT_TRUE(c.holds < 0 || Now() == MakeLevel(static_cast<uint16_t>(c.holds), 1));
    EXPECT_TRUE(c.may_be_written || disk_.stats.syncs == 0);
  }
}

// What no TRC level keeps after its flags: Tomb Raider IV level data, whole
// or cut anywhere, or any byte but zero in the padding. Such a file is never
// written, and the window's load still shows it.
TEST_F(EditTest, OnlyZeroBytesMayFollowTheFlagsOfALevelThatIsWritten) {
  const Bytes tr4 = Tr4Level();
  // Cut at every length from the flags' place to 40 bytes past it.
  for (std::size_t length = 34; length <= 34 + 40; ++length) {
    SCOPED_TRACE(length);
    Bytes cut = tr4;
    cut.resize(std::min(length, tr4.size()));
    cut.resize(length, 0x11);  // more packed data past the stream's start
    Put(cut);
    const EditResult edit = Edit(3, 1);
    if (length < 34 + 4) {
      EXPECT_EQ(edit.status.code, LevelCode::CutShort);
    } else if (length == 34 + 4) {
      // Ending at its flags, it is a TRC level as far as the file goes.
      EXPECT_TRUE(edit.ok());
      continue;
    } else if (length < 34 + 10) {
      EXPECT_EQ(edit.status.code, LevelCode::NoPadding);
      EXPECT_EQ(edit.status.offset, 34 + 4);  // its packed size
    } else {
      EXPECT_EQ(edit.status.code, LevelCode::Tr4Level);
      EXPECT_EQ(edit.status.offset, 34);
    }
    EXPECT_EQ(Now(), original_);
    EXPECT_EQ(InspectLevel("a.trc", NameRule::AnyName, disk_).ok(), length >= 34 + 4);
  }
  disk_.stats.writes.clear();
  for (std::size_t at = 0; at < 28; at += 9) {
    SCOPED_TRACE(at);
    Bytes level = MakeLevel(3, 1);
    level[38 + at] = 0x01;
    Put(level);
    const LevelStatus status = Edit(4, 2).status;
    EXPECT_EQ(status.code, LevelCode::NoPadding);
    EXPECT_EQ(status.offset, static_cast<int64_t>(38 + at));
    EXPECT_EQ(Now(), original_);
  }
  EXPECT_TRUE(disk_.stats.writes.empty());
}

TEST_F(EditTest, PaddingCutShortOrALevelEndingAtItsFlagsIsWritten) {
  for (std::size_t tail : {std::size_t{0}, std::size_t{1}, std::size_t{27},
                           std::size_t{28}, std::size_t{40}}) {
    SCOPED_TRACE(tail);
    Put(MakeLevel(3, 1, 0, 0, 0, tail));
    ASSERT_TRUE(Edit(4, 2).ok());
    EXPECT_EQ(Now(), With({0x04, 0x00, 0x02, 0x00}));
  }
}

// The layout passes over nothing for a negative packed size, so the window
// shows the values after it; no level is made that way, and none is
// written.
TEST_F(EditTest, ANegativeBlockSizeIsShownButNeverWritten) {
  Put(LevelBytes().Version().Counts().Block(4, 4).Block(-2, 0).Block(0, 0)
          .Flags(3, 1).TrcTail().Build());
  const LevelState shown = Inspect();
  ASSERT_TRUE(shown.ok());
  EXPECT_EQ(shown.scan.flags_offset, 38);
  EXPECT_EQ(shown.scan.Value(kLara), 3);
  for (const EditResult& edit : {Edit(4, 2), Edit(4, 2, shown)}) {
    EXPECT_EQ(edit.status.code, LevelCode::NegativeSize);
    EXPECT_EQ(edit.status.part, "texture block 2");
  }
  EXPECT_EQ(Inspect(NameRule::TrcNamesOnly).status.code, LevelCode::NegativeSize);
  EXPECT_EQ(Now(), original_);
}

EditResult EditOn(MemoryDisk& disk, const std::string& name, NameRule rule) {
  return EditLevel(LevelEdit(name, FlagChange{uint16_t{4}, kKeep}, rule),
                   {"test", History::Locate(disk)}, disk);
}

// A name is judged as Windows opens it, before any file is opened: a
// Tomb Raider IV level's name is refused to the window's save as to
// ornivale-cli's show and set. The window reads it, to show it.
TEST(NameRules, TombRaiderFourNamesAreNeverOpenedForSaving) {
  MemoryDisk disk;
  for (const char* name : {"k.tr4", "K.TR4", "karnak.tr4.", "karnak.tr4 . "}) {
    SCOPED_TRACE(name);
    disk.Put(name, MakeLevel(3, 1));
    for (NameRule rule : {NameRule::AnyName, NameRule::TrcNamesOnly}) {
      const EditResult edit = EditOn(disk, name, rule);
      EXPECT_EQ(edit.status.code, LevelCode::Tr4Level);
      EXPECT_EQ(edit.status.offset, -1);
      EXPECT_FALSE(edit.opened);
    }
    EXPECT_EQ(InspectLevel(name, NameRule::TrcNamesOnly, disk).status.code,
              LevelCode::Tr4Level);
  }
  EXPECT_EQ(disk.stats.opens_held + disk.stats.opens_read_only, 0);
}

TEST(NameRules, OnlyTheTerminalRefusesOtherNames) {
  MemoryDisk disk;
  disk.Put("x.dat", MakeLevel(3, 1));
  disk.Put("city.trc.", MakeLevel(3, 1));
  EXPECT_EQ(EditOn(disk, "x.dat", NameRule::TrcNamesOnly).status.code,
            LevelCode::NotNamedAsLevel);
  EXPECT_EQ(InspectLevel("x.dat", NameRule::TrcNamesOnly, disk).status.code,
            LevelCode::NotNamedAsLevel);
  EXPECT_EQ(disk.stats.opens_read_only + disk.stats.opens_held, 0);
  EXPECT_TRUE(EditOn(disk, "x.dat", NameRule::AnyName).ok());
  EXPECT_TRUE(InspectLevel("x.dat", NameRule::AnyName, disk).ok());
  EXPECT_TRUE(InspectLevel("city.trc.", NameRule::TrcNamesOnly, disk).ok());
}

}  // namespace
}  // namespace ornivale
