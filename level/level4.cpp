#include "level/level4.h"

#include "level/edit/level_access.h"
#include "level/edit/level_rules.h"
#include "level/edit/undo_plans.h"
#include "level/format/flag_vocabulary.h"
#include "level/format/level_names.h"
#include "level/history/history.h"
#include "level/words/failure_words.h"

namespace ornivale {

Level4::Level4() : Level4(Disk::Default()) {}

Level4::Level4(Disk& disk) : disk_(disk), history_(History::Locate(disk)) {}

void Level4::OpenLevel(const std::string& path, WindowServices& window) {
  last_scan_.reset();
  window.AddLog("Opening " + path + "...");
  Show(InspectLevel(path, NameRule::AnyName, disk_), window);
}

// The log and the level state follow the stages of the walk: the version,
// then the kind that the name sets, then the flag pair. Nothing changes
// before the whole pair has been read.
void Level4::Show(LevelState state, WindowServices& window) {
  const LevelScan& scan = state.scan;
  if (!scan.VersionMatches()) return Report(state.status, window);
  window.AddLog("File opened");
  if (const auto kind = KindOfName(state.path)) level_kind_ = *kind;
  window.AddLog("Reading textures...");
  last_status_ = {};
  if (level_kind_ != kKindTr4 && level_kind_ != kKindTrc) return;
  if (!state.ok()) return Report(state.status, window);

  flags_pos_ = static_cast<int32_t>(scan.flags_offset + 1);
  // A stored value without an entry leaves its list with no selection, so
  // that a save never writes a value shown for an earlier level.
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    window.SetFlagSelection(
        kFlags[i].list, kFlags[i].entries.PositionOf(scan.Value(i)).value_or(-1));
  }
  last_scan_ = std::move(state);
  window.AddLog("Done");
}

LevelStatus Level4::RestoreOfLoaded(std::optional<FlagChange>* original) {
  original->reset();
  if (!last_scan_) return {};
  std::vector<std::optional<LevelEdit>> edits;
  int unreadable = 0;
  const LevelStatus status =
      RestoreEdits({last_scan_->path}, false, history_, disk_, &edits, &unreadable);
  // The rule restore follows, asked of the level as it was loaded: Save
  // writes only while the level is still that.
  const auto& edit = edits.front();
  FlagChange change;
  if (edit && rules::CheckUndo(*last_scan_, *edit, &change).ok()) *original = change;
  return status;
}

bool Level4::HasRecordedChanges() {
  std::optional<FlagChange> original;
  return RestoreOfLoaded(&original).ok() && original;
}

void Level4::RestoreOriginalValues(WindowServices& window) {
  std::optional<FlagChange> restore;
  const LevelStatus read = RestoreOfLoaded(&restore);
  if (!read.ok()) return Report(read, window);
  if (!restore) return;
  FlagValues original{};
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    original[i] = static_cast<int16_t>(*restore->values[i]);
  }
  std::vector<std::string> without_entries;
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    const auto position = kFlags[i].entries.PositionOf(original[i]);
    window.SetFlagSelection(kFlags[i].list, position.value_or(-1));
    if (!position) {
      without_entries.push_back(std::string(kFlags[i].name) + " " +
                                std::to_string(original[i]));
    }
  }
  if (without_entries.empty()) return;
  const bool one = without_entries.size() == 1;
  std::string held = without_entries[0];
  for (std::size_t i = 1; i < without_entries.size(); ++i) {
    held += (i + 1 == without_entries.size() ? " and " : ", ") + without_entries[i];
  }
  window.ShowMessage(
      last_scan_->path + " held " + held + " before Ornivale first changed it, " +
          (one ? "which its list has no entry for" : "which their lists have no entries for") +
          ": Save keeps what the level holds now. To give back every value, run "
          "ornivale-cli restore \"" + last_scan_->path + "\"",
      "Restore original values", MessageIcon::Information);
}

void Level4::Saved(LevelState state) {
  last_scan_ = std::move(state);
  last_status_ = {};
}

void Level4::Report(const LevelStatus& status, WindowServices& window) {
  last_status_ = status;
  if (status.ok()) return;
  window.ShowMessage(WindowMessage(status), "Error", MessageIcon::Critical);
}

}  // namespace ornivale
