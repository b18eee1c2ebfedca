// A folder's levels as the folder view's rows, on a memory disk: what keeps
// a command from running, and a Save through the rows.
#include <gtest/gtest.h>

#include "level/history/history.h"
#include "level/rows/level_rows.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::Bytes;
using testing::MakeLevel;
using testing::MemoryDisk;

TEST(LevelRows, ACommandRunsOnlyOnRowsWithWhatItNeeds) {
  MemoryDisk disk;
  const History kept(disk, MemoryDisk::kHistory);
  const History off = History::Off(disk);
  FlagChange snow;
  snow.values[kWeather] = 2;
  const struct {
    RowsCommand command;
    std::size_t selected;
    bool picked;
    const History& history;
    RowsRefusal refusal;
  } cases[] = {
      {RowsCommand::Save, 0, true, kept, RowsRefusal::NothingSelected},
      {RowsCommand::Save, 2, false, kept, RowsRefusal::NothingPicked},
      {RowsCommand::Save, 2, true, off, RowsRefusal::None},
      {RowsCommand::Restore, 0, false, kept, RowsRefusal::NothingSelected},
      {RowsCommand::Restore, 1, false, off, RowsRefusal::HistoryOff},
      {RowsCommand::ApplyAgain, 1, false, off, RowsRefusal::HistoryOff},
      {RowsCommand::ApplyAgain, 1, false, kept, RowsRefusal::None},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ProgramOf(c.command) + std::string(" on ") + std::to_string(c.selected));
    EXPECT_EQ(CheckRowsCommand(c.command, c.selected, c.picked ? snow : FlagChange{}, c.history),
              c.refusal);
  }
}

TEST(LevelRows, ASaveWritesThePickedValueIntoEachRowItMayAndSaysWhatItDid) {
  MemoryDisk disk;
  disk.Put("/pack/level10.trc", MakeLevel(3, 1));
  disk.Put("/pack/level9.trc", MakeLevel(4, 1));
  disk.Put("/pack/cut.trc", Bytes(12, 0));
  LevelStatus why;
  std::vector<LevelRow> rows = ListFolderRows("/pack", disk, &why);
  ASSERT_TRUE(why.ok());
  ASSERT_EQ(rows.size(), 3u);
  for (LevelRow& row : rows) ReadRow(row, disk);
  EXPECT_EQ(CellText(rows[1], RowColumn::Level), "level9.trc");
  EXPECT_EQ(CellText(rows[1], RowColumn::LaraType), "Divesuit");

  FlagChange snow;
  snow.values[kWeather] = 2;
  const History history(disk, MemoryDisk::kHistory);
  std::vector<std::size_t> told;  // as each is done, and again once all are
  RowsDone done;
  const LevelStatus read =
      RunRowsCommand(RowsCommand::Save, rows, snow, {ProgramOf(RowsCommand::Save), history},
                     disk, [&](std::size_t i, const LevelRow&) { told.push_back(i); }, &done);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(DoneText(RowsCommand::Save, done), "2 levels saved, 1 refused");
  EXPECT_EQ(told, (std::vector<std::size_t>{0, 1, 2, 0, 1, 2}));
  EXPECT_EQ(disk.Get("/pack/level9.trc"), MakeLevel(4, 2));
  EXPECT_EQ(disk.Get("/pack/level10.trc"), MakeLevel(3, 2));
  EXPECT_EQ(disk.Get("/pack/cut.trc"), Bytes(12, 0));
  EXPECT_EQ(CellText(rows[2], RowColumn::Weather), "Snow");
  EXPECT_NE(CellText(rows[0], RowColumn::State), "");
}

}  // namespace
}  // namespace ornivale
