#pragma once

#include <cstdint>
#include <string>

namespace ornivale {

// What went wrong with a level, as a value: each front end turns it into the
// one message its user sees, from the table in failure_words.cpp, which
// follows this order and ends with the last code here.
enum class LevelCode {
  Ok,
  // Reaching the file.
  CannotOpen,      // reason: the operating system's words
  InUse,           // another program holds it open and shares it no further
  NotRegularFile,  // a folder, a pipe or a device
  ReadFailed,      // reason
  // What the file holds.
  WrongVersion,  // the first four bytes are not "TR4" and a zero byte
  RemasteredLevel,  // they are "TRX5" or "TRX4": a remastered edition's level
  CutShort,      // part: what the file ends inside; offset: where it ends
  TooLarge,      // the flag pair lies past what a 32-bit position reaches
  Tr4Level,      // offset: where its level data begins, -1 when told by name
  NoPadding,     // offset: a byte that is not zero where a TRC level keeps
                 // zero padding after its flags
  NegativeSize,  // part: the texture block whose packed size is negative
  Changed,       // the file is not, or no longer, the level that was read
  ChangedSince,  // it no longer holds what Ornivale last wrote there, or
                 // what the set being undone wrote: another program changed
                 // it since
  // Writing.
  WriteFailed,  // reason; a failed sync or close is one too
  CannotCheck,  // reason: the look at the path after the write failed
  HistoryNotWritten,  // part: the history file; reason: why. The level was
                      // not written, for its change could not be recorded.
  HistoryNotRead,     // part: the history file; reason: why
  HistoryNotCompacted,  // part: the history file; reason: why. It was left
                        // as it was.
  // Why the history's file can't be used, only ever the reason of one of
  // the three above (path: the history's file).
  NotUtf8,         // it is UTF-16, which a line appended in UTF-8 would break
  BeingCompacted,  // a compaction holds it
  // Refusals before any file is opened.
  NotNamedAsLevel,  // the name ends in neither ".trc" nor ".tr4"
  NoLevelFound,     // a folder or a pattern given for levels names none
  BadInput,  // path: the input set --from reads; offset: the line (0 for
             // none at all); reason: what is wrong with it
  BadHistorySetting,  // ORNIVALE_HISTORY is neither off nor an absolute
                      // path; part: its value; path: the level it stopped,
                      // if any
  NothingLoaded,    // the window: no scan has reached a flag pair
  LoadFailed,       // the window: the last picked file failed its scan
  NotLoadedLevel,   // the window: the path is not the scanned level's
};

struct LevelStatus {
  LevelCode code = LevelCode::Ok;
  std::string path;
  std::string part;
  int64_t offset = -1;
  std::string reason;
  // Set where the failure came after bytes went out (a failed sync, close
  // or check of what was written): the level may hold the new values.
  bool may_be_written = false;
  // Set where an open failed for the program's limit on open files: it
  // may work once fewer are open.
  bool too_many_open = false;
  // Set where an edit's open was refused (InUse) because this program holds
  // that file already, by another name: it may work once that edit is done.
  bool held_here = false;

  bool ok() const { return code == LevelCode::Ok; }
};

inline LevelStatus Failure(LevelCode code, std::string path,
                           std::string reason = {}) {
  LevelStatus status;
  status.code = code;
  status.path = std::move(path);
  status.reason = std::move(reason);
  return status;
}

}  // namespace ornivale
