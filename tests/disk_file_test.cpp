#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <chrono>
#include <future>
#include <thread>
#else
#include <sys/stat.h>
#endif

#include <fstream>

#include "level/edit/level_access.h"
#include "level/flag_save.h"
#include "level/level4.h"
#include "level/ports/disk.h"
#include "level/text/utf8.h"
#include "level/words/failure_words.h"
#include "tests/faulty_disk.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::FaultyDisk;
using testing::MakeLevel;
using testing::RecordingWindow;
using testing::TempDir;
using Log = std::vector<std::string>;

// The real files of the operating system, through the default Level4.
class DiskLevelTest : public ::testing::Test {
 protected:
  void Load(const std::string& path) {
    window_.path = path;
    level_.OpenLevel(path, window_);
  }
  void Save(int lara_position, int weather_position) {
    window_.c2 = lara_position;
    window_.c1 = weather_position;
    window_.log.clear();
    window_.messages.clear();
    SaveFlags(level_, window_);
  }
  // The one failure that `level` showed in an "Error" box.
  LevelStatus OnlyFailure(const Level4& level) const {
    EXPECT_EQ(window_.messages.size(), 1u);
    return level.LastStatus();
  }
  LevelStatus OnlyFailure() const { return OnlyFailure(level_); }

  TempDir dir_;
  Level4 level_;
  RecordingWindow window_;
};

LevelCode OpenCode(const std::string& path, OpenMode mode) {
  std::unique_ptr<LevelFile> file;
  return Disk::Default().Open(path, mode, &file).code;
}

// In place, whatever characters the name holds.
TEST_F(DiskLevelTest, LoadsAndSavesInPlaceWhateverTheName) {
  const Bytes original = MakeLevel(3, 1, 10, 20, 30, 100);
  for (const char* name :
       {"city.trc", "niveau-\xC3\xA9t\xC3\xA9-\xE6\xB0\xB4-\xF0\x9F\x8C\xA7.trc"}) {
    SCOPED_TRACE(name);
    const std::string path = dir_.Write(name, original);
    Load(path);
    EXPECT_TRUE(window_.messages.empty()) << CodeName(level_.LastStatus().code);
    EXPECT_EQ(level_.FlagsPos(), 95);
    EXPECT_EQ(window_.c2, 2);
    Save(4, 2);
    EXPECT_EQ(testing::ReadAll(path), MakeLevel(6, 2, 10, 20, 30, 100));
    EXPECT_EQ(window_.log, (Log{"Saving level...", "Level saved"}));
  }
}

// Only a regular file is a level, and a missing one is never created. A
// pipe would keep an open for reading waiting for a writer for ever.
TEST_F(DiskLevelTest, MissingFilesFoldersPipesAndDevicesAreRefusedAtOnce) {
  const std::string folder = dir_.File("folder.trc");
  std::filesystem::create_directory(testing::FsPath(folder));
  struct Path {
    std::string path;
    LevelCode code;
    bool device;  // opened only to read
  };
  std::vector<Path> paths = {{dir_.File("nothing here.trc"), LevelCode::CannotOpen, false},
                             {folder, LevelCode::NotRegularFile, false}};
#ifdef _WIN32
  paths.push_back({"NUL", LevelCode::NotRegularFile, true});
#else
  paths.push_back({dir_.File("pipe.trc"), LevelCode::NotRegularFile, false});
  ASSERT_EQ(mkfifo(paths.back().path.c_str(), 0600), 0);
  paths.push_back({"/dev/null", LevelCode::NotRegularFile, true});
#endif
  for (const auto& [path, code, device] : paths) {
    SCOPED_TRACE(path);
    EXPECT_EQ(OpenCode(path, OpenMode::ReadOnly), code);
    EXPECT_TRUE(device || OpenCode(path, OpenMode::Held) == code);
    window_.messages.clear();
    window_.log.clear();
    Load(path);
    EXPECT_EQ(window_.log, Log{"Opening " + path + "..."});
    EXPECT_EQ(OnlyFailure().code, code);
    EXPECT_TRUE(code != LevelCode::CannotOpen || !OnlyFailure().reason.empty());
    EXPECT_EQ(level_.FlagsPos(), 0);
  }
  EXPECT_FALSE(testing::Exists(paths[0].path));
}

TEST_F(DiskLevelTest, CloseOfARealFileSucceedsOnce) {
  const std::string path = dir_.Write("a.trc", MakeLevel(3, 1));
  std::unique_ptr<LevelFile> file;
  ASSERT_TRUE(Disk::Default().Open(path, OpenMode::Held, &file).ok());
  EXPECT_TRUE(file->Close().ok());
  EXPECT_TRUE(file->Close().ok());
}

TEST_F(DiskLevelTest, TheStampSaysWhichFileAndWhatSize) {
  const std::string path = dir_.Write("a.trc", MakeLevel(3, 1));
  std::unique_ptr<LevelFile> file;
  ASSERT_TRUE(Disk::Default().Open(path, OpenMode::ReadOnly, &file).ok());
  EXPECT_EQ(file->Stamp().size, static_cast<int64_t>(MakeLevel(3, 1).size()));
  FileStamp now;
  ASSERT_TRUE(file->StampOfPath(&now).ok());
  EXPECT_EQ(now, file->Stamp());
  file->Close();
  // Another file put in its place, as a rename over it does.
  const std::string other = dir_.Write("b.trc", MakeLevel(3, 1));
  std::filesystem::rename(testing::FsPath(other), testing::FsPath(path));
  ASSERT_TRUE(file->StampOfPath(&now).ok());
  EXPECT_FALSE(now.SameFile(file->Stamp()));
}

// A disk that fails once bytes went out: the level holds what the disk
// really wrote, and the message says it may hold the new values.
TEST_F(DiskLevelTest, FailuresAfterTheWriteLeaveWhatTheDiskWroteAndSaySo) {
  const struct {
    const char* what;
    std::function<void(FaultyDisk&)> arrange;
    Bytes expected;  // what the level holds after
  } cases[] = {
      {"short write", [](FaultyDisk& d) { d.short_write = 2; }, MakeLevel(6, 1)},
      {"sync", [](FaultyDisk& d) { d.fail_sync = true; }, MakeLevel(6, 2)},
      {"close", [](FaultyDisk& d) { d.fail_close = true; }, MakeLevel(6, 2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FaultyDisk disk;
    Level4 level(disk);
    const std::string path = dir_.Write("a.trc", MakeLevel(3, 1));
    window_.path = path;
    level.OpenLevel(path, window_);
    c.arrange(disk);
    window_.c2 = 4;  // Invisible
    window_.c1 = 2;  // Snow
    window_.messages.clear();
    SaveFlags(level, window_);
    EXPECT_EQ(OnlyFailure(level).code, LevelCode::WriteFailed);
    EXPECT_TRUE(OnlyFailure(level).may_be_written);
    EXPECT_EQ(testing::ReadAll(path), c.expected);
  }
}

#ifndef _WIN32
// Nothing on POSIX stops another program (one that takes no lock) from
// cutting the level short, rewriting it with its flags elsewhere or putting
// another file in its place while it is saved: the save finds it, says that
// the level may hold the new values, and never says "Level saved".
TEST_F(DiskLevelTest, LevelCutRewrittenOrReplacedDuringTheSaveIsAFailure) {
  const std::string path = dir_.File("a.trc");
  const auto write_over = [&](const testing::Bytes& bytes) {
    // In place, as an editor that rewrites a file does: the same file.
    std::ofstream(testing::FsPath(path), std::ios::binary | std::ios::in)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  };
  const struct {
    const char* what;
    std::function<void()> race;
  } races[] = {
      {"cut inside its blocks", [&] { std::filesystem::resize_file(testing::FsPath(path), 20); }},
      {"cut to nothing", [&] { std::filesystem::resize_file(testing::FsPath(path), 0); }},
      {"rewritten at its size with its flags further on",
       [&] { write_over(MakeLevel(3, 1, 2, 0, 0, testing::LevelBytes::kWholeTail - 2)); }},
      {"replaced",
       [&] {
         const std::string other = dir_.Write("other.trc", MakeLevel(3, 1));
         std::filesystem::rename(testing::FsPath(other), testing::FsPath(path));
       }},
  };
  for (const auto& race : races) {
    for (bool before : {true, false}) {
      SCOPED_TRACE(std::string(race.what) + (before ? " before the write" : " after it"));
      dir_.Write("a.trc", MakeLevel(3, 1));
      FaultyDisk disk;
      (before ? disk.before_write : disk.after_write) = race.race;
      Level4 level(disk);
      window_.path = path;
      level.OpenLevel(path, window_);
      window_.c2 = 4;
      window_.c1 = 2;
      window_.log.clear();
      window_.messages.clear();
      SaveFlags(level, window_);
      EXPECT_EQ(OnlyFailure(level).code, LevelCode::Changed);
      EXPECT_TRUE(OnlyFailure(level).may_be_written);
      EXPECT_EQ(window_.log, Log{"Saving level..."});
    }
  }
}

#endif

// A close that fails is what the real disk makes of it: a failed read
// after a look (after an edit, a write that may not have reached the disk).
TEST_F(DiskLevelTest, AFailedCloseAfterALookIsAFailedRead) {
  FaultyDisk disk;
  disk.fail_close = true;
  const std::string path = dir_.Write("a.trc", MakeLevel(3, 1));
  EXPECT_EQ(InspectLevel(path, NameRule::AnyName, disk).status.code,
            LevelCode::ReadFailed);
}

// Save with the lists as the load left them, or with no selection: the
// level is checked and found to hold the values, the log says it is saved
// as always, and the file is not written, so its last-write time stays.
TEST_F(DiskLevelTest, SaveWithNothingToChangeWritesNothing) {
  const std::string path = dir_.Write("a.trc", MakeLevel(3, 1));
  const auto past = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
  std::filesystem::last_write_time(testing::FsPath(path), past);
  const auto written = std::filesystem::last_write_time(testing::FsPath(path));
  Load(path);
  for (const auto& [lara, weather] : {std::pair(window_.c2, window_.c1), std::pair(-1, -1)}) {
    Save(lara, weather);
    EXPECT_EQ(window_.log, (Log{"Saving level...", "Level saved"}));
    EXPECT_TRUE(window_.messages.empty());
    EXPECT_EQ(std::filesystem::last_write_time(testing::FsPath(path)), written);
  }
  EXPECT_EQ(testing::ReadAll(path), MakeLevel(3, 1));
}

#ifdef _WIN32
// The game or an editor holding the level open without sharing it, or only
// to read it, whether it lets others only read or also write: a reader's
// share lets the scan read, but a save must not write under any holder.
TEST_F(DiskLevelTest, LevelHeldByAnotherProgramIsReportedAsInUse) {
  for (DWORD share :
       {DWORD{0}, DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
    SCOPED_TRACE(share);
    const Bytes original = MakeLevel(4, 0);
    const std::string path = dir_.Write("held.trc", original);
    window_.messages.clear();
    Load(path);
    ASSERT_EQ(level_.FlagsPos(), 35);
    HANDLE held = CreateFileW(testing::FsPath(path).c_str(), GENERIC_READ, share, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Save(0, 0);
    EXPECT_EQ(OnlyFailure().code, LevelCode::InUse);
    EXPECT_EQ(window_.log, Log{});
    window_.messages.clear();
    window_.c2 = -1;
    Load(path);
    EXPECT_EQ(window_.messages.empty(), share != 0);
    EXPECT_EQ(level_.LastStatus().code, share != 0 ? LevelCode::Ok : LevelCode::InUse);
    EXPECT_EQ(window_.c2, share != 0 ? 3 : -1);
    CloseHandle(held);
    EXPECT_EQ(testing::ReadAll(path), original);
  }
}

// Tells the first time an edit opens a level, holding it.
class HoldSignal : public testing::DiskWrapper {
 public:
  LevelStatus Open(const std::string& path, OpenMode mode,
                   std::unique_ptr<LevelFile>* file) override {
    if (mode == OpenMode::Held && !told_) {
      told_ = true;
      holding.set_value();
    }
    return DiskWrapper::Open(path, mode, file);
  }
  std::promise<void> holding;

 private:
  bool told_ = false;
};

// A virus scanner or an indexer holds a file for a moment: a save that
// meets one waits for it instead of giving up at once. The scanner lets go
// as the save starts to open the level.
TEST_F(DiskLevelTest, HolderThatLetsGoSoonDoesNotStopTheSave) {
  const std::string path = dir_.Write("scanned.trc", MakeLevel(3, 1));
  HoldSignal disk;
  Level4 level(disk);
  window_.path = path;
  level.OpenLevel(path, window_);
  HANDLE scanner = CreateFileW(testing::FsPath(path).c_str(), GENERIC_READ, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
  std::thread lets_go([&disk, scanner] {
    disk.holding.get_future().wait_for(std::chrono::seconds(30));
    CloseHandle(scanner);
  });
  window_.c2 = 4;
  window_.c1 = 2;
  SaveFlags(level, window_);
  lets_go.join();
  EXPECT_TRUE(window_.messages.empty()) << CodeName(level.LastStatus().code);
  EXPECT_EQ(testing::ReadAll(path), MakeLevel(6, 2));
}

// From the check to the last byte read back, no other program may open the
// level: not to write it, not to cut it short, not even to read it.
TEST_F(DiskLevelTest, LevelOpenForSavingIsSharedWithNoOne) {
  const std::string path = dir_.Write("a.trc", MakeLevel(4, 0));
  std::unique_ptr<LevelFile> file;
  ASSERT_TRUE(Disk::Default().Open(path, OpenMode::Held, &file).ok());
  for (DWORD access : {DWORD{GENERIC_WRITE}, DWORD{GENERIC_READ}}) {
    HANDLE other = CreateFileW(testing::FsPath(path).c_str(), access,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
  }
  std::error_code error;
  std::filesystem::resize_file(testing::FsPath(path), 35, error);
  EXPECT_TRUE(error) << "a level open for saving was cut short";
  EXPECT_EQ(OpenCode(path, OpenMode::ReadOnly), LevelCode::InUse);
}

TEST_F(DiskLevelTest, ReadOnlyLevelCanBeViewedButNotSaved) {
  const Bytes original = MakeLevel(4, 0);
  const std::string path = dir_.Write("locked.trc", original);
  ASSERT_TRUE(SetFileAttributesW(testing::FsPath(path).c_str(), FILE_ATTRIBUTE_READONLY));
  HANDLE probe = CreateFileW(testing::FsPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    // Wine maps the attribute to Unix permissions, which do not bind root.
    CloseHandle(probe);
    SetFileAttributesW(testing::FsPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    GTEST_SKIP() << "this system lets read-only files be opened for writing";
  }
  Load(path);
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(window_.c2, 3);
  Save(0, 0);
  EXPECT_EQ(OnlyFailure().code, LevelCode::CannotOpen);
  EXPECT_FALSE(OnlyFailure().reason.empty());
  EXPECT_EQ(testing::ReadAll(path), original);
  SetFileAttributesW(testing::FsPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

// Where ORNIVALE_HISTORY may name the history: a path absolute by the
// system's rules.
TEST(DiskPaths, AbsoluteByTheSystemsRules) {
  Disk& disk = Disk::Default();
  for (const char* relative : {"", "history.jsonl", "state/h.jsonl", "0", "C:", "C:h.jsonl"}) {
    EXPECT_FALSE(disk.IsAbsolute(relative)) << relative;
  }
#ifdef _WIN32
  for (const char* absolute : {"C:\\h.jsonl", "d:/h.jsonl", "\\\\server\\share\\h.jsonl",
                               "\\\\?\\C:\\h.jsonl"}) {
    EXPECT_TRUE(disk.IsAbsolute(absolute)) << absolute;
  }
  EXPECT_FALSE(disk.IsAbsolute("\\h.jsonl"));
  EXPECT_FALSE(disk.IsAbsolute("/h.jsonl"));
#else
  EXPECT_TRUE(disk.IsAbsolute("/h.jsonl"));
  EXPECT_FALSE(disk.IsAbsolute("C:\\h.jsonl"));
#endif
}

TEST(Utf8, RoundTripsEveryPlane) {
  const std::string text = "a\xC3\xA9\xE6\xB0\xB4\xF0\x9F\x8C\xA7";
  const std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide, (std::u16string{u'a', u'\u00E9', u'\u6C34', 0xD83C, 0xDF27}));
  EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xE0\x80\x80x"), u"\uFFFDx");      // overlong
  EXPECT_EQ(Utf8ToUtf16("\xFF"), u"\uFFFD");
  EXPECT_FALSE(IsUtf8("a\xFF.trc"));
  EXPECT_TRUE(IsUtf8("a\xC3\xA9\xF0\x9F\x8C\xA7.trc"));
  EXPECT_TRUE(IsUtf8("\xEF\xBF\xBD"));
}

// A Windows name may hold a UTF-16 unit that no UTF-8 text can: it comes
// back unchanged, so the name still names its file.
TEST(Utf8, LoneSurrogatesComeBackAsTheyWere) {
  const std::u16string names[] = {{0xD800, u'x'}, {u'a', 0xDFFF}, {0xDC00, 0xD800}};
  for (const std::u16string& name : names) {
    const std::string narrow = Utf16ToUtf8(name);
    EXPECT_EQ(Utf8ToUtf16(narrow), name);
    EXPECT_FALSE(IsUtf8(narrow));
  }
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'x'}), "\xED\xA0\x80x");
}

}  // namespace
}  // namespace ornivale
