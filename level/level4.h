#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "level/level_file.h"
#include "level/level_state.h"
#include "level/window_services.h"

namespace ornivale {

// The window's level state: one instance lives as long as the program.
class Level4 {
 public:
  // Reads and writes the operating system's files.
  Level4();
  // Reads and writes through `opener` instead (tests use it to make files
  // fail).
  explicit Level4(LevelFileOpener opener);

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

  const LevelFileOpener& Opener() const { return opener_; }
  // A save of the loaded level: what it wrote is now what was loaded, so
  // the next save needs no new load.
  void Saved(LevelState state) { last_scan_ = std::move(state); }

 private:
  void Show(LevelState state, WindowServices& window);

  LevelFileOpener opener_;
  int32_t flags_pos_ = 0;
  int32_t level_kind_ = 0;
  std::optional<LevelState> last_scan_;
};

// Shows `status` in the window's one "Error" box.
void ShowFailure(const LevelStatus& status, WindowServices& window);

}  // namespace ornivale
