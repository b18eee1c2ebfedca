#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "level/history/records.h"
#include "level/ports/disk.h"
#include "level/ports/level_status.h"

namespace ornivale {

// The changes recorded of each level, under its disk.PathKey(full path),
// oldest first: its undo chain, the changes since the chain last broke, for
// what came before belongs to another file, another build or another
// program's write at that path. Each change holds how it left the level
// where the history tells it. A change whose write the next one shows never
// happened is left out, and so are each change's time and program, which no
// undo needs.
using ChangesByLevel = std::map<std::string, std::vector<ChangeDetails>>;

// Which levels a reading of the history is about, by the full path that
// its lines give: empty for all of them.
using HistoryScope = std::function<bool(const std::string& full_path)>;

// What a compaction kept of the history and what it left out.
struct Compaction {
  int64_t lines_before = 0;
  int64_t lines_kept = 0;
  int64_t lines_newer = 0;  // of the kept, those a later version wrote
  int64_t bytes_before = 0;
  int64_t bytes_kept = 0;
};

// The history: one line of JSON for each change Ornivale made to a level
// (records.h), appended before the change is written, so that the values a
// level held can be given back. A front end locates it once and hands it to
// every edit (EditRun) and every reading.
class History {
 public:
  // The file that ORNIVALE_HISTORY names by its absolute path; no history
  // where it is "off" in any case; where it is unset or empty, the system's
  // own place for it (Disk::DefaultHistoryPath). status() says why there is
  // none to read or write: BadHistorySetting for any other value, or the
  // system's failure to name its place.
  static History Locate(Disk& disk);
  // The history kept in the file at the absolute `path`.
  History(Disk& disk, std::string path) : disk_(&disk), path_(std::move(path)) {}
  // No history: nothing is recorded or read.
  static History Off(Disk& disk);

  bool off() const { return off_; }
  const std::string& path() const { return path_; }
  const LevelStatus& status() const { return status_; }

  // Appends `lines`, each with its end, in one append synced before it
  // returns (Disk::Append); nothing where the history is off. A compaction
  // under way is waited for, up to minutes, where `waits_for_compaction`,
  // until `stop` says otherwise. Otherwise HistoryNotWritten with the
  // reason: a file that is not UTF-8 (NotUtf8) is never appended to.
  LevelStatus Append(const std::string& lines, bool waits_for_compaction = true,
                     const std::function<bool()>& stop = {}) const;
  // What Append would meet as far as the system tells without writing:
  // what a dry run tells of the history.
  LevelStatus CheckAppendable() const;

  // Each line the history keeps of the levels in `scope`, oldest first, to
  // `each`: a change, or how a change left its level (Record::left); a
  // history not written yet, or off, keeps none. A line it
  // can't read (a write cut short by a crash, a hand's edit, a line over
  // 1 MiB, a record no Ornivale wrote) is passed over and counted in
  // `unreadable`, and one that a later version of it wrote (ParseRecord's
  // `newer`) in `newer`; a line about another level is passed over
  // unparsed where its start names that level plainly, so a long history
  // is read quickly for a few levels. HistoryNotRead, with the system's
  // reason, when the file can't be read.
  LevelStatus Read(const std::function<void(Record& record)>& each, int* unreadable,
                   const HistoryScope& scope = {}, int* newer = nullptr) const;
  // The undo chains of the levels in `scope`.
  LevelStatus Changes(ChangesByLevel* changes, int* unreadable,
                      const HistoryScope& scope = {}) const;
  // Rewrites the history, under the hold that its appends take, as a new
  // file synced and renamed over it, keeping each level's undo chain (what
  // every restore and restore --last needs) line for line, and the lines a
  // later version wrote, which it can't judge, and nothing else.
  LevelStatus Compact(Compaction* compaction) const;

 private:
  explicit History(Disk& disk) : disk_(&disk) {}
  LevelStatus Failed(LevelCode code, const LevelStatus& why) const;
  LevelStatus CheckEncoding() const;
  LevelStatus Unusable(LevelCode code) const;

  Disk* disk_;
  bool off_ = false;
  std::string path_;
  LevelStatus status_;
};

// HistoryNotRead of the history file at `history`, with the system's reason.
LevelStatus HistoryNotRead(const std::string& history, const std::string& reason);

// `milliseconds` after 1970-01-01 00:00 UTC as "2026-12-09T05:10:00.123Z".
std::string UtcTime(int64_t milliseconds);

}  // namespace ornivale
