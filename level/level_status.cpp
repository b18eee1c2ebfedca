#include "level/level_status.h"

namespace ornivale {

const char* CodeName(LevelCode code) {
  switch (code) {
    case LevelCode::Ok: return "ok";
    case LevelCode::CannotOpen: return "cannot-open";
    case LevelCode::InUse: return "in-use";
    case LevelCode::NotRegularFile: return "not-a-regular-file";
    case LevelCode::ReadFailed: return "read-failed";
    case LevelCode::WrongVersion: return "wrong-version";
    case LevelCode::RemasteredLevel: return "remastered-level";
    case LevelCode::CutShort: return "cut-short";
    case LevelCode::TooLarge: return "too-large";
    case LevelCode::Tr4Level: return "tr4-level";
    case LevelCode::Changed: return "changed";
    case LevelCode::WriteFailed: return "write-failed";
    case LevelCode::NotNamedAsLevel: return "not-named-as-level";
    case LevelCode::NoLevelFound: return "no-level-found";
    case LevelCode::NothingLoaded: return "nothing-loaded";
    case LevelCode::LoadFailed: return "load-failed";
    case LevelCode::NotLoadedLevel: return "not-the-loaded-level";
  }
  return "unknown";
}

}  // namespace ornivale
