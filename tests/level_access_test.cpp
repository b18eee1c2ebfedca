// Inspect and apply as values: only the bytes of the values given, in one
// write, only into the level that was inspected, never into a Tomb Raider
// IV level, and never a success that was not checked.
#include <gtest/gtest.h>

#include "level/level_access.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::LevelBytes;
using testing::MakeLevel;
using testing::MemoryDisk;
using Writes = std::vector<std::pair<int64_t, std::size_t>>;

constexpr std::nullopt_t kKeep = std::nullopt;

class ApplyTest : public ::testing::Test {
 protected:
  void Put(const Bytes& bytes) {
    original_ = bytes;
    disk_.Put("a.trc", bytes);
  }
  LevelState Inspect(NameRule rule = NameRule::AnyName) {
    return InspectLevel("a.trc", rule, disk_.Opener());
  }
  // Opens a.trc for saving and applies `change`, checked against `loaded`
  // where one is given.
  LevelState Apply(std::optional<uint16_t> lara, std::optional<uint16_t> weather,
                   const LevelState* loaded = nullptr) {
    std::unique_ptr<LevelFile> file;
    LevelState state;
    state.status = OpenForSaving("a.trc", NameRule::TrcNamesOnly, disk_.Opener(), &file);
    if (state.ok()) state = ApplyFlags(std::move(file), FlagChange{lara, weather}, loaded);
    EXPECT_EQ(disk_.stats.open_now, 0);
    return state;
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

TEST_F(ApplyTest, BothValuesGoOutInOneWriteThatIsSyncedReadBackAndChecked) {
  Put(MakeLevel(3, 1));
  const LevelState state = Apply(6, 2);
  ASSERT_TRUE(state.ok());
  EXPECT_EQ(disk_.stats.writes, (Writes{{34, 4}}));
  EXPECT_EQ(Now(), With({0x06, 0x00, 0x02, 0x00}));
  EXPECT_EQ(disk_.stats.syncs, 1);
  // Four reads for the scan, one for the read-back, one look at the path.
  EXPECT_EQ(disk_.stats.reads, 5);
  EXPECT_EQ(disk_.stats.stamps_of_path, 1);
  EXPECT_EQ(state.scan.lara.Value, 6);
  EXPECT_EQ(state.scan.weather.Value, 2);
}

TEST_F(ApplyTest, OneValueWritesItsTwoBytesAndNoValueWritesNothing) {
  Put(MakeLevel(3, 1));
  ASSERT_TRUE(Apply(4, kKeep).ok());
  ASSERT_TRUE(Apply(kKeep, 0).ok());
  EXPECT_EQ(disk_.stats.writes, (Writes{{34, 2}, {36, 2}}));
  EXPECT_EQ(Now(), With({0x04, 0x00, 0x00, 0x00}));
  const LevelState untouched = Apply(kKeep, kKeep);
  ASSERT_TRUE(untouched.ok());
  EXPECT_EQ(disk_.stats.writes.size(), 2u);
  EXPECT_EQ(disk_.stats.syncs, 2);
  EXPECT_EQ(untouched.scan.lara.Value, 4);
}

// Another program sets the weather between this scan and this write of the
// Lara type: its weather stays, and the result says so.
TEST_F(ApplyTest, AValueNotGivenKeepsWhatAnotherProgramWroteMeanwhile) {
  Put(MakeLevel(3, 1));
  disk_.before_write = [](Bytes& bytes) { bytes[36] = 0x02; };
  const LevelState state = Apply(4, kKeep);
  ASSERT_TRUE(state.ok());
  EXPECT_EQ(Now(), With({0x04, 0x00, 0x02, 0x00}));
  EXPECT_EQ(state.scan.weather.Value, 2);
}

// What another program may do to a level between its load and its save.
TEST_F(ApplyTest, LevelThatIsNoLongerTheLoadedOneIsNotWritten) {
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
    const LevelState state = Apply(0, 0, &loaded);
    EXPECT_EQ(state.status.code, LevelCode::Changed);
    EXPECT_FALSE(state.status.may_be_written);
    EXPECT_EQ(Now(), now);
    EXPECT_TRUE(disk_.stats.writes.empty());
  }
}

TEST_F(ApplyTest, TheLoadedLevelUnchangedIsWrittenAndTheResultIsTheNextLoadedState) {
  Put(MakeLevel(3, 1));
  const LevelState loaded = Inspect();
  const LevelState first = Apply(0, 2, &loaded);
  ASSERT_TRUE(first.ok());
  // The result matches the file as it now is: a second save needs no load.
  const LevelState second = Apply(6, kKeep, &first);
  ASSERT_TRUE(second.ok());
  EXPECT_EQ(Now(), With({0x06, 0x00, 0x02, 0x00}));
  // The state it was first loaded in is gone.
  EXPECT_EQ(Apply(0, 0, &loaded).status.code, LevelCode::Changed);
}

TEST_F(ApplyTest, FailedWriteChangesNothingAndSaysSo) {
  Put(MakeLevel(3, 1));
  disk_.fail_write = true;
  const LevelStatus status = Apply(0, 0).status;
  EXPECT_EQ(status.code, LevelCode::WriteFailed);
  EXPECT_EQ(status.reason, "disk failure");
  EXPECT_FALSE(status.may_be_written);
  EXPECT_EQ(disk_.stats.syncs, 0);
  EXPECT_EQ(Now(), original_);
}

// Once bytes went out, a failure may leave the new values behind: each says
// so, with the code of what failed.
TEST_F(ApplyTest, FailuresAfterTheWriteSayTheLevelMayHoldTheNewValues) {
  const struct {
    const char* what;
    std::function<void(MemoryDisk&)> arrange;
    LevelCode code;
  } cases[] = {
      {"sync", [](MemoryDisk& d) { d.fail_sync = true; }, LevelCode::WriteFailed},
      {"close", [](MemoryDisk& d) { d.fail_close = true; }, LevelCode::WriteFailed},
      {"read-back", [](MemoryDisk& d) { d.fail_read_back = true; }, LevelCode::ReadFailed},
      {"rewritten meanwhile",
       [](MemoryDisk& d) { d.after_write = [](Bytes& b) { b[34] = 0x09; }; },
       LevelCode::Changed},
      {"cut short meanwhile",
       [](MemoryDisk& d) { d.after_write = [](Bytes& b) { b.resize(35); }; },
       LevelCode::Changed},
      {"grown meanwhile",
       [](MemoryDisk& d) { d.after_write = [](Bytes& b) { b.push_back(0); }; },
       LevelCode::Changed},
      {"renamed over",
       [](MemoryDisk& d) {
         d.after_write = [&d](Bytes&) { d.Replace("a.trc", MakeLevel(1, 1)); };
       },
       LevelCode::Changed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    disk_ = MemoryDisk();
    Put(MakeLevel(3, 1));
    c.arrange(disk_);
    const LevelStatus status = Apply(4, 2).status;
    EXPECT_EQ(status.code, c.code);
    EXPECT_TRUE(status.may_be_written);
    EXPECT_EQ(status.path, "a.trc");
  }
}

TEST_F(ApplyTest, TombRaiderFourLevelDataIsNeverWritten) {
  Put(LevelBytes().Version().Counts().Block(0, 0).Block(0, 0).Block(0, 0)
          .Dword(64).Dword(4).Raw({0x78, 0x9C, 0x03, 0x00}).Build());
  const LevelStatus status = Apply(3, 1).status;
  EXPECT_EQ(status.code, LevelCode::Tr4Level);
  EXPECT_EQ(status.offset, 34);
  EXPECT_EQ(Now(), original_);
  EXPECT_TRUE(disk_.stats.writes.empty());
}

// A name is judged as Windows opens it, before any file is opened.
TEST(NameRules, TombRaiderFourNamesAreNeverOpenedForSaving) {
  MemoryDisk disk;
  for (const char* name : {"k.tr4", "K.TR4", "karnak.tr4.", "karnak.tr4 . "}) {
    SCOPED_TRACE(name);
    disk.Put(name, MakeLevel(3, 1));
    for (NameRule rule : {NameRule::AnyName, NameRule::TrcNamesOnly}) {
      std::unique_ptr<LevelFile> file;
      const LevelStatus status = OpenForSaving(name, rule, disk.Opener(), &file);
      EXPECT_EQ(status.code, LevelCode::Tr4Level);
      EXPECT_EQ(status.offset, -1);
    }
  }
  EXPECT_EQ(disk.stats.opens_read_write, 0);
}

TEST(NameRules, OnlyTheTerminalRefusesOtherNames) {
  MemoryDisk disk;
  disk.Put("x.dat", MakeLevel(3, 1));
  disk.Put("city.trc.", MakeLevel(3, 1));
  std::unique_ptr<LevelFile> file;
  EXPECT_EQ(OpenForSaving("x.dat", NameRule::TrcNamesOnly, disk.Opener(), &file).code,
            LevelCode::NotNamedAsLevel);
  EXPECT_EQ(InspectLevel("x.dat", NameRule::TrcNamesOnly, disk.Opener()).status.code,
            LevelCode::NotNamedAsLevel);
  EXPECT_EQ(disk.stats.opens_read_only + disk.stats.opens_read_write, 0);
  EXPECT_TRUE(OpenForSaving("x.dat", NameRule::AnyName, disk.Opener(), &file).ok());
  EXPECT_TRUE(InspectLevel("x.dat", NameRule::AnyName, disk.Opener()).ok());
  EXPECT_TRUE(InspectLevel("city.trc.", NameRule::TrcNamesOnly, disk.Opener()).ok());
}

TEST(Inspect, ReadsFourTimesAndSaysWhatTheFileIs) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1, 5, 6, 7));
  const LevelState state = InspectLevel("a.trc", NameRule::TrcNamesOnly, disk.Opener());
  ASSERT_TRUE(state.ok());
  EXPECT_EQ(disk.stats.reads, 4);
  EXPECT_EQ(disk.stats.open_now, 0);
  EXPECT_EQ(state.scan.flags_offset, 34 + 18);
  EXPECT_EQ(state.stamp.size, static_cast<int64_t>(disk.Get("a.trc").size()));

  // A Tomb Raider IV level: the terminal reports it by its name or bytes,
  // the window reads it and refuses it only when saving.
  disk.Put("k.tr4", MakeLevel(3, 1));
  disk.Put("k.trc", LevelBytes().Version().Counts().Block(0, 0).Block(0, 0).Block(0, 0)
                        .Dword(64).Dword(4).Raw({0x28, 0x91}).Build());
  EXPECT_EQ(InspectLevel("k.tr4", NameRule::TrcNamesOnly, disk.Opener()).status.code,
            LevelCode::Tr4Level);
  const LevelState bytes = InspectLevel("k.trc", NameRule::TrcNamesOnly, disk.Opener());
  EXPECT_EQ(bytes.status.code, LevelCode::Tr4Level);
  EXPECT_EQ(bytes.status.offset, 34);
  EXPECT_TRUE(InspectLevel("k.tr4", NameRule::AnyName, disk.Opener()).ok());
  EXPECT_TRUE(InspectLevel("k.trc", NameRule::AnyName, disk.Opener()).ok());
}

TEST(Inspect, FailuresComeAsCodes) {
  MemoryDisk disk;
  EXPECT_EQ(InspectLevel("none.trc", NameRule::AnyName, disk.Opener()).status.code,
            LevelCode::CannotOpen);
  Bytes cut = MakeLevel(3, 1);
  cut.resize(20);
  disk.Put("short.trc", cut);
  EXPECT_EQ(InspectLevel("short.trc", NameRule::AnyName, disk.Opener()).status.code,
            LevelCode::CutShort);
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.fail_close = true;
  EXPECT_EQ(InspectLevel("a.trc", NameRule::AnyName, disk.Opener()).status.code,
            LevelCode::WriteFailed);
}

}  // namespace
}  // namespace ornivale
