// What each front end says of each failure, checked once here: the window's
// "Error" box and ornivale-cli's line.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "level/words/failure_words.h"

namespace ornivale {
namespace {

constexpr LevelCode kLastCode = LevelCode::NotLoadedLevel;

LevelStatus With(LevelCode code, const char* reason = "", const char* part = "",
                 int64_t offset = -1) {
  LevelStatus status = Failure(code, "D:\\levels\\city.trc", reason);
  status.part = part;
  status.offset = offset;
  return status;
}

LevelStatus AfterWriting(LevelStatus status) {
  status.may_be_written = true;
  return status;
}

TEST(FailureCodes, EachHasANameOfItsOwnForScripts) {
  std::set<std::string> names;
  for (int i = 0; i <= static_cast<int>(kLastCode); ++i) {
    const std::string name = CodeName(static_cast<LevelCode>(i));
    EXPECT_TRUE(names.insert(name).second) << name << " names two codes";
    EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-"), std::string::npos)
        << name;
  }
  EXPECT_STREQ(CodeName(LevelCode::CutShort), "cut-short");
  EXPECT_STREQ(CodeName(LevelCode::Tr4Level), "tr4-level");
}

// The window's own refusals are the window's alone, the folders and
// patterns ornivale-cli's alone; what is only ever a reason is neither's.
TEST(FailureCodes, EachFrontEndHasWordsForTheCodesItMeets) {
  const std::vector<LevelCode> terminal = TerminalCodes();
  const auto in_terminal = [&](LevelCode code) {
    return std::find(terminal.begin(), terminal.end(), code) != terminal.end();
  };
  for (LevelCode not_terminal : {LevelCode::Ok, LevelCode::NothingLoaded, LevelCode::LoadFailed,
                                LevelCode::NotLoadedLevel, LevelCode::NotUtf8,
                                LevelCode::BeingCompacted}) {
    EXPECT_FALSE(in_terminal(not_terminal)) << CodeName(not_terminal);
  }
  EXPECT_EQ(terminal.size(), static_cast<std::size_t>(kLastCode) - 5);
  for (LevelCode terminal_only : {LevelCode::ChangedSince, LevelCode::BadInput,
                                  LevelCode::NoLevelFound}) {
    EXPECT_TRUE(in_terminal(terminal_only)) << CodeName(terminal_only);
  }
  EXPECT_EQ(terminal.front(), LevelCode::CannotOpen);
}

// Said of the history's file within another message, a failure always
// gives a reason: the system's, or words of its own.
TEST(FailureReason, IsTheSystemsOrOneOfItsOwnNeverEmpty) {
  EXPECT_EQ(ReasonOf(Failure(LevelCode::CannotOpen, "h", "Permission denied")),
            "Permission denied");
  EXPECT_EQ(ReasonOf(Failure(LevelCode::NotRegularFile, "h")),
            "it is a folder, a pipe or a device, not a regular file");
  EXPECT_EQ(ReasonOf(Failure(LevelCode::InUse, "h")), "another program is using it");
  for (const LevelCode code : TerminalCodes()) {
    EXPECT_NE(ReasonOf(Failure(code, "h")), "") << CodeName(code);
  }
}

TEST(WindowMessage, SaysWhatFailedWithWhichLevel) {
  const struct {
    LevelStatus status;
    const char* text;
  } cases[] = {
      {With(LevelCode::CannotOpen, "Access denied"),
       "Can't open D:\\levels\\city.trc: Access denied"},
      {With(LevelCode::InUse),
       "D:\\levels\\city.trc is being used by another program. Close it there, "
       "then try again."},
      {With(LevelCode::NotRegularFile),
       "D:\\levels\\city.trc isn't a level file: it is a folder, a device or a "
       "pipe."},
      {With(LevelCode::ReadFailed, "Bad sector"),
       "Can't read D:\\levels\\city.trc: Bad sector"},
      {With(LevelCode::WrongVersion),
       "D:\\levels\\city.trc isn't a valid Tomb Raider Chronicles Level"},
      {With(LevelCode::RemasteredLevel),
       "D:\\levels\\city.trc isn't a valid Tomb Raider Chronicles Level"},
      {With(LevelCode::CutShort, "", "texture block 2", 30),
       "D:\\levels\\city.trc isn't a complete level: it ends inside texture "
       "block 2."},
      {With(LevelCode::TooLarge), "D:\\levels\\city.trc is too large to be a level."},
      {With(LevelCode::Tr4Level),
       "D:\\levels\\city.trc is a Tomb Raider IV level: it keeps other data "
       "where a TRC level keeps the Lara type and weather, so they can't be "
       "saved."},
      {With(LevelCode::Tr4Level, "", "", 34),
       "D:\\levels\\city.trc is a Tomb Raider IV level: it keeps other data "
       "where a TRC level keeps the Lara type and weather, so they can't be "
       "saved. The file was not changed."},
      {With(LevelCode::NoPadding, "", "", 40),
       "D:\\levels\\city.trc isn't a TRC level whose Lara type and weather can "
       "be saved: it holds other data where a TRC level keeps zero bytes after "
       "them, as a Tomb Raider IV level cut short does. The file was not "
       "changed."},
      {With(LevelCode::NegativeSize, "", "texture block 2", 34),
       "D:\\levels\\city.trc isn't a level whose Lara type and weather can be "
       "saved: the size of texture block 2 reads as negative. The file was not "
       "changed."},
      {With(LevelCode::Changed),
       "D:\\levels\\city.trc has changed since it was loaded. Load it again "
       "before saving."},
      {With(LevelCode::WriteFailed, "Disk full"),
       "Can't write D:\\levels\\city.trc: Disk full"},
      {With(LevelCode::NotNamedAsLevel),
       "D:\\levels\\city.trc isn't named as a level: the name must end in "
       "\".trc\" or \".tr4\"."},
      {With(LevelCode::HistoryNotWritten, "Access is denied", "C:\\h\\history.jsonl"),
       "The change to D:\\levels\\city.trc can't be recorded in the history file "
       "C:\\h\\history.jsonl: Access is denied. The level was not changed. To save "
       "without keeping a history, set the environment variable ORNIVALE_HISTORY to "
       "off."},
      {With(LevelCode::HistoryNotRead, "Access is denied", "C:\\h\\history.jsonl"),
       "Can't read the history file C:\\h\\history.jsonl: Access is denied."},
      {With(LevelCode::NothingLoaded),
       "There is no loaded level to save. Load a level first."},
      {With(LevelCode::LoadFailed),
       "D:\\levels\\city.trc couldn't be loaded, so it can't be saved."},
      {With(LevelCode::NotLoadedLevel),
       "D:\\levels\\city.trc isn't the loaded level. Load it before saving."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WindowMessage(c.status), c.text) << CodeName(c.status.code);
  }
}

// Once bytes went out, no message may say that nothing was written.
TEST(WindowMessage, AFailureAfterTheWriteSaysTheLevelMayHoldTheNewValues) {
  const std::string may_hold =
      ". The level may now hold the new values; load it again to see what it "
      "holds.";
  EXPECT_EQ(WindowMessage(AfterWriting(With(LevelCode::WriteFailed, "Disk full"))),
            "Saving D:\\levels\\city.trc may not have finished: Disk full" + may_hold);
  EXPECT_EQ(WindowMessage(AfterWriting(With(LevelCode::ReadFailed, "Bad sector"))),
            "Saving D:\\levels\\city.trc may not have finished: Bad sector" + may_hold);
  EXPECT_EQ(WindowMessage(AfterWriting(With(LevelCode::Changed, "another file is there"))),
            "D:\\levels\\city.trc changed on disk while it was being saved: "
            "another file is there" + may_hold);
  EXPECT_EQ(WindowMessage(AfterWriting(With(LevelCode::CannotCheck, "Input/output error"))),
            "Can't check D:\\levels\\city.trc after saving it: Input/output error" +
                may_hold);
}

TEST(TerminalMessage, SaysWhatFailedWithWhichLevelOnOneLine) {
  const struct {
    LevelStatus status;
    Access access;
    const char* text;
  } cases[] = {
      {With(LevelCode::CannotOpen, "No such file"), Access::ReadOnly,
       "can't open D:\\levels\\city.trc: No such file"},
      {With(LevelCode::InUse), Access::Writes,
       "D:\\levels\\city.trc is in use by another program; close it there and try "
       "again"},
      {With(LevelCode::NotRegularFile), Access::ReadOnly,
       "D:\\levels\\city.trc isn't a regular file (a folder, a pipe or a device)"},
      {With(LevelCode::ReadFailed, "I/O error"), Access::ReadOnly,
       "can't read D:\\levels\\city.trc: I/O error"},
      {With(LevelCode::WrongVersion), Access::Writes,
       "D:\\levels\\city.trc isn't a Tomb Raider Chronicles level: it doesn't begin "
       "with \"TR4\" and a zero byte"},
      {With(LevelCode::RemasteredLevel), Access::Writes,
       "D:\\levels\\city.trc is a level of the remastered edition, which "
       "ornivale-cli doesn't support: it edits the original release's levels; it "
       "was left as it is"},
      {With(LevelCode::RemasteredLevel), Access::ReadOnly,
       "D:\\levels\\city.trc is a level of the remastered edition, which "
       "ornivale-cli doesn't support: it edits the original release's levels"},
      {With(LevelCode::CutShort, "", "texture block 2", 30), Access::ReadOnly,
       "D:\\levels\\city.trc is cut short: it ends at byte 30, inside texture block 2"},
      {With(LevelCode::TooLarge), Access::ReadOnly,
       "D:\\levels\\city.trc is too large to be a level"},
      {With(LevelCode::Tr4Level), Access::Writes,
       "D:\\levels\\city.trc is a Tomb Raider IV level, which keeps no Lara type or "
       "weather; it was left as it is"},
      {With(LevelCode::Tr4Level), Access::ReadOnly,
       "D:\\levels\\city.trc is a Tomb Raider IV level, which keeps no Lara type or "
       "weather"},
      {With(LevelCode::NoPadding, "", "", 40), Access::Writes,
       "D:\\levels\\city.trc holds other data at byte 40, where a TRC level keeps "
       "zero bytes after its Lara type and weather: it is no TRC level, or a Tomb "
       "Raider IV level cut short; it was left as it is"},
      {With(LevelCode::NegativeSize, "", "texture block 3", 34), Access::ReadOnly,
       "D:\\levels\\city.trc isn't a level that can be set: the size of texture "
       "block 3 reads as negative"},
      {With(LevelCode::Changed), Access::Writes,
       "D:\\levels\\city.trc changed on disk while it was being saved; run the "
       "command again"},
      {With(LevelCode::WriteFailed, "No space left on device"), Access::Writes,
       "can't write D:\\levels\\city.trc: No space left on device"},
      {With(LevelCode::NotNamedAsLevel), Access::ReadOnly,
       "D:\\levels\\city.trc isn't named as a level: the name must end in \".trc\" "
       "or \".tr4\""},
      {With(LevelCode::NoLevelFound, "", "folder"), Access::ReadOnly,
       "D:\\levels\\city.trc holds no .trc level"},
      {With(LevelCode::NoLevelFound, "", "pattern"), Access::ReadOnly,
       "no level matches D:\\levels\\city.trc"},
      {With(LevelCode::ChangedSince, "it was built again since Ornivale changed it"),
       Access::Writes,
       "D:\\levels\\city.trc is not as Ornivale left it: it was built again since "
       "Ornivale changed it; it was left as it is"},
      {With(LevelCode::HistoryNotWritten, "No space left on device", "/h/history.jsonl"),
       Access::Writes,
       "can't record the change to D:\\levels\\city.trc in the history file "
       "/h/history.jsonl: No space left on device; it was left as it is "
       "(ORNIVALE_HISTORY=off turns the history off)"},
      {With(LevelCode::HistoryNotRead, "Permission denied", "/h/history.jsonl"),
       Access::Writes,
       "can't read the history file /h/history.jsonl: Permission denied; "
       "D:\\levels\\city.trc was left as it is"},
      {Failure(LevelCode::BadInput, "undo.json", "names the member \"path\" twice"),
       Access::Writes,
       "undo.json names the member \"path\" twice; no level was set"},
      {With(LevelCode::BadInput, "is longer than 1 MiB", "", 3), Access::Writes,
       "line 3 of D:\\levels\\city.trc is longer than 1 MiB; no level was set"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TerminalMessage(c.status, c.access), c.text) << CodeName(c.status.code);
  }
}

TEST(TerminalMessage, AFailureAfterTheWriteSaysTheLevelMayHoldTheNewValues) {
  EXPECT_EQ(TerminalMessage(AfterWriting(With(LevelCode::WriteFailed, "Input/output error")),
                            Access::Writes),
            "setting D:\\levels\\city.trc may not have finished: Input/output error; it "
            "may now hold the new values");
  EXPECT_EQ(TerminalMessage(AfterWriting(With(LevelCode::Changed, "its size changed")),
                            Access::Writes),
            "D:\\levels\\city.trc changed on disk while it was being set (its size "
            "changed); it may now hold the new values");
  // A stat that fails after the write: the level is there, holding what
  // was written, as far as anyone knows.
  EXPECT_EQ(TerminalMessage(AfterWriting(With(LevelCode::CannotCheck, "Input/output error")),
                            Access::Writes),
            "can't check D:\\levels\\city.trc after setting it: Input/output error; it "
            "may now hold the new values");
}

// A level's row in a list of levels: a few words, the system's reason
// after those that take one, and never the path, which the row shows.
TEST(BriefReason, SaysWhyInAFewWordsBesideTheLevel) {
  const struct {
    LevelStatus status;
    const char* expected;
  } cases[] = {
      {With(LevelCode::InUse), "in use by another program"},
      {With(LevelCode::Tr4Level, "", "", 34), "a Tomb Raider IV level"},
      {With(LevelCode::CannotOpen, "Access denied"), "can't be opened: Access denied"},
      {AfterWriting(With(LevelCode::WriteFailed, "Disk full")),
       "can't be written: Disk full; it may hold the new values"},
      {With(LevelCode::ChangedSince, "its values changed since Ornivale last wrote them"),
       "not as Ornivale left it"},
      {With(LevelCode::NoLevelFound), "no-level-found"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BriefReason(c.status), c.expected) << CodeName(c.status.code);
  }
  for (int i = 1; i <= static_cast<int>(kLastCode); ++i) {
    const std::string brief = BriefReason(With(static_cast<LevelCode>(i), "why"));
    EXPECT_EQ(brief.find("city.trc"), std::string::npos) << brief;
    EXPECT_FALSE(brief.empty());
  }
}

}  // namespace
}  // namespace ornivale
