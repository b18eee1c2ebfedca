#include <gtest/gtest.h>

#include <functional>

#include "level/flag_save.h"
#include "level/format/level_names.h"
#include "level/level4.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::MemoryDisk;
using testing::RecordingWindow;
using Log = std::vector<std::string>;

constexpr int kNone = -1;

// The window and its level, on a disk in memory.
struct Saving {
  void Load(const std::string& path, const Bytes& bytes) {
    disk.Put(path, bytes);
    window.path = path;
    level.OpenLevel(path, window);
  }
  // Loads a.trc, whose pair is at offsets 34 to 37, then clears the log.
  void LoadLevel(uint16_t lara = 3, uint16_t weather = 1) {
    original = MakeLevel(lara, weather);
    Load("a.trc", original);
    ASSERT_EQ(level.FlagsPos(), 35);
    window.log.clear();
  }
  void Save(int lara_position, int weather_position) {
    window.c2 = lara_position;
    window.c1 = weather_position;
    SaveFlags(level, window);
  }
  // The loaded level with the four bytes at offsets 34 to 37 replaced.
  Bytes WithFlags(Bytes pair) const {
    Bytes expected = original;
    std::copy(pair.begin(), pair.end(), expected.begin() + 34);
    return expected;
  }

  MemoryDisk disk;
  Level4 level{disk};
  RecordingWindow window;
  Bytes original;
};

// Each save writes what the lists select over the pair, in place, and
// logs "Level saved"; a list without a selection keeps its stored value,
// and a save of the level's own values writes nothing. A save of its own
// needs no new load.
TEST(SaveFlags, WritesTheSelectedValuesAndKeepsThoseOfAListWithoutASelection) {
  const struct {
    const char* what;
    uint16_t lara, weather;  // the level's, when loaded
    std::vector<std::pair<int, int>> saves;  // the Lara type's and weather's positions
    Bytes pair;  // the four bytes after the saves
  } cases[] = {
      {"both", 3, 1, {{4, 2}}, {0x06, 0x00, 0x02, 0x00}},
      {"the first entries", 6, 2, {{0, 0}}, {0x00, 0x00, 0x00, 0x00}},
      {"a Lara type without a selection", 3, 1, {{kNone, 0}}, {0x03, 0x00, 0x00, 0x00}},
      {"a weather without a selection", 3, 1, {{1, kNone}}, {0x01, 0x00, 0x01, 0x00}},
      {"a Lara type without an entry", 5, 1, {{kNone, 2}}, {0x05, 0x00, 0x02, 0x00}},
      {"no selection at all", 3, 1, {{kNone, kNone}}, {0x03, 0x00, 0x01, 0x00}},
      {"the values it holds", 3, 1, {{2, 1}}, {0x03, 0x00, 0x01, 0x00}},
      {"twice", 3, 1, {{4, 2}, {1, 0}}, {0x01, 0x00, 0x00, 0x00}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Saving s;
    s.LoadLevel(c.lara, c.weather);
    Log log;
    for (const auto& [lara, weather] : c.saves) {
      s.Save(lara, weather);
      log.insert(log.end(), {"Saving level...", "Level saved"});
    }
    EXPECT_EQ(s.disk.Get("a.trc"), s.WithFlags(c.pair));
    EXPECT_EQ(s.disk.stats.writes.empty(), s.disk.Get("a.trc") == s.original);
    EXPECT_EQ(s.window.log, log);
    EXPECT_TRUE(s.window.messages.empty());
    EXPECT_EQ(s.disk.stats.open_now, 0);
  }
}

// One "Error" box for each refusal, nothing written and no "Level saved":
// the window's own refusals open no file. Whatever another program did to
// the level since it was loaded, even with the lists untouched, Save must
// not undo it; and a Tomb Raider IV level, by its name as Windows opens it
// or by its level data where a TRC level keeps the flags and padding, is
// left alone.
TEST(SaveFlags, WhatCantBeSavedIsRefusedAndLeftAsItIs) {
  Bytes wrong_version = MakeLevel(0, 0);
  wrong_version[0] = 0;
  const Bytes tr4 = testing::LevelBytes().Version().Counts().Block(0, 0).Block(0, 0)
                        .Block(0, 0).Dword(64).Dword(4).Raw({0x78, 0xDA, 0x03, 0x00}).Build();
  const auto tr4_data_as = [&tr4](const char* name) {
    return [&tr4, name](Saving& s) {
      s.LoadLevel();  // a .trc name sets the kind that the others keep
      s.Load(name, tr4);
      ASSERT_EQ(s.level.LevelKind(), kKindTrc);
      ASSERT_TRUE(s.level.LastScan().has_value());
    };
  };
  const struct {
    const char* what;
    std::function<void(Saving&)> arrange;
    LevelStatus refused;
    bool held;             // the save held the file open
    bool saving;           // and logged that it was saving
    bool lists_as_loaded;  // else it saves other values
  } cases[] = {
      {"nothing loaded", [](Saving&) {}, Failure(LevelCode::NothingLoaded, "No file opened"),
       false, false, false},
      {"a picked file that never reached the flags",
       [](Saving& s) { s.Load("x.dat", MakeLevel(3, 1)); },  // no kind yet: the scan stops
       Failure(LevelCode::NothingLoaded, "x.dat"), false, false, false},
      {"a failed load after a good one",
       [&](Saving& s) { s.LoadLevel(); s.Load("wrong.trc", wrong_version); },
       Failure(LevelCode::LoadFailed, "wrong.trc"), false, false, false},
      {"a path other than the loaded level's",
       [](Saving& s) { s.LoadLevel(); s.window.path = "other.trc"; },
       Failure(LevelCode::NotLoadedLevel, "other.trc"), false, false, false},
      {"a Tomb Raider IV level's name",
       [](Saving& s) {
         s.Load("karnak.tr4", MakeLevel(3, 1));
         s.Load("other.tr4.", MakeLevel(3, 1));  // Windows opens other.tr4
       },
       Failure(LevelCode::Tr4Level, "other.tr4."), false, false, false},
      {"Tomb Raider IV level data named as a TRC level", tr4_data_as("karnak.trc"),
       Failure(LevelCode::Tr4Level, "karnak.trc"), true, true, false},
      {"Tomb Raider IV level data named as neither", tr4_data_as("other.dat"),
       Failure(LevelCode::Tr4Level, "other.dat"), true, true, false},
      {"a level that can't be opened for writing",
       [](Saving& s) { s.LoadLevel(); s.disk.fail_open_for_write = true; },
       Failure(LevelCode::CannotOpen, "a.trc", "Permission denied"), true, false, false},
      {"a level that another program holds",
       [](Saving& s) { s.LoadLevel(); s.disk.held_by_another = true; },
       Failure(LevelCode::InUse, "a.trc"), false, false, false},
      {"a level changed since its load",
       [](Saving& s) { s.LoadLevel(); s.disk.Put("a.trc", MakeLevel(3, 2)); },
       Failure(LevelCode::Changed, "a.trc"), true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Saving s;
    c.arrange(s);
    const Bytes before = s.disk.Exists(s.window.path) ? s.disk.Get(s.window.path) : Bytes();
    s.window.log.clear();
    s.window.messages.clear();
    if (c.lists_as_loaded) {
      SaveFlags(s.level, s.window);
    } else {
      s.Save(0, 2);
    }
    ASSERT_EQ(s.window.messages.size(), 1u);
    EXPECT_EQ(s.window.messages[0].title, "Error");
    EXPECT_EQ(s.window.messages[0].icon, MessageIcon::Critical);
    testing::ExpectStatus(s.level.LastStatus(), c.refused);
    EXPECT_EQ(s.window.log, c.saving ? Log{"Saving level..."} : Log{});
    EXPECT_EQ(s.disk.stats.opens_held, c.held ? 1 : 0);
    EXPECT_TRUE(s.disk.stats.writes.empty());
    if (!before.empty()) {
      EXPECT_EQ(s.disk.Get(s.window.path), before);
    }
    EXPECT_EQ(s.disk.stats.open_now, 0);
  }
}

// The refusal by name looks at the name of the file being saved, as
// Windows opens it, not at a kind that an earlier name left.
TEST(SaveFlags, ALevelIsSavedWhateverKindAnEarlierNameLeft) {
  Saving s;
  s.Load("karnak.tr4", MakeLevel(3, 1));
  s.original = MakeLevel(3, 1);
  s.Load("city.trc.", s.original);  // Windows opens city.trc
  ASSERT_EQ(s.level.LevelKind(), kKindTr4);
  ASSERT_TRUE(s.level.LastScan().has_value());
  s.Save(0, 2);
  EXPECT_TRUE(s.window.messages.empty());
  EXPECT_EQ(s.disk.Get("city.trc."), s.WithFlags({0x00, 0x00, 0x02, 0x00}));
}

// "Level saved" means the bytes are on the disk: a failed write, sync or
// close is a failed save, and the file is closed. Once bytes went out, the
// level on disk is no longer the one loaded: the next save wants a load.
TEST(SaveFlags, FailedWriteSyncOrCloseIsReportedAndTheFileClosed) {
  const struct {
    const char* what;
    bool MemoryDisk::*failure;
    bool may_be_written;
  } cases[] = {{"write", &MemoryDisk::fail_write, false},
               {"sync", &MemoryDisk::fail_sync, true},
               {"close", &MemoryDisk::fail_close, true},
               {"read back", &MemoryDisk::fail_read_back, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Saving s;
    s.LoadLevel();
    s.disk.*c.failure = true;
    s.Save(0, 0);
    s.disk.*c.failure = false;
    ASSERT_EQ(s.window.messages.size(), 1u);
    EXPECT_EQ(s.level.LastStatus().may_be_written, c.may_be_written);
    const std::string& text = s.window.messages[0].text;
    EXPECT_EQ(text.find("may now hold the new values") != std::string::npos,
              c.may_be_written)
        << text;
    EXPECT_EQ(s.window.log, Log{"Saving level..."});
    EXPECT_EQ(s.disk.stats.open_now, 0);
    s.Save(0, 0);
    EXPECT_EQ(s.window.messages.size(), c.may_be_written ? 2u : 1u);
  }
}

}  // namespace
}  // namespace ornivale
