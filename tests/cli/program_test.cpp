// Runs the built ornivale-cli as its users do: a separate process with
// arguments, standard output, standard error and an exit status.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

#include <filesystem>
#include <set>
#include <thread>

#include "level/history/records.h"
#include "level/words/failure_words.h"
#include "tests/cli/program_run.h"

namespace ornivale::cli_test {
namespace {

using testing::MakeLevel;
using testing::ReadAll;
using LineList = std::vector<std::string>;

// A path as a JSON string: a Windows path has backslashes.
std::string JsonPath(const std::string& path) {
  std::string json = "\"";
  for (char c : path) {
    if (c == '\\' || c == '"') json += '\\';
    json += c;
  }
  return json + "\"";
}

class ProgramTest : public ::testing::Test {
 protected:
  CliRun Run(const std::vector<std::string>& args) const {
    return RunProgram(ORNIVALE_CLI_PROGRAM, args, scratch_);
  }

  testing::TempDir levels_{"ornivale-cli levels"};

 private:
  testing::TempDir scratch_{"ornivale-cli-output"};
};

TEST_F(ProgramTest, ShowsAndSetsLevelsWithAnyName) {
  // Spaces and characters outside any code page must reach the program and
  // come back intact.
  const std::string snow = levels_.Write("Höhle ❄ 1.trc", MakeLevel(0, 2));
  const std::string city = levels_.Write("city.TRC", MakeLevel(3, 1, 12));

  CliRun run = Run({"show", snow, city});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Lines(run.err), LineList{"2 levels: 2 shown"});
  EXPECT_EQ(Lines(run.out),
            (LineList{snow + ": Lara type Normal Lara (0), weather Snow (2)",
                      city + ": Lara type Catsuit (3), weather Rain (1)"}));

  run = Run({"set", "--lara", "Invisible", "--weather=rain", snow, city});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(Lines(run.err), LineList{"2 levels: 2 changed"});
  EXPECT_EQ(ReadAll(snow), MakeLevel(6, 1));
  EXPECT_EQ(ReadAll(city), MakeLevel(6, 1, 12));

  run = Run({"show", "--json", snow});
  EXPECT_EQ(run.status, 0);
  const std::string folder = JsonPath(levels_.File(""));
  EXPECT_EQ(Lines(run.out),
            LineList{"{\"path\":" + folder.substr(0, folder.size() - 1) +
                     "H\\u00f6hle \\u2744 1.trc\",\"lara\":{\"value\":6,\"text\":\"Invisible\"},"
                     "\"weather\":{\"value\":1,\"text\":\"Rain\"}}"});
}

// The program's folder for as long as it lives.
class InFolder {
 public:
  explicit InFolder(const std::string& folder) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(testing::FsPath(folder));
  }
  ~InFolder() { std::filesystem::current_path(old_); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  std::filesystem::path old_;
};

bool AllAscii(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// What --json prints is ASCII, whatever a name holds, so that no code page
// changes it on its way into a file; its paths are full, so that the file
// serves set --from in any folder.
TEST_F(ProgramTest, JsonIsAsciiWithFullPathsThatServeFromAnyFolder) {
  const std::string cafe = "Caf\u00e9 \u00d1.trc";
  const std::string math = "\U0001D543 level.trc";  // beyond U+FFFF
  const std::string cafe_path = levels_.Write(cafe, MakeLevel(3, 1));
  const std::string math_path = levels_.Write(math, MakeLevel(4, 2));
  const std::string folder = JsonPath(levels_.File(""));
  const std::string in_folder = folder.substr(0, folder.size() - 1);
  CliRun shown;
  {
    const InFolder there(levels_.File(""));
    shown = Run({"show", "--json", cafe, math});
    EXPECT_EQ(Lines(Run({"check", "--json", cafe}).out),
              LineList{"{\"path\":" + in_folder + "Caf\\u00e9 \\u00d1.trc\",\"lara\":{\"value\":3,"
                       "\"text\":\"Catsuit\"},\"weather\":{\"value\":1,\"text\":\"Rain\"},"
                       "\"matches\":true}"});
  }
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_TRUE(AllAscii(shown.out)) << shown.out;
  const LineList lines = Lines(shown.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("{\"path\":" + in_folder + "Caf\\u00e9 \\u00d1.trc\",", 0), 0u)
      << lines[0];
  EXPECT_EQ(lines[1].rfind("{\"path\":" + in_folder + "\\ud835\\udd43 level.trc\",", 0), 0u)
      << lines[1];

  testing::TempDir elsewhere;
  const std::string undo = elsewhere.Write("undo.json", testing::Bytes(shown.out.begin(),
                                                                       shown.out.end()));
  ASSERT_EQ(Run({"set", "--lara", "young", "--weather", "normal", cafe_path, math_path}).status,
            0);
  const InFolder other(elsewhere.Path());
  const CliRun undone = Run({"set", "--json", "--from", undo});
  EXPECT_EQ(undone.status, 0) << undone.err;
  EXPECT_TRUE(AllAscii(undone.out)) << undone.out;
  EXPECT_EQ(Lines(undone.out).size(), 2u);
  EXPECT_EQ(ReadAll(cafe_path), MakeLevel(3, 1));
  EXPECT_EQ(ReadAll(math_path), MakeLevel(4, 2));
}

TEST_F(ProgramTest, FailuresGoToStandardErrorAndTheExitStatusIsOne) {
  const std::string good = levels_.Write("good.trc", MakeLevel(4, 0));
  const std::string cut = levels_.Write("cut.trc", {0x54, 0x52, 0x34});
  const CliRun run = Run({"set", "--weather", "snow", cut, good});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Lines(run.out),
            LineList{good + ": Lara type Divesuit (4), weather Normal Weather (0) -> Snow (2)"});
  const LineList errors = Lines(run.err);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].rfind("ornivale-cli: " + cut + " ", 0), 0u) << errors[0];
  EXPECT_EQ(errors[1], "2 levels: 1 changed, 1 refused");
  EXPECT_EQ(ReadAll(good), MakeLevel(4, 2));
  const CliRun json = Run({"show", "--json", cut});
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("\"code\":\"cut-short\""), std::string::npos) << json.out;
  EXPECT_EQ(ReadAll(cut), (testing::Bytes{0x54, 0x52, 0x34}));
}

// Eight programs at once, each setting levels of its own: every change is
// in the history, each on a line of its own.
TEST_F(ProgramTest, EightProgramsAppendingAtOnceLoseNoRecordAndMixNoLine) {
  constexpr int kPrograms = 8;
#ifdef _WIN32
  constexpr int kLevels = 40;
#else
  constexpr int kLevels = 300;  // more than one append each
#endif
  const std::string history = levels_.File("history.jsonl");
  const ScopedVariable variable("ORNIVALE_HISTORY", history);
  std::set<std::string> levels;
  std::vector<std::string> folders;
  for (int p = 0; p < kPrograms; ++p) {
    folders.push_back(levels_.File("p" + std::to_string(p)));
    std::filesystem::create_directory(testing::FsPath(folders.back()));
    for (int l = 0; l < kLevels; ++l) {
      levels.insert(Disk::Default().FullPath(
          levels_.Write("p" + std::to_string(p) + "/l" + std::to_string(l) + ".trc",
                        MakeLevel(3, 1))));
    }
  }
  std::vector<testing::TempDir> scratch(kPrograms);
  std::vector<CliRun> runs(kPrograms);
  std::vector<std::thread> programs;
  for (int p = 0; p < kPrograms; ++p) {
    programs.emplace_back([&, p] {
      runs[p] = RunProgram(ORNIVALE_CLI_PROGRAM, {"set", "--lara", "young", folders[p]},
                           scratch[p]);
    });
  }
  for (std::thread& program : programs) program.join();
  for (const CliRun& run : runs) EXPECT_EQ(run.status, 0) << run.err;

  const testing::Bytes bytes = ReadAll(history);
  const LineList lines = Lines(std::string(bytes.begin(), bytes.end()));
  // Each level's change, and how it left the level.
  EXPECT_EQ(lines.size(), 2 * levels.size());
  std::set<std::string> changed;
  std::set<std::string> left;
  std::string why;
  for (const std::string& line : lines) {
    const auto record = ParseRecord(line, Disk::Default(), &why);
    ASSERT_TRUE(record && (record->change || record->left)) << line;
    EXPECT_TRUE((record->change ? changed : left).insert(record->path).second)
        << record->path << " twice";
  }
  EXPECT_EQ(changed, levels);
  EXPECT_EQ(left, levels);
}

TEST_F(ProgramTest, UsageErrorsExitWithTwoAndAOneLineHint) {
  const std::string level = levels_.Write("a.trc", MakeLevel(4, 0));
  const CliRun run = Run({"set", "--lara", "wetsuit", level});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(
      Lines(run.err),
      (LineList{"ornivale-cli: unknown Lara type 'wetsuit'",
                "Lara types: normal, young, catsuit, divesuit, invisible, "
                "a list text or a stored value 0 to 65535."}));
  EXPECT_EQ(ReadAll(level), MakeLevel(4, 0));

  EXPECT_EQ(Run({}).status, 2);
  EXPECT_EQ(Run({"show"}).status, 2);
}

#ifndef _WIN32
// `ornivale-cli show … | head -1`: once the reader has gone, show ends
// without a word, and with the status of what it did.
TEST_F(ProgramTest, AReaderThatHasGoneEndsAShowQuietly) {
  std::vector<std::string> args = {ORNIVALE_CLI_PROGRAM, "show"};
  for (int i = 0; i < 3; ++i) {
    args.push_back(levels_.Write("l" + std::to_string(i) + ".trc", MakeLevel(3, 1)));
  }
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  close(pipe_ends[0]);  // the reader, gone before the first line
  const std::string err_path = levels_.File("err.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT, 0644);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(ReadAll(err_path).empty());
}
#endif

TEST_F(ProgramTest, HelpAndVersion) {
  const CliRun help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(Lines(help.out).at(0),
            "Usage: ornivale-cli show [--json] [--quiet] LEVEL...");
  const CliRun version = Run({"--version"});
  EXPECT_EQ(version.status, 0);
  ASSERT_EQ(Lines(version.out).size(), 1u);
  EXPECT_EQ(version.out.rfind("ornivale-cli ", 0), 0u);
}

}  // namespace
}  // namespace ornivale::cli_test
