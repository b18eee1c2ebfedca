// What the LEVELs given stand for (folders, wildcards), and text that stays
// one line a level whatever a name holds.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/one_line.h"
#include "level/sets/level_set.h"
#include "level/sets/wildcard.h"
#include "level/words/failure_words.h"
#include "tests/cli/cli_run.h"
#include "tests/test_support.h"

namespace ornivale::cli_test {
namespace {

using testing::MakeLevel;
using testing::MemoryDisk;
using testing::TempDir;
using LineList = std::vector<std::string>;

#ifdef _WIN32
const std::string kSeparator = "\\";
#else
const std::string kSeparator = "/";
#endif

TEST(Folders, StandForTheirTrcLevelsInNameOrder) {
  TempDir dir;
  const std::string folder = dir.File("levels");
  std::filesystem::create_directory(testing::FsPath(folder));
  for (const char* name : {"coastal.trc", "Academy.TRC", "city.trc", "notes.txt",
                           "karnak.tr4", "city.trc.bak"}) {
    dir.Write("levels" + kSeparator + name, MakeLevel(3, 1));
  }
  std::filesystem::create_directory(testing::FsPath(folder + kSeparator + "old.trc"));
  const std::string empty = dir.File("empty");
  std::filesystem::create_directory(testing::FsPath(empty));
  const std::string single = dir.Write("single.trc", MakeLevel(0, 0));

  const CliRun run = RunInProcess({"show", folder, empty, single, folder + kSeparator});
  EXPECT_EQ(run.status, 1);
  const std::string in = folder + kSeparator;
  // The folder inside is not a level, and is named: its show fails. The
  // folder named again, as "levels/", stands for the same levels, shown
  // once.
  const LineList expected = {
      in + "Academy.TRC: Lara type Catsuit (3), weather Rain (1)",
      in + "city.trc: Lara type Catsuit (3), weather Rain (1)",
      in + "coastal.trc: Lara type Catsuit (3), weather Rain (1)",
      single + ": Lara type Normal Lara (0), weather Normal Weather (0)",
  };
  EXPECT_EQ(Lines(run.out), expected);
  const LineList errors = Lines(run.err);
  ASSERT_EQ(errors.size(), 3u) << run.err;
  EXPECT_EQ(errors[2], "6 levels: 4 shown, 2 failed");
  EXPECT_EQ(errors[1], "ornivale-cli: " + empty + " holds no .trc level");
  EXPECT_EQ(Codes(RunInProcess({"show", "--json", folder, empty}).out),
            (LineList{"", "", "", "not-a-regular-file", "no-level-found"}));
}

#ifndef _WIN32
// What can't be told to be a folder or a level is reported with the
// system's reason, not as a name that isn't a level's.
TEST(Folders, ALoopOfLinksOrAFolderThatCantBeListedGetsTheSystemsReason) {
  TempDir dir;
  const std::string loop = dir.File("loop");
  std::filesystem::create_symlink("loop", testing::FsPath(loop));
  CliRun run = RunInProcess({"show", "--json", loop});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Codes(run.out), LineList{"cannot-open"});
  EXPECT_NE(run.err.find(std::make_error_code(std::errc::too_many_symbolic_link_levels)
                             .message()),
            std::string::npos)
      << run.err;

  const std::string closed = dir.File("closed");
  std::filesystem::create_directory(testing::FsPath(closed));
  dir.Write("closed/a.trc", MakeLevel(3, 1));
  std::filesystem::permissions(testing::FsPath(closed), std::filesystem::perms::none);
  std::error_code listing;
  std::filesystem::directory_iterator(testing::FsPath(closed), listing);
  const bool listable = !listing;
  run = RunInProcess({"show", "--json", closed, closed + "/a.trc"});
  std::filesystem::permissions(testing::FsPath(closed), std::filesystem::perms::owner_all);
  if (listable) GTEST_SKIP() << "this user reads every folder (root)";
  EXPECT_EQ(Codes(run.out), (LineList{"cannot-open", "cannot-open"}));
  EXPECT_NE(run.err.find(std::make_error_code(std::errc::permission_denied).message()),
            std::string::npos)
      << run.err;
}
#endif

TEST(Wildcards, StarAndQuestionMarkAsAWindowsUserMeansThem) {
  const struct {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*.trc", "city.trc", true},     {"*.trc", "CITY.TRC", true},
      {"*.TRC", "city.trc", true},     {"*.trc", "level.trcx", false},
      {"*.trc", "trc", false},         {"?.trc", "x.trc", true},
      {"?.trc", "xy.trc", false},      {"c*y.trc", "city.trc", true},
      {"c*y.trc", "cy.trc", true},     {"c*y.trc", "cityx.trc", false},
      {"*", "anything", true},         {"**a*", "bab", true},
      {"?", "\xC3\xB6", true},         {"h\xC3\xB6*", "H\xC3\xB6hle.trc", true},
      {"*.trc", "a.trc.bak", false},   {"a*b*c", "aXbYbZc", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches)
        << c.pattern << " " << c.name;
  }
}

#ifdef _WIN32
TEST(Wildcards, AreExpandedHereByLongNamesAndReportedWhenNothingMatches) {
  TempDir dir;
  dir.Write("b.trc", MakeLevel(1, 0));
  dir.Write("a.trc", MakeLevel(0, 0));
  dir.Write("level.trcx", MakeLevel(0, 0));
  const std::string pattern = dir.File("*.trc");
  const std::vector<NamedLevel> levels =
      LevelsNamed({pattern, dir.File("*.tr4")}, Disk::Default());
  ASSERT_EQ(levels.size(), 3u);
  EXPECT_EQ(levels[0].path, dir.File("a.trc"));
  EXPECT_EQ(levels[1].path, dir.File("b.trc"));
  EXPECT_EQ(levels[2].failure.code, LevelCode::NoLevelFound);
  EXPECT_EQ(TerminalMessage(levels[2].failure, Access::ReadOnly),
            "no level matches " + dir.File("*.tr4"));
}
#endif

TEST(OneLine, ControlCharactersAreShownEscaped) {
  EXPECT_EQ(cli::OneLine("a\nb\r\tc\x1b[2J\x7f.trc"), "a\\nb\\r\\tc\\x1b[2J\\x7f.trc");
  EXPECT_EQ(cli::OneLine("\xC2\x9B" "31m \xC2\xA0 H\xC3\xB6hle \xE2\x9D\x84"),
            "\\u009b31m \xC2\xA0 H\xC3\xB6hle \xE2\x9D\x84");
  EXPECT_EQ(cli::OneLine("C:\\levels\\city.trc"), "C:\\levels\\city.trc");
}

// A name holding a line separator would break the line in some terminals, and
// a bidirectional control would make "cart.trc" read as another name.
TEST(OneLine, SeparatorsAndDirectionControlsAreShownEscaped) {
  EXPECT_EQ(cli::OneLine("a\xE2\x80\xA8" "b\xE2\x80\xA9" "c.trc"), "a\\u2028b\\u2029c.trc");
  EXPECT_EQ(cli::OneLine("\xE2\x80\xAE" "crt.trc"), "\\u202ecrt.trc");
  for (const char* control : {"\xE2\x80\xAA", "\xE2\x80\xAD", "\xE2\x81\xA6", "\xE2\x81\xA9"}) {
    EXPECT_EQ(cli::OneLine(control).rfind("\\u20", 0), 0u) << cli::OneLine(control);
  }
  // Their neighbours pass as they are: an en dash, U+2030, U+2065.
  for (const char* kept : {"\xE2\x80\x93", "\xE2\x80\xB0", "\xE2\x81\xA5", "\xE2\x80"}) {
    EXPECT_EQ(cli::OneLine(kept), kept);
  }
}

TEST(OneLine, KeepsEachLevelOnItsLineInTextOutput) {
  MemoryDisk disk;
  disk.Put("two\nlines.trc", MakeLevel(3, 1));
  CliRun run = RunInProcess({"show", "two\nlines.trc", "gone\n.trc"}, disk);
  EXPECT_EQ(run.out, "two\\nlines.trc: Lara type Catsuit (3), weather Rain (1)\n");
  ASSERT_EQ(Lines(run.err).size(), 2u);
  EXPECT_EQ(run.err.rfind("ornivale-cli: can't open gone\\n.trc", 0), 0u);
  run = RunInProcess({"set", "--lara", "0", "two\nlines.trc"}, disk);
  EXPECT_EQ(Lines(run.out).size(), 1u);
  // JSON keeps its own escapes.
  run = RunInProcess({"show", "--json", "two\nlines.trc"}, disk);
  EXPECT_EQ(run.out.rfind("{\"path\":\"two\\nlines.trc\"", 0), 0u) << run.out;
}

TEST(RemasteredLevels, AreToldApartFromOtherWrongVersions) {
  MemoryDisk disk;
  for (const char* version : {"TRX5", "TRX4"}) {
    testing::Bytes level = MakeLevel(3, 1);
    std::copy(version, version + 4, level.begin());
    disk.Put("remastered.trc", level);
    CliRun run = RunInProcess({"set", "--json", "--lara", "0", "remastered.trc"}, disk);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("\"code\":\"remastered-level\""), std::string::npos) << run.out;
    EXPECT_EQ(run.err,
              "ornivale-cli: remastered.trc is a level of the remastered edition, which "
              "ornivale-cli doesn't support: it edits the original release's levels; it was "
              "left as it is\n");
    EXPECT_EQ(disk.Get("remastered.trc"), level);
    run = RunInProcess({"show", "remastered.trc"}, disk);
    EXPECT_EQ(run.err.find("left as it is"), std::string::npos) << run.err;
  }
  testing::Bytes other = MakeLevel(3, 1);
  other[2] = 'X';  // "TRX" and a zero byte
  disk.Put("other.trc", other);
  EXPECT_NE(RunInProcess({"show", "--json", "other.trc"}, disk)
                .out.find("\"code\":\"wrong-version\""),
            std::string::npos);
}

TEST(Help, ListsEveryFailureCodeAndHowLevelsAreExpanded) {
  const CliRun run = RunInProcess({"-h"});
  EXPECT_EQ(run.status, 0);
  // The codes in the help, from "The codes" to the blank line after them.
  const std::size_t start = run.out.find("The codes of failed levels");
  ASSERT_NE(start, std::string::npos);
  const std::string list = run.out.substr(start, run.out.find("\n\n", start) - start);
  for (LevelCode code : TerminalCodes()) {
    const std::string name = std::string(" ") + CodeName(code);
    EXPECT_TRUE(list.find(name + ",") != std::string::npos ||
                list.find(name + ".") != std::string::npos)
        << CodeName(code);
  }
  for (LevelCode window_only : {LevelCode::NothingLoaded, LevelCode::LoadFailed}) {
    EXPECT_EQ(run.out.find(CodeName(window_only)), std::string::npos);
  }
  for (const char* words : {"A folder stands for", "* and ?", "check", "--from"}) {
    EXPECT_NE(run.out.find(words), std::string::npos) << words;
  }
  for (const std::string& line : Lines(run.out)) EXPECT_LE(line.size(), 79u) << line;
}

}  // namespace
}  // namespace ornivale::cli_test
