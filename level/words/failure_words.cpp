#include "level/words/failure_words.h"

#include <iterator>

namespace ornivale {
namespace {

using S = LevelStatus;

// What each front end says of a code. A failure that came after bytes went
// out (may_be_written) gets the after-writing words of its code, then the
// front end's sentence that the level may hold the new values.
struct Words {
  LevelCode code;
  const char* name;
  // A few words for a list of levels; one ending in ':' is followed by the
  // failure's reason. Null: no level's row ever meets it.
  const char* brief;
  std::string (*window)(const S&);            // null: the window never meets it
  std::string (*terminal)(const S&, Access);  // null: ornivale-cli never meets it
  // The brief of a failure after bytes went out, where it differs.
  const char* brief_after_writing = nullptr;
};

const char kWindowMayHold[] =
    ". The level may now hold the new values; load it again to see what it "
    "holds.";
const char kTerminalMayHold[] = "; it may now hold the new values";
const char kBriefMayHold[] = "; it may hold the new values";

// A refusal of a file that was opened: it is intact.
std::string WindowUnchanged(const S& s) {
  return s.offset >= 0 ? " The file was not changed." : "";
}
std::string LeftAlone(Access access) {
  return access == Access::Writes ? "; it was left as it is" : "";
}

std::string SavingUnfinished(const S& s) {
  return "Saving " + s.path + " may not have finished: " + s.reason;
}
std::string SettingUnfinished(const S& s) {
  return "setting " + s.path + " may not have finished: " + s.reason;
}

constexpr Words kWords[] = {
    {LevelCode::Ok, "ok", nullptr, nullptr, nullptr},
    {LevelCode::CannotOpen, "cannot-open", "can't be opened:",
     [](const S& s) { return "Can't open " + s.path + ": " + s.reason; },
     [](const S& s, Access) { return "can't open " + s.path + ": " + s.reason; }},
    {LevelCode::InUse, "in-use", "in use by another program",
     [](const S& s) {
       return s.path + " is being used by another program. Close it there, "
                       "then try again.";
     },
     [](const S& s, Access) {
       return s.path + " is in use by another program; close it there and "
                       "try again";
     }},
    {LevelCode::NotRegularFile, "not-a-regular-file", "not a regular file",
     [](const S& s) {
       return s.path + " isn't a level file: it is a folder, a device or a "
                       "pipe.";
     },
     [](const S& s, Access) {
       return s.path + " isn't a regular file (a folder, a pipe or a device)";
     }},
    {LevelCode::ReadFailed, "read-failed", "can't be read:",
     [](const S& s) {
       return s.may_be_written ? SavingUnfinished(s)
                               : "Can't read " + s.path + ": " + s.reason;
     },
     [](const S& s, Access) {
       return s.may_be_written ? SettingUnfinished(s)
                               : "can't read " + s.path + ": " + s.reason;
     }},
    {LevelCode::WrongVersion, "wrong-version", "not a Tomb Raider Chronicles level",
     [](const S& s) {
       return s.path + " isn't a valid Tomb Raider Chronicles Level";
     },
     [](const S& s, Access) {
       return s.path + " isn't a Tomb Raider Chronicles level: it doesn't "
                       "begin with \"TR4\" and a zero byte";
     }},
    {LevelCode::RemasteredLevel, "remastered-level", "a remastered edition's level",
     // To the window, one more wrong version.
     [](const S& s) {
       return s.path + " isn't a valid Tomb Raider Chronicles Level";
     },
     [](const S& s, Access access) {
       return s.path + " is a level of the remastered edition, which "
                       "ornivale-cli doesn't support: it edits the original "
                       "release's levels" +
              LeftAlone(access);
     }},
    {LevelCode::CutShort, "cut-short", "cut short",
     [](const S& s) {
       return s.path + " isn't a complete level: it ends inside " + s.part +
              ".";
     },
     [](const S& s, Access) {
       return s.path + " is cut short: it ends at byte " +
              std::to_string(s.offset) + ", inside " + s.part;
     }},
    {LevelCode::TooLarge, "too-large", "too large to be a level",
     [](const S& s) { return s.path + " is too large to be a level."; },
     [](const S& s, Access) { return s.path + " is too large to be a level"; }},
    {LevelCode::Tr4Level, "tr4-level", "a Tomb Raider IV level",
     [](const S& s) {
       return s.path + " is a Tomb Raider IV level: it keeps other data where "
                       "a TRC level keeps the Lara type and weather, so they "
                       "can't be saved." +
              WindowUnchanged(s);
     },
     [](const S& s, Access access) {
       return s.path + " is a Tomb Raider IV level, which keeps no Lara type "
                       "or weather" +
              LeftAlone(access);
     }},
    {LevelCode::NoPadding, "no-padding", "other data after its Lara type and weather",
     [](const S& s) {
       return s.path + " isn't a TRC level whose Lara type and weather can be "
                       "saved: it holds other data where a TRC level keeps "
                       "zero bytes after them, as a Tomb Raider IV level cut "
                       "short does." +
              WindowUnchanged(s);
     },
     [](const S& s, Access access) {
       return s.path + " holds other data at byte " + std::to_string(s.offset) +
              ", where a TRC level keeps zero bytes after its Lara type and "
              "weather: it is no TRC level, or a Tomb Raider IV level cut "
              "short" +
              LeftAlone(access);
     }},
    {LevelCode::NegativeSize, "negative-size", "a block size reads as negative",
     [](const S& s) {
       return s.path + " isn't a level whose Lara type and weather can be "
                       "saved: the size of " +
              s.part + " reads as negative." + WindowUnchanged(s);
     },
     [](const S& s, Access access) {
       return s.path + " isn't a level that can be set: the size of " +
              s.part + " reads as negative" + LeftAlone(access);
     }},
    {LevelCode::Changed, "changed", "changed since it was shown",
     [](const S& s) {
       return s.may_be_written
                  ? s.path + " changed on disk while it was being saved: " +
                        s.reason
                  : s.path + " has changed since it was loaded. Load it "
                             "again before saving.";
     },
     [](const S& s, Access) {
       return s.may_be_written
                  ? s.path + " changed on disk while it was being set (" +
                        s.reason + ")"
                  : s.path + " changed on disk while it was being saved; run "
                             "the command again";
     },
     "changed on disk while it was being saved"},
    {LevelCode::ChangedSince, "changed-since", "not as Ornivale left it", nullptr,
     [](const S& s, Access) {
       return s.path + " is not as Ornivale left it: " +
              (s.reason.empty() ? std::string("it changed since") : s.reason) +
              "; it was left as it is";
     }},
    {LevelCode::WriteFailed, "write-failed", "can't be written:",
     [](const S& s) {
       return s.may_be_written ? SavingUnfinished(s)
                               : "Can't write " + s.path + ": " + s.reason;
     },
     [](const S& s, Access) {
       return s.may_be_written ? SettingUnfinished(s)
                               : "can't write " + s.path + ": " + s.reason;
     }},
    {LevelCode::CannotCheck, "cannot-check", "can't be checked after saving:",
     [](const S& s) {
       return "Can't check " + s.path + " after saving it: " + s.reason;
     },
     [](const S& s, Access) {
       return "can't check " + s.path + " after setting it: " + s.reason;
     }},
    {LevelCode::HistoryNotWritten, "history-not-written",
     "its change can't be recorded in the history:",
     [](const S& s) {
       return "The change to " + s.path + " can't be recorded in the history "
              "file " + s.part + ": " + s.reason + ". The level was not "
              "changed. To save without keeping a history, set the "
              "environment variable ORNIVALE_HISTORY to off.";
     },
     [](const S& s, Access) {
       return "can't record the change to " + s.path + " in the history file " +
              s.part + ": " + s.reason + "; it was left as it is "
              "(ORNIVALE_HISTORY=off turns the history off)";
     }},
    {LevelCode::HistoryNotRead, "history-not-read", "the history can't be read:",
     [](const S& s) {
       return "Can't read the history file " + s.part + ": " + s.reason + ".";
     },
     [](const S& s, Access access) {
       return "can't read the history file " + s.part + ": " + s.reason +
              (s.path != s.part && access == Access::Writes
                   ? "; " + s.path + " was left as it is"
                   : "");
     }},
    {LevelCode::HistoryNotCompacted, "history-not-compacted", nullptr, nullptr,
     [](const S& s, Access) {
       return "can't compact the history file " + s.part + ": " + s.reason +
              "; it was left as it was";
     }},
    {LevelCode::NotUtf8, "not-utf-8", nullptr, nullptr, nullptr},
    {LevelCode::BeingCompacted, "being-compacted", nullptr, nullptr, nullptr},
    {LevelCode::NotNamedAsLevel, "not-named-as-level", "not named as a level",
     [](const S& s) {
       return s.path + " isn't named as a level: the name must end in "
                       "\".trc\" or \".tr4\".";
     },
     [](const S& s, Access) {
       return s.path + " isn't named as a level: the name must end in "
                       "\".trc\" or \".tr4\"";
     }},
    {LevelCode::NoLevelFound, "no-level-found", nullptr, nullptr,
     // part: what the LEVEL given was, "folder" or "pattern".
     [](const S& s, Access) {
       return s.part == "pattern" ? "no level matches " + s.path
                                  : s.path + " holds no .trc level";
     }},
    {LevelCode::BadInput, "bad-input", nullptr, nullptr,
     [](const S& s, Access) {
       return (s.offset > 0 ? "line " + std::to_string(s.offset) + " of " : std::string()) +
              s.path + " " + s.reason + "; no level was set";
     }},
    {LevelCode::BadHistorySetting, "bad-history-setting",
     "ORNIVALE_HISTORY is neither off nor a full path",
     [](const S& s) {
       return "The environment variable ORNIVALE_HISTORY is \"" + s.part +
              "\": it must be the history file's full path, or off." +
              (s.path.empty() ? "" : " " + s.path + " was not changed.");
     },
     [](const S& s, Access) {
       return "ORNIVALE_HISTORY is \"" + s.part +
              "\": it must be off or the history file's absolute path";
     }},
    {LevelCode::NothingLoaded, "nothing-loaded", nullptr,
     [](const S&) {
       return std::string(
           "There is no loaded level to save. Load a level first.");
     },
     nullptr},
    {LevelCode::LoadFailed, "load-failed", nullptr,
     [](const S& s) {
       return s.path + " couldn't be loaded, so it can't be saved.";
     },
     nullptr},
    {LevelCode::NotLoadedLevel, "not-the-loaded-level", nullptr,
     [](const S& s) {
       return s.path + " isn't the loaded level. Load it before saving.";
     },
     nullptr},
};

// Each code's row is found by its number: the table must follow the
// enumeration, row for row.
constexpr bool EveryCodeInItsRow() {
  for (std::size_t i = 0; i < std::size(kWords); ++i) {
    if (kWords[i].code != static_cast<LevelCode>(i)) return false;
  }
  return kWords[std::size(kWords) - 1].code == LevelCode::NotLoadedLevel;
}
static_assert(EveryCodeInItsRow(), "one row for each LevelCode, in order");

const Words& WordsOf(LevelCode code) {
  return kWords[static_cast<std::size_t>(code)];
}

// What the failures that come without a reason of the system's say of the
// file they are about.
constexpr struct {
  LevelCode code;
  std::string (*reason)(const S&);
} kOwnReasons[] = {
    {LevelCode::InUse, [](const S&) { return std::string("another program is using it"); }},
    {LevelCode::NotRegularFile,
     [](const S&) {
       return std::string("it is a folder, a pipe or a device, not a regular file");
     }},
    {LevelCode::NotUtf8,
     [](const S& s) {
       return "it is UTF-16 (as Windows PowerShell 5.1's > and Out-File write it), where "
              "Ornivale writes UTF-8; convert it back, in PowerShell with (Get-Content '" +
              s.path + "') | Set-Content -Encoding UTF8 '" + s.path +
              "', or move it away to start a new one";
     }},
    {LevelCode::BeingCompacted,
     [](const S&) {
       return std::string(
           "ornivale-cli history --compact is compacting it; try again once that is done");
     }},
};

}  // namespace

std::string ReasonOf(const LevelStatus& status) {
  if (!status.reason.empty()) return status.reason;
  for (const auto& own : kOwnReasons) {
    if (own.code == status.code) return own.reason(status);
  }
  return CodeName(status.code);
}

const char* CodeName(LevelCode code) { return WordsOf(code).name; }

std::string WindowMessage(const LevelStatus& status) {
  const Words& words = WordsOf(status.code);
  if (!words.window) return status.path + ": " + words.name;
  return words.window(status) + (status.may_be_written ? kWindowMayHold : "");
}

std::string BriefReason(const LevelStatus& status) {
  const Words& words = WordsOf(status.code);
  if (!words.brief) return words.name;
  std::string brief = status.may_be_written && words.brief_after_writing
                          ? words.brief_after_writing
                          : words.brief;
  if (brief.back() == ':') brief += " " + ReasonOf(status);
  return brief + (status.may_be_written ? kBriefMayHold : "");
}

std::string TerminalMessage(const LevelStatus& status, Access access) {
  const Words& words = WordsOf(status.code);
  if (!words.terminal) return status.path + ": " + words.name;
  return words.terminal(status, access) +
         (status.may_be_written ? kTerminalMayHold : "");
}

std::vector<LevelCode> TerminalCodes() {
  std::vector<LevelCode> codes;
  for (const Words& words : kWords) {
    if (words.terminal) codes.push_back(words.code);
  }
  return codes;
}

}  // namespace ornivale
