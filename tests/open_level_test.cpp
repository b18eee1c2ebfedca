#include <gtest/gtest.h>

#include "level/level4.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::MemoryDisk;
using testing::RecordingWindow;
using Log = std::vector<std::string>;

class OpenLevelTest : public ::testing::Test {
 protected:
  // Picks `path` and scans it, as the Load command does.
  void Load(const std::string& path) {
    window_.path = path;
    level_.OpenLevel(path, window_);
  }
  void LoadLevel(const std::string& path, const Bytes& bytes) {
    disk_.Put(path, bytes);
    Load(path);
  }
  // A first level that selects Catsuit and Rain with its pair at 35.
  void LoadGoodLevel() {
    LoadLevel("good.trc", MakeLevel(3, 1));
    ASSERT_EQ(level_.FlagsPos(), 35);
    window_.log.clear();
  }
  void ExpectStateOfGoodLevel() {
    EXPECT_EQ(level_.FlagsPos(), 35);
    EXPECT_EQ(window_.c2, 2);
    EXPECT_EQ(window_.c1, 1);
  }

  MemoryDisk disk_;
  Level4 level_{disk_};
  RecordingWindow window_;
};

// The scan only reads: one open, and no write.
TEST_F(OpenLevelTest, GoodLevelShowsItsFlagsAndLogsEachStage) {
  LoadLevel("a.trc", MakeLevel(3, 1));
  EXPECT_EQ(window_.log,
            (Log{"Opening a.trc...", "File opened", "Reading textures...", "Done"}));
  EXPECT_EQ(level_.FlagsPos(), 35);
  EXPECT_EQ(level_.LevelKind(), 6);
  EXPECT_EQ(window_.c2, 2);  // Catsuit
  EXPECT_EQ(window_.c1, 1);  // Rain
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(disk_.stats.open_now, 0);
  EXPECT_EQ(disk_.stats.opens_read_only, 1);
  EXPECT_EQ(disk_.stats.opens_held, 0);
  EXPECT_TRUE(disk_.stats.writes.empty());
  // The position is where the scan found the pair, past the payloads.
  LoadLevel("b.trc", MakeLevel(0, 0, 1000, 3, 70000));
  EXPECT_EQ(level_.FlagsPos(), 35 + 71003);
}

// The kind comes from the last name that ends in ".trc" or ".tr4", in any
// case: before any such name, a level is read as far as its textures and
// not shown.
TEST(OpenLevelKind, ComesFromTheLastNameThatGaveOne) {
  const struct {
    std::vector<std::string> names;  // loaded in turn, the last one with its pair at 36
    int32_t kind;
  } cases[] = {
      {{"city.Trc"}, 6},         {{"city.tr4"}, 5},  {{"CITY.TRC"}, 6},
      {{"x.dat"}, 0},            {{"good.trc", "x.dat"}, 6},
      {{"a.tr4", "trc"}, 5},     {{"a.trc", "b.tr4"}, 5},
  };
  for (const auto& c : cases) {
    const std::string& last = c.names.back();
    SCOPED_TRACE(last);
    MemoryDisk disk;
    Level4 level(disk);
    RecordingWindow window;
    for (const std::string& name : c.names) {
      disk.Put(name, name == last ? MakeLevel(4, 2, 1) : MakeLevel(3, 1));
      window.log.clear();
      level.OpenLevel(name, window);
    }
    const bool shown = c.kind != 0;
    Log log = {"Opening " + last + "...", "File opened", "Reading textures..."};
    if (shown) log.push_back("Done");
    EXPECT_EQ(window.log, log);
    EXPECT_EQ(level.LevelKind(), c.kind);
    EXPECT_EQ(level.FlagsPos(), shown ? 36 : 0);
    EXPECT_EQ(window.c2, shown ? 3 : -1);
    EXPECT_EQ(window.c1, shown ? 2 : -1);
    EXPECT_EQ(level.LastScan().has_value(), shown);
    EXPECT_TRUE(window.messages.empty());
  }
}

// One "Error" box, for the failure (its words are the window's, checked in
// failure_words_test.cpp); where the file ends decides how far the log
// gets, and nothing else changes. The window tells no remastered edition:
// its levels stop the load as a wrong version does, with the same words.
TEST_F(OpenLevelTest, ALevelThatCantBeReadIsReportedAndChangesNothing) {
  const Bytes whole = MakeLevel(0, 0, 3, 2, 1, 0);
  const auto cut = [&whole](std::size_t length) {
    return Bytes(whole.begin(), whole.begin() + length);
  };
  Bytes wrong_version = MakeLevel(0, 0);
  wrong_version[2] = 0x35;
  const auto remastered = [](const char* version) {
    Bytes bytes = MakeLevel(0, 0);
    std::copy(version, version + 4, bytes.begin());
    return bytes;
  };
  const auto failure = [](LevelCode code, const char* part = "", const char* reason = "") {
    LevelStatus status = Failure(code, "bad.trc", reason);
    status.part = part;
    return status;
  };
  const Log opening = {"Opening bad.trc..."};
  const Log reading = {"Opening bad.trc...", "File opened", "Reading textures..."};
  const struct {
    const char* what;
    Bytes bytes;  // none: no file
    bool held;    // by another program
    LevelStatus expected;
    Log log;
  } cases[] = {
      {"wrong version", wrong_version, false, failure(LevelCode::WrongVersion), opening},
      {"TRX5", remastered("TRX5"), false, failure(LevelCode::RemasteredLevel), opening},
      {"TRX4", remastered("TRX4"), false, failure(LevelCode::RemasteredLevel), opening},
      {"missing", {}, false, failure(LevelCode::CannotOpen, "", "No such file"), opening},
      {"held", MakeLevel(0, 0), true, failure(LevelCode::InUse), opening},
      {"cut in its version", cut(3), false, failure(LevelCode::CutShort, "its version"),
       opening},
      {"cut in a block", cut(20), false, failure(LevelCode::CutShort, "texture block 1"),
       reading},
      {"cut in its pair", cut(43), false,
       failure(LevelCode::CutShort, "its Lara type and weather"), reading},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    disk_.held_by_another = false;
    window_.messages.clear();
    LoadGoodLevel();
    disk_.Remove("bad.trc");
    if (!c.bytes.empty()) disk_.Put("bad.trc", c.bytes);
    disk_.held_by_another = c.held;
    Load("bad.trc");
    ASSERT_EQ(window_.messages.size(), 1u);
    EXPECT_EQ(window_.messages[0].title, "Error");
    EXPECT_EQ(window_.messages[0].icon, MessageIcon::Critical);
    testing::ExpectStatus(level_.LastStatus(), c.expected);
    EXPECT_EQ(window_.log, c.log);
    ExpectStateOfGoodLevel();
    EXPECT_FALSE(level_.LastScan().has_value());
    EXPECT_EQ(disk_.stats.open_now, 0);
  }
}

// A stored value without an entry leaves its list without a selection: an
// earlier level's must not survive.
TEST_F(OpenLevelTest, StoredValuesWithoutAnEntryClearTheSelection) {
  const struct {
    uint16_t lara, weather;
    int c2, c1;
  } cases[] = {{5, 2, -1, 2}, {6, 0xFFFF, 4, -1}, {6, 3, 4, -1}, {6, 0x7FFF, 4, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.lara) + ", " + std::to_string(c.weather));
    LoadGoodLevel();
    LoadLevel("odd.trc", MakeLevel(c.lara, c.weather));
    EXPECT_EQ(window_.c2, c.c2);
    EXPECT_EQ(window_.c1, c.c1);
    EXPECT_EQ(window_.log.back(), "Done");
  }
}

}  // namespace
}  // namespace ornivale
