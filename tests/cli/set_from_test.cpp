// set --from: records from show, check, set and history given back, and
// input from anywhere, hostile or broken, that must never set a level it
// does not name or set one at all when it can't be read whole.
#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "cli/cli.h"
#include "tests/cli/cli_run.h"
#include "tests/disk_wrapper.h"
#include "tests/test_support.h"

namespace ornivale::cli_test {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::MemoryDisk;
using testing::ReadAll;
using testing::TempDir;
using LineList = std::vector<std::string>;

// Runs the command line with `input` as its standard input.
CliRun RunWithInput(const std::vector<std::string>& args, const std::string& input,
                    Disk& disk = Disk::Default()) {
  testing::InputDisk given(input, disk);
  return RunInProcess(args, given);
}

// One line on standard error, for line `line` of standard input, and no
// level opened.
void ExpectNothingSet(const CliRun& run, const MemoryDisk& disk, int line) {
  EXPECT_EQ(run.status, cli::kUsageError);
  const LineList errors = Lines(run.err);
  ASSERT_EQ(errors.size(), 1u) << run.err;
  const std::string start = "ornivale-cli: line " + std::to_string(line) + " of standard input ";
  EXPECT_EQ(errors[0].rfind(start, 0), 0u) << errors[0];
  EXPECT_NE(errors[0].find("; no level was set"), std::string::npos) << errors[0];
  EXPECT_EQ(disk.stats.opens_read_only + disk.stats.opens_held, 0);
}

// What show --json printed, and what set --json printed, give every level
// back its bytes, values without list entries included.
TEST(SetFrom, ShowAndSetRecordsGiveEveryLevelItsBytesBack) {
  TempDir dir;
  const std::vector<Bytes> originals = {MakeLevel(3, 1, 7), MakeLevel(5, 2),
                                        MakeLevel(0xFFFF, 9, 0, 3), MakeLevel(2, 0)};
  const std::vector<Bytes> changed = {MakeLevel(4, 2, 7), MakeLevel(4, 2),
                                      MakeLevel(4, 2, 0, 3), MakeLevel(4, 2)};
  std::vector<std::string> levels;
  for (std::size_t i = 0; i < originals.size(); ++i) {
    levels.push_back(dir.Write("level " + std::to_string(i) + ".trc", originals[i]));
  }
  std::vector<std::string> args = {"show", "--json"};
  args.insert(args.end(), levels.begin(), levels.end());
  const CliRun shown = RunInProcess(args);
  ASSERT_EQ(shown.status, 0);

  args = {"set", "--json", "--lara", "divesuit", "--weather", "snow"};
  args.insert(args.end(), levels.begin(), levels.end());
  const CliRun set = RunInProcess(args);
  ASSERT_EQ(set.status, 0);
  for (std::size_t i = 0; i < levels.size(); ++i) {
    EXPECT_EQ(ReadAll(levels[i]), changed[i]) << levels[i];
  }

  // The set's own output undoes it, from a file.
  const std::string records = dir.Write("undo.json", Bytes(set.out.begin(), set.out.end()));
  const CliRun undone = RunInProcess({"set", "--json", "--from", records});
  EXPECT_EQ(undone.status, 0) << undone.err;
  EXPECT_EQ(undone.err, "");
  for (std::size_t i = 0; i < levels.size(); ++i) {
    EXPECT_EQ(ReadAll(levels[i]), originals[i]) << levels[i];
  }
  EXPECT_EQ(Lines(undone.out).size(), levels.size());
  EXPECT_NE(undone.out.find("\"before\":{\"lara\":{\"value\":4"), std::string::npos);

  // The show's output, from standard input, finds nothing left to change.
  ASSERT_EQ(RunInProcess(args).status, 0);
  ASSERT_EQ(RunWithInput({"set", "--from", "-"}, shown.out).status, 0);
  for (std::size_t i = 0; i < levels.size(); ++i) {
    EXPECT_EQ(ReadAll(levels[i]), originals[i]) << levels[i];
  }
  const CliRun again = RunWithInput({"set", "--from", "-"}, shown.out);
  EXPECT_EQ(again.status, 0);
  for (const std::string& line : Lines(again.out)) {
    EXPECT_NE(line.find(", unchanged"), std::string::npos) << line;
  }
}

TEST(SetFrom, MissingLevelsAndFailureRecordsAreReportedAndTheRestGoOn) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(0, 0));
  disk.Put("b.trc", MakeLevel(0, 0));
  const std::string input =
      R"({"path":"a.trc","lara":{"value":3,"text":"Catsuit"},"weather":{"value":1,"text":"Rain"}})"
      "\r\n\n"
      R"({"path":"cut.trc","error":{"code":"cut-short","message":"cut"}})"
      "\n"
      R"({"path":"gone.trc","lara":{"value":1,"text":null},"weather":{"value":2,"text":null}})"
      "\n"
      R"({"path":"b.trc","lara":{"value":6},"weather":{"value":-2}})"
      "\n";
  const CliRun run = RunWithInput({"set", "--from", "-"}, input, disk);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
  EXPECT_EQ(disk.Get("b.trc"), MakeLevel(6, 0xFFFE));
  const LineList errors = Lines(run.err);
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[2], "3 levels: 2 changed, 1 refused");
  EXPECT_EQ(errors[0],
            "ornivale-cli: note: standard input records a failure of cut.trc, so it holds no "
            "values for it; passed over");
  EXPECT_EQ(errors[1].rfind("ornivale-cli: can't open gone.trc", 0), 0u);
}

// Lines of later versions, or of other tools, may carry more: a member the
// reader does not know is passed over, nested as a record ever is.
TEST(SetFrom, MembersItDoesNotKnowArePassedOver) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(0, 0));
  const std::string record =
      R"({"path":"a.trc","note":"kept","lara":{"value":3,"extra":null},)"
      R"("weather":{"value":1},"x":[[[[[[{"y":[1,2.5e3,true]}]]]]]]})";
  const CliRun run = RunWithInput({"set", "--from", "-"}, record, disk);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
}

// Paths with escapes, and characters beyond the first plane as surrogate
// pairs, come back as the UTF-8 they were.
TEST(SetFrom, JsonStringsOfAnyPathReadBack) {
  MemoryDisk disk;
  const std::string path = "a\"b\\c\n\xF0\x9F\x98\x80.trc";
  disk.Put(path, MakeLevel(0, 0));
  const std::string record =
      R"({"path":"a\"b\\c\u000a\ud83d\ude00.trc","lara":{"value":1},"weather":{"value":2}})";
  EXPECT_EQ(RunWithInput({"set", "--from", "-"}, record, disk).status, 0);
  EXPECT_EQ(disk.Get(path), MakeLevel(1, 2));
  for (const char* lone : {R"(\ud83d.trc)", R"(\ude00.trc)", R"(\u12.trc)"}) {
    const std::string bad = std::string(R"({"path":")") + lone +
                            R"(","lara":{"value":1},"weather":{"value":2}})";
    EXPECT_EQ(RunWithInput({"set", "--from", "-"}, bad, disk).status,
              cli::kUsageError)
        << lone;
  }
}

// A line that is no record, anywhere in the input, stops the whole run
// before any level is touched: half an undo is worse than none.
TEST(SetFrom, ALineThatIsNoRecordSetsNothing) {
  const std::string good = R"({"path":"a.trc","lara":{"value":3},"weather":{"value":1}})";
  const std::vector<std::string> bad_lines = {
      "not json",
      // A NUL would end the name at "y.tr4", a Tomb Raider IV level.
      R"({"path":"y.tr4\u0000.trc","lara":{"value":3},"weather":{"value":1}})",
      R"({"path":"a.trc","lara":{"value":1e-400},"weather":{"value":1}})",
      R"({"path":"a.trc","lara":{"value":4.0000000000000001},"weather":{"value":1}})",
      R"({"path":"a.trc","path":"y.tr4","lara":{"value":3},"weather":{"value":1}})",
      R"({"path":"a.trc","lara":{"value":70000},"weather":{"value":1}})",
  };
  for (const std::string& bad : bad_lines) {
    SCOPED_TRACE(bad);
    MemoryDisk disk;
    disk.Put("a.trc", MakeLevel(0, 0));
    disk.Put("y.tr4", MakeLevel(0, 0));
    ExpectNothingSet(RunWithInput({"set", "--from", "-"}, good + "\n" + bad + "\n", disk), disk,
                     2);
  }
}

// A set record gives back only what its set changed, and only where the
// level still holds what that set wrote.
TEST(SetFrom, UndoingASetGivesBackOnlyWhatItChanged) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  const CliRun first = RunInProcess({"set", "--json", "--lara", "divesuit", "a.trc"}, disk);
  ASSERT_EQ(first.status, 0);
  ASSERT_EQ(RunInProcess({"set", "--weather", "snow", "a.trc"}, disk).status, 0);
  const CliRun undone = RunWithInput({"set", "--from", "-"}, first.out, disk);
  EXPECT_EQ(undone.status, 0) << undone.err;
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 2)) << "the later weather stays";

  // Another program set the Lara type since: the undo would write over it.
  disk.Put("a.trc", MakeLevel(3, 1));
  const CliRun second = RunInProcess({"set", "--json", "--lara", "young", "a.trc"}, disk);
  disk.Put("a.trc", MakeLevel(6, 1));
  const CliRun refused = RunWithInput({"set", "--json", "--from", "-"}, second.out, disk);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(Codes(refused.out), LineList{"changed-since"});
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(6, 1));
}

// What the history lists undoes what it lists.
TEST(SetFrom, HistoryLinesUndoTheirChanges) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  ASSERT_EQ(RunInProcess({"set", "--lara", "young", "a.trc"}, disk).status, 0);
  ASSERT_EQ(RunInProcess({"set", "--weather", "snow", "a.trc"}, disk).status, 0);
  const CliRun history = RunInProcess({"history", "--json", "a.trc"}, disk);
  const LineList changes = Lines(history.out);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(RunWithInput({"set", "--from", "-"}, changes[0], disk).status, 0);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 2));
}

// What PowerShell 5.1's ">" writes, and UTF-8 with its mark, from Notepad.
TEST(SetFrom, InputAsWindowsToolsWriteIt) {
  const std::u16string record =
      u"{\"path\":\"a.trc\",\"lara\":{\"value\":4},\"weather\":{\"value\":2}}\r\n";
  std::string utf16 = "\xFF\xFE";
  for (char16_t unit : record) {
    utf16 += static_cast<char>(unit & 0xFF);
    utf16 += static_cast<char>(unit >> 8);
  }
  const std::string utf8 = "\xEF\xBB\xBF{\"path\":\"a.trc\",\"lara\":{\"value\":1},"
                           "\"weather\":{\"value\":0}}\r\n";
  for (const std::string& input : {utf16, utf8}) {
    MemoryDisk disk;
    disk.Put("a.trc", MakeLevel(3, 1));
    const CliRun run = RunWithInput({"set", "--from", "-"}, input, disk);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(disk.Get("a.trc"), MakeLevel(3, 1));
  }
}

// Standard input closed, failing part way, or empty: nothing is set, and
// the exit status says the input was wrong.
TEST(SetFrom, InputThatIsClosedFailsOrIsEmptySetsNothing) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.standard_input.reset();
  CliRun run = RunInProcess({"set", "--from", "-"}, disk);
  EXPECT_EQ(run.status, cli::kUsageError);
  EXPECT_EQ(run.err, "ornivale-cli: can't open standard input: Bad file descriptor\n");

  class Failing : public testing::DiskWrapper {
   public:
    using DiskWrapper::DiskWrapper;
    LevelStatus OpenStandardInput(std::unique_ptr<Input>* input) override {
      class Half : public Input {
       public:
        Half() : Input("standard input") {}
        LevelStatus Read(char* buffer, std::size_t capacity, std::size_t* count) override {
          if (given_++ == 0) {
            const std::string line = MakeRecords(64);
            *count = std::min(capacity, line.size());
            std::copy_n(line.begin(), *count, buffer);
            return {};
          }
          return Failure(LevelCode::ReadFailed, name(), "Input/output error");
        }

       private:
        int given_ = 0;
      };
      *input = std::make_unique<Half>();
      return {};
    }
    static std::string MakeRecords(int count) {
      std::string records;
      for (int i = 0; i < count; ++i) {
        records += R"({"path":"a.trc","lara":{"value":4},"weather":{"value":1}})" "\n";
      }
      return records;
    }
  };
  Failing failing(disk);
  run = RunInProcess({"set", "--from", "-"}, failing);
  EXPECT_EQ(run.status, cli::kUsageError);
  EXPECT_EQ(run.err, "ornivale-cli: can't read standard input: Input/output error\n");

  for (const char* empty : {"", "\n \r\n\n"}) {
    run = RunWithInput({"set", "--from", "-"}, empty, disk);
    EXPECT_EQ(run.status, cli::kUsageError);
    EXPECT_EQ(run.err,
              "ornivale-cli: standard input holds no line that show, check, set or history "
              "printed with --json; no level was set\n");
  }
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(3, 1));
  EXPECT_EQ(disk.stats.opens_read_only + disk.stats.opens_held, 0);
}

// A line of a hundred megabytes is refused as soon as it passes a
// mebibyte, unread beyond.
TEST(SetFrom, ALineOverAMebibyteIsRefusedUnread) {
  class Endless : public testing::DiskWrapper {
   public:
    LevelStatus OpenStandardInput(std::unique_ptr<Input>* input) override {
      class Bytes : public Input {
       public:
        explicit Bytes(std::size_t* given) : Input("standard input"), given_(given) {}
        LevelStatus Read(char* buffer, std::size_t capacity, std::size_t* count) override {
          std::fill_n(buffer, capacity, '[');
          *count = capacity;
          *given_ += capacity;
          return {};
        }

       private:
        std::size_t* given_;
      };
      *input = std::make_unique<Bytes>(&given);
      return {};
    }
    std::size_t given = 0;
  };
  Endless endless;
  const CliRun run = RunInProcess({"set", "--from", "-"}, endless);
  EXPECT_EQ(run.status, cli::kUsageError);
  EXPECT_EQ(run.err,
            "ornivale-cli: line 1 of standard input is longer than 1 MiB; no level was set\n");
  EXPECT_LE(endless.given, std::size_t{2} * 1024 * 1024);
}

TEST(SetFrom, AFileThatIsNoRegularFileIsRefusedAtOnce) {
  TempDir dir;
  std::vector<std::string> refused = {dir.Path()};
#ifdef _WIN32
  // Windows' device names, whatever follows their dot: they would wait.
  for (const char* device : {"aux.json", "com1.json", "NUL", "lpt1.txt", "CON.json"}) {
    refused.push_back(dir.File(device));
  }
#else
  const std::string fifo = dir.File("records.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  refused.push_back(fifo);
  refused.push_back("/dev/zero");
#endif
  for (const std::string& file : refused) {
    SCOPED_TRACE(file);
    const CliRun run = RunInProcess({"set", "--from", file});
    EXPECT_EQ(run.status, cli::kUsageError);
    EXPECT_NE(run.err.find("isn't a regular file"), std::string::npos) << run.err;
  }
  const CliRun missing = RunInProcess({"set", "--from", dir.File("nothere.json")});
  EXPECT_EQ(missing.status, cli::kUsageError);
  EXPECT_EQ(missing.err.rfind("ornivale-cli: can't open " + dir.File("nothere.json") + ": ", 0),
            0u)
      << missing.err;
}

#ifndef _WIN32
// A POSIX name may hold any byte: show prints it as U+FFFD and whole in
// "path_hex", and set --from gives each level back, never the file whose
// name is the U+FFFD.
TEST(SetFrom, NamesThatAreNotUtf8ComeBackToTheirOwnFiles) {
  TempDir dir;
  const std::string ff = dir.Write("b\xff.trc", MakeLevel(3, 1));
  const std::string fe = dir.Write("b\xfe.trc", MakeLevel(1, 2));
  const std::string shown_as = dir.Write("b\xef\xbf\xbd.trc", MakeLevel(6, 0));
  const CliRun shown = RunInProcess({"show", "--json", ff, fe});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("\"path_hex\""), std::string::npos);
  ASSERT_EQ(RunInProcess({"set", "--lara", "0", "--weather", "0", ff, fe}).status, 0);
  const CliRun undone = RunWithInput({"set", "--from", "-"}, shown.out);
  EXPECT_EQ(undone.status, 0) << undone.err;
  EXPECT_EQ(ReadAll(ff), MakeLevel(3, 1));
  EXPECT_EQ(ReadAll(fe), MakeLevel(1, 2));
  EXPECT_EQ(ReadAll(shown_as), MakeLevel(6, 0));
}
#endif

// show prints the stored values from 32768 up as negative numbers; set
// takes them back in that form.
TEST(SetFrom, NegativeValuesAsShowPrintsThem) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 0xFFFF));
  const CliRun shown = RunInProcess({"show", "--json", "a.trc"}, disk);
  EXPECT_NE(shown.out.find("\"weather\":{\"value\":-1,"), std::string::npos) << shown.out;
  ASSERT_EQ(RunInProcess({"set", "--weather", "0", "a.trc"}, disk).status, 0);
  ASSERT_EQ(RunInProcess({"set", "--weather", "-1", "--lara", "-32768", "a.trc"}, disk).status, 0);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(0x8000, 0xFFFF));
}

// A dry run says what it would do in the same lines, and opens no level for
// writing.
TEST(SetFrom, ADryRunSaysWhatWouldBeDoneAndWritesNothing) {
  MemoryDisk disk;
  disk.Put("a.trc", MakeLevel(3, 1));
  disk.Put("b.trc", MakeLevel(4, 2));
  const CliRun dry = RunInProcess({"set", "--dry-run", "--lara", "young", "a.trc", "b.trc"}, disk);
  const std::string records =
      R"({"path":"a.trc","lara":{"value":1},"weather":{"value":1}})" "\n"
      R"({"path":"b.trc","lara":{"value":1},"weather":{"value":2}})" "\n";
  const CliRun dry_from = RunWithInput({"set", "--dry-run", "--from", "-"}, records, disk);
  EXPECT_EQ(disk.stats.opens_for_writing, 0);
  EXPECT_EQ(disk.stats.appends, 0);
  const CliRun real = RunInProcess({"set", "--lara", "young", "a.trc", "b.trc"}, disk);
  EXPECT_EQ(dry.status, 0);
  EXPECT_EQ(dry.out, real.out);
  EXPECT_EQ(dry_from.out, real.out);
  EXPECT_EQ(disk.Get("a.trc"), MakeLevel(1, 1));
}

}  // namespace
}  // namespace ornivale::cli_test
