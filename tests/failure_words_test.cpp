// What each front end says of each failure: the window's "Error" box,
// ornivale-cli's line and a level's row in a list. Each front end's wording
// is checked once; the other checks are the rules its words follow.
#include <gtest/gtest.h>

#include <set>

#include "level/words/failure_words.h"

namespace ornivale {
namespace {

constexpr LevelCode kLastCode = LevelCode::NotLoadedLevel;
constexpr char kPath[] = "D:\\levels\\city.trc";
constexpr char kHistory[] = "C:\\h\\history.jsonl";

LevelStatus With(LevelCode code, const char* reason = "", const char* part = "",
                 int64_t offset = -1, const char* path = kPath) {
  LevelStatus status = Failure(code, path, reason);
  status.part = part;
  status.offset = offset;
  return status;
}

LevelStatus AfterWriting(LevelStatus status) {
  status.may_be_written = true;
  return status;
}

bool Has(const std::string& text, const std::string& word) {
  return text.find(word) != std::string::npos;
}

// Each code once, in order, with a word that each front end meeting it
// relies on; null where that front end never meets it. A brief word ending
// in ':' is followed by the failure's reason.
struct CodeWords {
  LevelStatus status;
  const char* window;
  const char* terminal;
  const char* brief;
};

std::vector<CodeWords> EveryCode() {
  using C = LevelCode;
  return {
      {With(C::CannotOpen, "Access denied"), "open", "open", "opened:"},
      {With(C::InUse), "another program", "another program", "another program"},
      {With(C::NotRegularFile), "folder", "folder", "regular file"},
      {With(C::ReadFailed, "Bad sector"), "read", "read", "read:"},
      {With(C::WrongVersion), "Tomb Raider Chronicles", "\"TR4\"", "Chronicles"},
      {With(C::RemasteredLevel), "Tomb Raider Chronicles", "remastered", "remastered"},
      {With(C::CutShort, "", "texture block 2", 30), "ends inside", "cut short", "cut short"},
      {With(C::TooLarge), "too large", "too large", "too large"},
      {With(C::Tr4Level), "Tomb Raider IV", "Tomb Raider IV", "Tomb Raider IV"},
      {With(C::NoPadding, "", "", 40), "zero bytes", "zero bytes", "other data"},
      {With(C::NegativeSize, "", "texture block 2"), "negative", "negative", "negative"},
      {With(C::Changed), "since it was loaded", "changed on disk", "changed"},
      {With(C::ChangedSince, "it was built again"), nullptr, "Ornivale left it", "Ornivale"},
      {With(C::WriteFailed, "Disk full"), "write", "write", "written:"},
      {With(C::CannotCheck, "Input/output error"), "check", "check", "saving:"},
      {With(C::HistoryNotWritten, "Access is denied", kHistory), "ORNIVALE_HISTORY",
       "ORNIVALE_HISTORY=off", "history:"},
      {With(C::HistoryNotRead, "Access is denied", kHistory, -1, kHistory), "history file",
       "history file", "read:"},
      {With(C::HistoryNotCompacted, "Disk full", kHistory, -1, kHistory), nullptr, "compact",
       nullptr},
      {With(C::NotUtf8), nullptr, nullptr, nullptr},
      {With(C::BeingCompacted), nullptr, nullptr, nullptr},
      {With(C::NotNamedAsLevel), "\".trc\"", "\".trc\"", "named"},
      {With(C::NoLevelFound), nullptr, ".trc level", nullptr},
      {With(C::BadInput, "is longer than 1 MiB", "", 3), nullptr, "no level was set", nullptr},
      {With(C::BadHistorySetting, "", "history.jsonl", -1, ""), "ORNIVALE_HISTORY",
       "ORNIVALE_HISTORY", "ORNIVALE_HISTORY"},
      {With(C::NothingLoaded, "", "", -1, ""), "Load a level", nullptr, nullptr},
      {With(C::LoadFailed), "couldn't be loaded", nullptr, nullptr},
      {With(C::NotLoadedLevel), "isn't the loaded level", nullptr, nullptr},
  };
}

TEST(FailureCodes, EachHasANameOfItsOwnForScripts) {
  std::set<std::string> names;
  for (int i = 0; i <= static_cast<int>(kLastCode); ++i) {
    const std::string name = CodeName(static_cast<LevelCode>(i));
    EXPECT_TRUE(names.insert(name).second) << name << " names two codes";
    EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-"), std::string::npos)
        << name;
  }
}

// The window's own refusals are the window's alone, the folders, patterns
// and inputs ornivale-cli's alone; what is only ever a reason is neither's.
TEST(FailureCodes, OrnivaleCliMeetsTheCodesThatItHasWordsFor) {
  const std::vector<CodeWords> codes = EveryCode();
  ASSERT_EQ(codes.size(), static_cast<std::size_t>(kLastCode));
  std::vector<LevelCode> terminal;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    EXPECT_EQ(codes[i].status.code, static_cast<LevelCode>(i + 1)) << i;
    if (codes[i].terminal) terminal.push_back(codes[i].status.code);
  }
  EXPECT_EQ(TerminalCodes(), terminal);
}

// Said of the history's file within another message, a failure always
// gives a reason: the system's, or words of its own (the path of a file
// in UTF-16, to convert it back).
TEST(FailureReason, IsTheSystemsOrOneOfItsOwnNeverEmpty) {
  EXPECT_EQ(ReasonOf(Failure(LevelCode::CannotOpen, kHistory, "Access denied")), "Access denied");
  const std::pair<LevelCode, std::string> own[] = {
      {LevelCode::InUse, "another program"}, {LevelCode::NotRegularFile, "not a regular file"},
      {LevelCode::NotUtf8, kHistory}, {LevelCode::BeingCompacted, "history --compact"}};
  for (const auto& [code, word] : own) {
    EXPECT_TRUE(Has(ReasonOf(Failure(code, kHistory)), word)) << CodeName(code);
  }
  for (const LevelCode code : TerminalCodes()) {
    EXPECT_NE(ReasonOf(Failure(code, "h")), "") << CodeName(code);
  }
}

// The path, the part (a block, the history's file) and the reason of the
// failure each go into every text that meets it; ornivale-cli's one line
// also says at which byte or line, and a level's row never says its path.
TEST(FailureWords, EachFrontEndSaysWhatFailedWithTheDetailsOfTheFailure) {
  for (const CodeWords& c : EveryCode()) {
    const LevelStatus& s = c.status;
    SCOPED_TRACE(CodeName(s.code));
    const std::string terminal = TerminalMessage(s, Access::Writes);
    const std::pair<const char*, std::string> texts[] = {{c.window, WindowMessage(s)},
                                                         {c.terminal, terminal}};
    for (const auto& [word, text] : texts) {
      if (!word) continue;
      for (const std::string& detail : {std::string(word), s.path, s.part, s.reason}) {
        EXPECT_TRUE(Has(text, detail)) << text;
      }
    }
    if (c.terminal) {
      EXPECT_TRUE(s.offset <= 0 || Has(terminal, std::to_string(s.offset))) << terminal;
      EXPECT_FALSE(Has(terminal, "\n") || terminal.back() == '.') << terminal;
    }
    const std::string brief = BriefReason(s);
    EXPECT_FALSE(brief.empty() || Has(brief, "city.trc")) << brief;
    if (c.brief) {
      const std::string word = c.brief;
      EXPECT_TRUE(Has(brief, word.back() == ':' ? word + " " + s.reason : word)) << brief;
    }
  }
}

// Given the same details, no two codes read the same, but for the window's
// one word for every version it can't read.
TEST(FailureWords, DifferentCodesReadDifferently) {
  std::set<std::string> windows, terminals, briefs;
  for (const CodeWords& c : EveryCode()) {
    const LevelStatus s = With(c.status.code, "why", "part", 30);
    if (c.window && s.code != LevelCode::RemasteredLevel) {
      EXPECT_TRUE(windows.insert(WindowMessage(s)).second) << WindowMessage(s);
    }
    if (c.terminal) {
      const std::string text = TerminalMessage(s, Access::ReadOnly);
      EXPECT_TRUE(terminals.insert(text).second) << text;
    }
    EXPECT_TRUE(briefs.insert(BriefReason(s)).second) << BriefReason(s);
  }
  EXPECT_EQ(WindowMessage(With(LevelCode::RemasteredLevel)),
            WindowMessage(With(LevelCode::WrongVersion)));
}

// What the failure gives picks the words: a pattern or a folder, a line of
// the input or none, a level that the history's setting stopped.
TEST(FailureWords, TheFailuresDetailsPickTheWords) {
  const std::string pattern =
      TerminalMessage(With(LevelCode::NoLevelFound, "", "pattern"), Access::ReadOnly);
  EXPECT_TRUE(Has(pattern, "matches " + std::string(kPath))) << pattern;
  const LevelStatus no_line = With(LevelCode::BadInput, "is not JSON", "", 0, "undo.json");
  EXPECT_EQ(TerminalMessage(no_line, Access::Writes).rfind("undo.json is not JSON", 0), 0u);
  EXPECT_TRUE(Has(WindowMessage(With(LevelCode::BadHistorySetting, "", "h.jsonl")), kPath));
}

// Once bytes went out, no text may say that nothing was written: each says
// the level may hold the new values, and where the code's words said that
// nothing was written, they change.
TEST(FailureWords, AFailureAfterTheWriteSaysTheLevelMayHoldTheNewValues) {
  const struct {
    LevelCode code;
    bool words_change;
    bool brief_changes;
  } cases[] = {{LevelCode::WriteFailed, true, false},
               {LevelCode::ReadFailed, true, false},
               {LevelCode::Changed, true, true},
               {LevelCode::CannotCheck, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(CodeName(c.code));
    const LevelStatus before = With(c.code, "its size changed");
    const LevelStatus after = AfterWriting(before);
    const std::string texts[][2] = {
        {WindowMessage(before), WindowMessage(after)},
        {TerminalMessage(before, Access::Writes), TerminalMessage(after, Access::Writes)}};
    for (const auto& text : texts) {
      EXPECT_FALSE(Has(text[0], "may now hold the new values")) << text[0];
      EXPECT_TRUE(Has(text[1], "may now hold the new values")) << text[1];
      EXPECT_TRUE(Has(text[1], kPath) && Has(text[1], "its size changed")) << text[1];
      EXPECT_EQ(Has(text[1], text[0]), !c.words_change) << text[1];
    }
    const std::string brief = BriefReason(after);
    EXPECT_TRUE(Has(brief, "may hold the new values")) << brief;
    EXPECT_EQ(Has(brief, BriefReason(before)), !c.brief_changes) << brief;
  }
}

// A refusal of a level: ornivale-cli says it was left as it is only where
// its command writes; the window says the file was not changed only where
// it had opened the file (an offset), not where the name told.
TEST(FailureWords, ARefusedLevelIsSaidToBeLeftAsItIsWhereItWasToBeWritten) {
  const LevelStatus history_of_level = With(LevelCode::HistoryNotRead, "denied", kHistory);
  const struct {
    LevelStatus status;
    bool window_unchanged;
  } left[] = {
      {With(LevelCode::RemasteredLevel), false},
      {With(LevelCode::Tr4Level), false},
      {With(LevelCode::Tr4Level, "", "", 34), true},
      {With(LevelCode::NoPadding, "", "", 40), true},
      {With(LevelCode::NegativeSize, "", "texture block 3"), false},
      {With(LevelCode::NegativeSize, "", "texture block 3", 34), true},
      {history_of_level, false},
  };
  std::set<LevelCode> telling;
  for (const auto& c : left) {
    SCOPED_TRACE(CodeName(c.status.code) + std::to_string(c.status.offset));
    telling.insert(c.status.code);
    const std::string reading = TerminalMessage(c.status, Access::ReadOnly);
    const std::string writing = TerminalMessage(c.status, Access::Writes);
    EXPECT_FALSE(Has(reading, "left as it is")) << reading;
    EXPECT_TRUE(Has(writing, "left as it is")) << writing;
    EXPECT_EQ(writing.rfind(reading, 0), 0u) << writing;
    EXPECT_EQ(Has(WindowMessage(c.status), "The file was not changed."), c.window_unchanged);
  }
  EXPECT_TRUE(Has(TerminalMessage(history_of_level, Access::Writes), kPath));
  for (const CodeWords& c : EveryCode()) {
    if (!c.terminal || telling.count(c.status.code)) continue;
    EXPECT_EQ(TerminalMessage(c.status, Access::ReadOnly),
              TerminalMessage(c.status, Access::Writes))
        << CodeName(c.status.code);
  }
}

TEST(FailureWords, EachFrontEndsWording) {
  EXPECT_EQ(WindowMessage(With(LevelCode::Tr4Level, "", "", 34)),
            "D:\\levels\\city.trc is a Tomb Raider IV level: it keeps other data where a TRC "
            "level keeps the Lara type and weather, so they can't be saved. The file was not "
            "changed.");
  EXPECT_EQ(TerminalMessage(With(LevelCode::CutShort, "", "texture block 2", 30),
                            Access::ReadOnly),
            "D:\\levels\\city.trc is cut short: it ends at byte 30, inside texture block 2");
  EXPECT_EQ(BriefReason(AfterWriting(With(LevelCode::WriteFailed, "Disk full"))),
            "can't be written: Disk full; it may hold the new values");
}

}  // namespace
}  // namespace ornivale
