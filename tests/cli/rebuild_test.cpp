// Levels built again, moved, linked and interrupted, as modders and their
// tools leave them: an undo writes only into the file and the write that
// Ornivale left, and reapply gives a rebuilt level back what Ornivale set.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#ifdef __linux__
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "level/text/utf8.h"
#include "tests/cli/cli_run.h"
#include "tests/disk_wrapper.h"
#include "tests/faulty_disk.h"
#include "tests/test_support.h"

namespace ornivale::cli_test {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::ReadAll;
using testing::TempDir;
using LineList = std::vector<std::string>;

class Rebuilt : public ::testing::Test {
 protected:
  void SetUp() override {
    history_ = dir_.File("history.jsonl");
    disk_.environment["ORNIVALE_HISTORY"] = history_;
  }

  CliRun Run(const std::vector<std::string>& args) { return RunInProcess(args, disk_); }

  // The level built again in place, as a level editor writes it: the file
  // cut to nothing and written whole, a while after Ornivale's write.
  void BuildAgain(const std::string& path, const Bytes& bytes) {
    const auto before = std::filesystem::last_write_time(testing::FsPath(path));
    std::ofstream(testing::FsPath(path), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    std::filesystem::last_write_time(testing::FsPath(path), before + std::chrono::seconds(2));
  }

  TempDir dir_;
  testing::DiskWrapper disk_;
  std::string history_;
};

// Why 1 and 2: a level built again in place at its sizes, even holding
// what Ornivale wrote, or a new file in its place, is refused by restore.
TEST_F(Rebuilt, RestoreRefusesALevelBuiltAgainOrReplaced) {
  const struct {
    const char* what;
    bool in_place;
    uint16_t lara;
    const char* reason;
  } cases[] = {
      {"built again, its editor's own values", true, 0, "written since Ornivale changed it"},
      {"built again, holding what Ornivale wrote", true, 1, "written since Ornivale changed it"},
      {"a new file in its place", false, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string level = dir_.Write("a.trc", MakeLevel(3, 1));
    ASSERT_EQ(Run({"set", "--lara", "young", level}).status, 0);
    if (c.in_place) {
      BuildAgain(level, MakeLevel(c.lara, 1));
    } else {
      std::filesystem::remove(testing::FsPath(level));
      dir_.Write("a.trc", MakeLevel(c.lara, 1));
    }
    const CliRun run = Run({"restore", "--json", level});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Codes(run.out), LineList{"changed-since"});
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    EXPECT_EQ(ReadAll(level), MakeLevel(c.lara, 1));
    std::filesystem::remove(testing::FsPath(history_));
  }
}

// Why 3: a line of history --json given to set --from asks restore's
// question, with its words: after the levels' names were swapped, neither
// gets the other's values.
TEST_F(Rebuilt, SetFromAHistoryLineAsksRestoresQuestion) {
  const std::string a = dir_.Write("a.trc", MakeLevel(3, 1));
  const std::string b = dir_.Write("b.trc", MakeLevel(3, 1));
  ASSERT_EQ(Run({"set", "--lara", "young", a}).status, 0);
  ASSERT_EQ(Run({"set", "--lara", "divesuit", b}).status, 0);
  const std::string lines = dir_.Write("a.json", {});
  {
    const std::string out = Run({"history", "--json", a}).out;
    std::ofstream(testing::FsPath(lines), std::ios::binary) << out;
  }
  const std::string swap = dir_.File("swap.trc");
  std::filesystem::rename(testing::FsPath(a), testing::FsPath(swap));
  std::filesystem::rename(testing::FsPath(b), testing::FsPath(a));
  std::filesystem::rename(testing::FsPath(swap), testing::FsPath(b));
  const CliRun from = Run({"set", "--from", lines});
  const CliRun restore = Run({"restore", a});
  EXPECT_EQ(from.status, 1);
  EXPECT_EQ(from.err, restore.err);
  EXPECT_NE(from.err.find("another file is at its path"), std::string::npos) << from.err;
  EXPECT_EQ(ReadAll(a), MakeLevel(4, 1));
  EXPECT_EQ(ReadAll(b), MakeLevel(1, 1));
}

// Why 5: a change recorded by an older Ornivale sharing the history, which
// keeps no "file", starts a chain of its own: restore gives back what that
// change found, never what came before it on another file or build.
TEST_F(Rebuilt, AnOlderFormatsLineStartsAChain) {
  const std::string level = dir_.Write("a.trc", MakeLevel(3, 1));
  ASSERT_EQ(Run({"set", "--lara", "young", level}).status, 0);
  // The older Ornivale's change, Young Lara to Divesuit, on its level's
  // full path as show --json prints it.
  BuildAgain(level, MakeLevel(4, 1));
  const std::string shown = Lines(Run({"show", "--json", level}).out)[0];
  std::ofstream(testing::FsPath(history_), std::ios::binary | std::ios::app)
      << shown.substr(0, shown.find(",\"lara"))
      << R"(,"lara":{"value":4,"text":"Divesuit"},"weather":{"value":1,"text":"Rain"},)"
         R"("before":{"lara":{"value":1,"text":"Young Lara"},"weather":{"value":1,)"
         R"("text":"Rain"}},"changed":true,"time":"2026-12-10T05:26:22.646Z",)"
         R"("program":"ornivale-cli set","offset":34,)"
         R"("bytes":{"before":"01000100","written":"04000100"}})" "\n";
  const CliRun run = Run({"restore", "--dry-run", level});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, level + ": Lara type Divesuit (4) -> Young Lara (1), weather Rain (1)\n");
}

// Why 6: a history rewritten as UTF-16 is never appended to in UTF-8: the
// change is refused before the level is written, with how to mend it.
TEST_F(Rebuilt, AUtf16HistoryRefusesTheChange) {
  const std::string level = dir_.Write("a.trc", MakeLevel(3, 1));
  ASSERT_EQ(Run({"set", "--lara", "young", level}).status, 0);
  const Bytes utf8 = ReadAll(history_);
  std::string utf16 = "\xFF\xFE";
  for (char16_t unit : Utf8ToUtf16(std::string(utf8.begin(), utf8.end()))) {
    utf16 += static_cast<char>(unit & 0xFF);
    utf16 += static_cast<char>(unit >> 8);
  }
  dir_.Write("history.jsonl", Bytes(utf16.begin(), utf16.end()));
  const Bytes written = ReadAll(history_);
  const CliRun run = Run({"set", "--json", "--lara", "divesuit", level});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Codes(run.out), LineList{"history-not-written"});
  EXPECT_NE(run.err.find("it is UTF-16"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Set-Content -Encoding UTF8"), std::string::npos) << run.err;
  EXPECT_EQ(ReadAll(level), MakeLevel(1, 1));
  EXPECT_EQ(ReadAll(history_), written);
  // It is still read; a dry run fails as the change would.
  EXPECT_NE(Run({"history", level}).out.find("-> Young Lara (1)"), std::string::npos);
  EXPECT_EQ(Codes(Run({"restore", "--json", "--dry-run", level}).out),
            LineList{"history-not-written"});
}

// Why 12: a run stopped between recording its changes and writing them
// (here its write fails before any byte) stands in no undo's way.
TEST_F(Rebuilt, AnInterruptedSetNeverBlocksRestoreLast) {
  const std::string level = dir_.Write("a.trc", MakeLevel(3, 1));
  ASSERT_EQ(Run({"set", "--lara", "young", level}).status, 0);
  testing::FaultyDisk failing;
  failing.environment = disk_.environment;
  failing.short_write = 0;
  ASSERT_EQ(RunInProcess({"set", "--lara", "divesuit", level}, failing).status, 1);
  const CliRun run = Run({"restore", "--last", level});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, level + ": Lara type Young Lara (1) -> Catsuit (3), weather Rain (1)\n");
  EXPECT_EQ(ReadAll(level), MakeLevel(3, 1));
}

// How a write left its level is recorded after it: where that fails, the
// level is written all the same, and a note says what the history lacks.
TEST(LeftUnrecorded, IsANoteBesideTheLevelWritten) {
  testing::MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.after_write = [&](Bytes&) { disk.fail_append = true; };
  const CliRun run = RunInProcess({"set", "--lara", "young", "a.trc"}, disk);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "a.trc: Lara type Catsuit (3) -> Young Lara (1), weather Rain (1)\n");
  EXPECT_EQ(run.err,
            "ornivale-cli: note: a.trc was written, but how it was left can't be recorded in the "
            "history file /state/ornivale/history.jsonl: No space left on device\n");
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(1, 1));
}

// Why 8 (what the issue pins): after a build, reapply writes again what
// Ornivale's changes left, recorded so that restore gives the build's own
// values back; a level with nothing to apply again says so.
TEST_F(Rebuilt, ReapplyGivesABuiltLevelBackWhatOrnivaleSet) {
  const std::string a = dir_.Write("a.trc", MakeLevel(0, 2));
  const std::string b = dir_.Write("b.trc", MakeLevel(0, 2));
  const std::string c = dir_.Write("c.trc", MakeLevel(0, 2));
  ASSERT_EQ(Run({"set", "--lara", "young", a, b}).status, 0);
  ASSERT_EQ(Run({"restore", b}).status, 0);
  BuildAgain(a, MakeLevel(0, 0));
  CliRun run = Run({"reapply", a, b, c});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(
      Lines(run.out),
      (LineList{a + ": Lara type Normal Lara (0) -> Young Lara (1), weather Normal Weather (0)",
                b + ": nothing to apply again, left as it is",
                c + ": nothing recorded, left as it is"}));
  EXPECT_EQ(run.err,
            "3 levels: 1 changed, 1 with nothing recorded, 1 with nothing to apply again\n");
  EXPECT_EQ(ReadAll(a), MakeLevel(1, 0));
  EXPECT_NE(Run({"history", a}).out.find("ornivale-cli reapply: "), std::string::npos);
  run = Run({"reapply", "--json", a, b});
  const LineList json = Lines(run.out);
  ASSERT_EQ(json.size(), 2u) << run.out;
  EXPECT_NE(json[0].find(R"("changed":false)"), std::string::npos) << json[0];
  EXPECT_EQ(json[1].substr(json[1].size() - 19), R"(","to_apply":false})") << json[1];
  ASSERT_EQ(Run({"restore", a}).status, 0);
  EXPECT_EQ(ReadAll(a), MakeLevel(0, 0)) << "the build's own values";

  disk_.environment["ORNIVALE_HISTORY"] = "off";
  run = Run({"reapply", a});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("ORNIVALE_HISTORY=off keeps none"), std::string::npos) << run.err;
}

#ifndef _WIN32
// Why 4: a level is the file the system opens: x/link/../a.trc is recorded,
// printed and given back as y/a.trc, and a level named twice through a link
// is one level.
TEST_F(Rebuilt, ALevelIsTheFileTheSystemOpens) {
  for (const char* folder : {"x", "y", "y/sub"}) {
    std::filesystem::create_directory(testing::FsPath(dir_.File(folder)));
  }
  std::filesystem::create_directory_symlink(testing::FsPath(dir_.File("y/sub")),
                                            testing::FsPath(dir_.File("x/link")));
  const std::string lexical = dir_.Write("x/a.trc", MakeLevel(3, 1));
  const std::string real = dir_.Write("y/a.trc", MakeLevel(3, 1));
  std::filesystem::create_symlink("a.trc", testing::FsPath(dir_.File("y/link.trc")));
  const std::string through = dir_.File("x/link/../a.trc");
  const std::string canonical = std::filesystem::canonical(testing::FsPath(real)).string();

  CliRun run = Run({"set", "--json", "--lara", "young", through, real, dir_.File("y/link.trc")});
  EXPECT_EQ(run.status, 0);
  ASSERT_EQ(Lines(run.out).size(), 1u) << run.out;
  EXPECT_EQ(Lines(run.out)[0].rfind(R"({"path":")" + canonical + "\"", 0), 0u) << run.out;
  EXPECT_EQ(ReadAll(real), MakeLevel(1, 1));
  EXPECT_EQ(ReadAll(lexical), MakeLevel(3, 1));
  EXPECT_NE(Run({"history", real}).out.find(canonical + ": "), std::string::npos);
  run = Run({"restore", through});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadAll(real), MakeLevel(3, 1));
}

// Why 12: the compaction's new file is made afresh beside the file the
// history leads to: a link planted in its place is removed, not followed,
// and a history that is a link stays one, to the file rewritten.
TEST_F(Rebuilt, ACompactionFollowsNoLinkButTheHistorysOwn) {
  const std::string real = dir_.File("synced.jsonl");
  disk_.environment["ORNIVALE_HISTORY"] = dir_.File("history-link.jsonl");
  std::filesystem::create_symlink(testing::FsPath(real),
                                  testing::FsPath(dir_.File("history-link.jsonl")));
  const std::string level = dir_.Write("a.trc", MakeLevel(3, 1));
  ASSERT_EQ(Run({"set", "--lara", "young", level}).status, 0);
  const std::string target = dir_.Write("precious.txt", {'k', 'e', 'e', 'p'});
  std::filesystem::create_symlink(testing::FsPath(target), testing::FsPath(real + ".new"));
  const CliRun run = Run({"history", "--compact"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadAll(target), (Bytes{'k', 'e', 'e', 'p'}));
  EXPECT_TRUE(std::filesystem::is_symlink(testing::FsPath(dir_.File("history-link.jsonl"))));
  EXPECT_FALSE(testing::Exists(real + ".new"));
  ASSERT_EQ(Run({"restore", level}).status, 0);
  EXPECT_EQ(ReadAll(level), MakeLevel(3, 1));
}

// Why 12: a last-write time past 2262, which nanoseconds since 1970 can't
// hold in 64 bits, serves as any other.
TEST_F(Rebuilt, ALastWriteTimePast2262ServesAsAnyOther) {
  const std::string level = dir_.Write("a.trc", MakeLevel(3, 1));
  const timespec in_2300[2] = {{0, UTIME_OMIT}, {10'413'792'000, 5}};
  ASSERT_EQ(utimensat(AT_FDCWD, level.c_str(), in_2300, 0), 0);
  ASSERT_EQ(Run({"set", "--lara", "young", level}).status, 0);
  ASSERT_EQ(Run({"restore", level}).status, 0);
  EXPECT_EQ(ReadAll(level), MakeLevel(3, 1));
}
#endif

#ifdef __linux__
// Why 7: a set during a compaction waits for it, as long as it takes.
TEST_F(Rebuilt, ASetWaitsForACompaction) {
  const std::string level = dir_.Write("a.trc", MakeLevel(3, 1));
  ASSERT_EQ(Run({"set", "--lara", "young", level}).status, 0);
  // A compaction's holds: the history, and its new file beside it.
  const int history = open(history_.c_str(), O_RDWR | O_CLOEXEC);
  const int fresh = open((history_ + ".new").c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  ASSERT_EQ(flock(history, LOCK_EX), 0);
  ASSERT_EQ(flock(fresh, LOCK_EX), 0);
  const int watcher = inotify_init1(IN_CLOEXEC);
  ASSERT_GE(inotify_add_watch(watcher, (history_ + ".new").c_str(), IN_OPEN), 0);
  CliRun run;
  std::thread set([&] { run = Run({"set", "--lara", "divesuit", level}); });
  // Two looks at the compaction's new file, a minute at most: the set has
  // waited on it.
  alignas(inotify_event) char events[4096];
  int looks = 0;
  pollfd watched{watcher, POLLIN, 0};
  while (looks < 2 && poll(&watched, 1, 60'000) == 1) {
    const ssize_t got = read(watcher, events, sizeof events);
    if (got <= 0) break;
    looks += static_cast<int>(got / static_cast<ssize_t>(sizeof(inotify_event)));
  }
  close(watcher);
  EXPECT_GE(looks, 2) << "the set looked at the compaction once, or never";
  unlink((history_ + ".new").c_str());
  close(fresh);
  close(history);
  set.join();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadAll(level), MakeLevel(4, 1));
}
#endif

}  // namespace
}  // namespace ornivale::cli_test
