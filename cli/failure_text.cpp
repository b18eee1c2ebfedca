#include "cli/failure_text.h"

#include "cli/level_arguments.h"

namespace ornivale::cli {
namespace {

// The bytes may have gone out before the failure.
std::string AfterWritingMessage(const LevelStatus& status) {
  const std::string what =
      status.code == LevelCode::Changed
          ? status.path + " changed on disk while it was being set (" +
                status.reason + ")"
          : "setting " + status.path + " may not have finished: " + status.reason;
  return what + "; it may now hold the new values";
}

}  // namespace

std::string TerminalMessage(const LevelStatus& status, Access access) {
  if (status.may_be_written) return AfterWritingMessage(status);
  const std::string& path = status.path;
  const std::string left_alone =
      access == Access::Writes ? "; it was left as it is" : "";
  switch (status.code) {
    case LevelCode::CannotOpen:
      return "can't open " + path + ": " + status.reason;
    case LevelCode::InUse:
      return path + " is in use by another program; close it there and try "
                    "again";
    case LevelCode::NotRegularFile:
      return path + " isn't a regular file (a folder, a pipe or a device)";
    case LevelCode::ReadFailed:
      return "can't read " + path + ": " + status.reason;
    case LevelCode::WrongVersion:
      return path + " isn't a Tomb Raider Chronicles level: it doesn't begin "
                    "with \"TR4\" and a zero byte";
    case LevelCode::RemasteredLevel:
      return path + " is a level of the remastered edition, which ornivale-cli "
                    "doesn't support: it edits the original release's levels" +
             left_alone;
    case LevelCode::CutShort:
      return path + " is cut short: it ends at byte " +
             std::to_string(status.offset) + ", inside " + status.part;
    case LevelCode::TooLarge:
      return path + " is too large to be a level";
    case LevelCode::Tr4Level:
      return path + " is a Tomb Raider IV level, which keeps no Lara type or "
                    "weather" +
             left_alone;
    case LevelCode::Changed:
      return path + " changed on disk while it was being saved; run the "
                    "command again";
    case LevelCode::WriteFailed:
      return "can't write " + path + ": " + status.reason;
    case LevelCode::NotNamedAsLevel:
      return path + " isn't named as a level: the name must end in \".trc\" "
                    "or \".tr4\"";
    case LevelCode::NoLevelFound:
      return status.part == kPatternPart ? "no level matches " + path
                                         : path + " holds no .trc level";
    case LevelCode::Ok:
    case LevelCode::NothingLoaded:
    case LevelCode::LoadFailed:
    case LevelCode::NotLoadedLevel:
      break;  // the window's alone
  }
  return path + ": " + CodeName(status.code);
}

}  // namespace ornivale::cli
