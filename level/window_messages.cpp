#include "level/window_messages.h"

namespace ornivale {
namespace {

// The bytes may have gone out before the failure: the level may hold the
// new values, and only a new load tells.
std::string AfterWritingMessage(const LevelStatus& status) {
  const std::string what =
      status.code == LevelCode::Changed
          ? status.path + " changed on disk while it was being saved: " +
                status.reason
          : "Saving " + status.path + " may not have finished: " + status.reason;
  return what + ". The level may now hold the new values; load it again to "
                "see what it holds.";
}

}  // namespace

std::string WindowMessage(const LevelStatus& status) {
  if (status.may_be_written) return AfterWritingMessage(status);
  const std::string& path = status.path;
  switch (status.code) {
    case LevelCode::Ok:
      return {};
    case LevelCode::CannotOpen:
      return "Can't open " + path + ": " + status.reason;
    case LevelCode::InUse:
      return path + " is being used by another program. Close it there, then "
                    "try again.";
    case LevelCode::NotRegularFile:
      return path + " isn't a level file: it is a folder, a device or a pipe.";
    case LevelCode::ReadFailed:
      return "Can't read " + path + ": " + status.reason;
    case LevelCode::WrongVersion:
    case LevelCode::RemasteredLevel:  // to the window, one more wrong version
      return path + " isn't a valid Tomb Raider Chronicles Level";
    case LevelCode::CutShort:
      return path + " isn't a complete level: it ends inside " + status.part +
             ".";
    case LevelCode::TooLarge:
      return path + " is too large to be a level.";
    case LevelCode::Tr4Level:
      // Told by the bytes, the file was opened: say it is intact.
      return path +
             " is a Tomb Raider IV level: it keeps other data where a TRC "
             "level keeps the Lara type and weather, so they can't be saved." +
             (status.offset >= 0 ? " The file was not changed." : "");
    case LevelCode::Changed:
      return path + " has changed since it was loaded. Load it again before "
                    "saving.";
    case LevelCode::WriteFailed:
      return "Can't write " + path + ": " + status.reason;
    case LevelCode::NotNamedAsLevel:
      return path + " isn't named as a level: the name must end in \".trc\" "
                    "or \".tr4\".";
    case LevelCode::NothingLoaded:
      return "There is no loaded level to save. Load a level first.";
    case LevelCode::LoadFailed:
      return path + " couldn't be loaded, so it can't be saved.";
    case LevelCode::NotLoadedLevel:
      return path + " isn't the loaded level. Load it before saving.";
    case LevelCode::NoLevelFound:
      break;  // ornivale-cli's alone
  }
  return path + ": " + CodeName(status.code);
}

}  // namespace ornivale
