#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "level/edit/level_access.h"
#include "level/format/level_state.h"
#include "level/history/history.h"
#include "level/history/records.h"
#include "level/ports/disk.h"
#include "level/window_services.h"

namespace ornivale {

// The window's level state: one instance lives as long as the program.
class Level4 {
 public:
  // Reads and writes the operating system's files, and keeps the history
  // where History::Locate finds it when the program starts.
  Level4();
  // Reads and writes through `disk` instead (tests use it to make files
  // fail); `disk` must outlive this.
  explicit Level4(Disk& disk);

  // Checks the level at `path`, finds its flag pair and shows the two flags
  // as the selections of c2 and c1, logging each stage. Never throws: every
  // failure is shown as one message titled "Error".
  void OpenLevel(const std::string& path, WindowServices& window);

  // Position (the first byte is 1) of the Lara type of the last level whose
  // scan reached the flag pair; 0 until one did.
  int32_t FlagsPos() const { return flags_pos_; }
  // 5 after a name ending in ".TR4", 6 after ".TRC", 0 before either.
  int32_t LevelKind() const { return level_kind_; }
  // The level of the last OpenLevel, if that scan reached the flag pair, as
  // it was loaded or as the last save of it left it.
  const std::optional<LevelState>& LastScan() const { return last_scan_; }
  // How the last load or save ended: ok, or the failure that its "Error"
  // box showed.
  const LevelStatus& LastStatus() const { return last_status_; }

  // Whether ornivale-cli restore would give the loaded level, as loaded,
  // the values it held before Ornivale first changed it.
  bool HasRecordedChanges();
  // Puts those values into c2 and c1, for Save to write as any save; says
  // so where a value has no entry in its list, and where the history can't
  // be read.
  void RestoreOriginalValues(WindowServices& window);

  Disk& disk() const { return disk_; }
  const History& history() const { return history_; }
  // A save of the loaded level: what it wrote is now what was loaded, so
  // the next save needs no new load.
  void Saved(LevelState state);
  // Shows `status` in the window's one "Error" box, or records a success.
  void Report(const LevelStatus& status, WindowServices& window);

 private:
  void Show(LevelState state, WindowServices& window);
  // What restore would write to the loaded level, as it was loaded (every
  // value): none when nothing is loaded or recorded, or the undo's rule
  // refuses it.
  LevelStatus RestoreOfLoaded(std::optional<FlagChange>* original);

  Disk& disk_;
  const History history_;
  int32_t flags_pos_ = 0;
  int32_t level_kind_ = 0;
  std::optional<LevelState> last_scan_;
  LevelStatus last_status_;
};

}  // namespace ornivale
