// The order in which the built ornivale-cli writes and syncs what a crash
// must not lose, watched from inside the process by the system calls it
// makes (sync_watch.cpp): the history's line is on the disk, with the name
// of a history just made, before the level is written; the level's write
// is synced; a compaction's new file is synced before it is renamed into
// place, and the rename is synced with its folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/cli/program_run.h"

namespace ornivale::cli_test {
namespace {

using LineList = std::vector<std::string>;

class SyncOrder : public ::testing::Test {
 protected:
  // Runs ornivale-cli with its calls watched; the calls made, in order.
  LineList Calls(const std::vector<std::string>& args) {
    std::filesystem::remove(log_);
    const ScopedVariable preload("LD_PRELOAD", ORNIVALE_SYNC_WATCH_LIBRARY);
    const ScopedVariable log("ORNIVALE_SYNC_LOG", log_);
    const ScopedVariable watch("ORNIVALE_SYNC_WATCH", folder_ + "/");
    const ScopedVariable history("ORNIVALE_HISTORY", history_);
    const CliRun run = RunProgram(ORNIVALE_CLI_PROGRAM, args, scratch_);
    EXPECT_EQ(run.status, 0) << run.err;
    LineList calls;
    std::ifstream in(log_);
    for (std::string line; std::getline(in, line);) calls.push_back(line);
    return calls;
  }

  // Where `call` first comes in `calls`; fails the test where it never does.
  static std::ptrdiff_t At(const LineList& calls, const std::string& call) {
    const auto found = std::find(calls.begin(), calls.end(), call);
    EXPECT_NE(found, calls.end()) << call << " was never made";
    return found - calls.begin();
  }
  static std::ptrdiff_t Last(const LineList& calls, const std::string& call) {
    const auto found = std::find(calls.rbegin(), calls.rend(), call);
    EXPECT_NE(found, calls.rend()) << call << " was never made";
    return calls.rend() - found - 1;
  }

  testing::TempDir dir_{"ornivale-sync"};
  // As the system names the files the calls are made on.
  const std::string folder_ = std::filesystem::canonical(dir_.Path()).string();
  const std::string level_path_ = folder_ + "/" +
                                  testing::FsPath(dir_.Write("a.trc", testing::MakeLevel(3, 1)))
                                      .filename()
                                      .string();
  const std::string history_ = folder_ + "/state/history.jsonl";
  testing::TempDir scratch_{"ornivale-sync-output"};
  const std::string log_ = scratch_.File("calls");
};

TEST_F(SyncOrder, TheHistoryIsOnTheDiskBeforeTheLevelIsWritten) {
  const LineList calls = Calls({"set", "--lara", "young", level_path_});
  const auto written = At(calls, "write " + history_);
  const auto synced = At(calls, "fsync " + history_);
  const auto named = At(calls, "fsync " + folder_ + "/state");
  const auto level = At(calls, "pwrite " + level_path_);
  EXPECT_LT(written, synced);
  EXPECT_LT(synced, level);
  EXPECT_LT(named, level) << "the history's new name is synced into its folder";
  EXPECT_LT(level, At(calls, "fsync " + level_path_));
}

TEST_F(SyncOrder, ACompactionsFileIsSyncedBeforeItTakesThePlaceOfTheHistory) {
  Calls({"set", "--lara", "young", level_path_});
  Calls({"set", "--lara", "catsuit", level_path_});
  const LineList calls = Calls({"history", "--compact"});
  const std::string fresh = history_ + ".new";
  const auto synced = At(calls, "fsync " + fresh);
  const auto renamed = At(calls, "rename " + fresh);
  EXPECT_LT(At(calls, "write " + fresh), synced);
  EXPECT_LT(synced, renamed);
  EXPECT_LT(renamed, Last(calls, "fsync " + folder_ + "/state"));
}

}  // namespace
}  // namespace ornivale::cli_test
