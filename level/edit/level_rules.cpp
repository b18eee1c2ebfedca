#include "level/edit/level_rules.h"

#include "level/format/level_identity.h"
#include "level/format/level_names.h"

namespace ornivale::rules {
namespace {

constexpr const char* kBlocks[] = {"texture block 1", "texture block 2",
                                   "texture block 3"};

LevelStatus At(LevelCode code, const std::string& path, int64_t offset,
               std::string part = {}) {
  LevelStatus status = Failure(code, path);
  status.offset = offset;
  status.part = std::move(part);
  return status;
}

// Whether the file, as just opened and scanned, is still the level that
// was loaded: anything another program did since then shows in one of
// these.
bool StillLoaded(const LevelState& now, const LevelState& loaded) {
  const LevelScan& a = now.scan;
  const LevelScan& b = loaded.scan;
  if (!a.status.ok() || now.stamp != loaded.stamp ||
      !SameHeader(a.header, b.header) || a.flags_offset != b.flags_offset) {
    return false;
  }
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    if (a.flags[i].Raw != b.flags[i].Raw) return false;
  }
  return true;
}

LevelStatus ChangedSince(const std::string& path, const char* why) {
  return Failure(LevelCode::ChangedSince, path, why);
}

// Whether the level as `now` read it is in `state`.
bool IsIn(const LevelState& now, const KnownState& state) {
  if (!state.holds.HeldBy(now.scan)) return false;
  if (!state.file) return true;
  const LevelIdentity identity = IdentityOf(now);
  return state.exact ? identity.Untouched(*state.file) : identity.SameBuild(*state.file);
}

// Why the level as `now` read it is not in `state`, the one Ornivale last
// left it in.
const char* WhyNotIn(const LevelState& now, const KnownState& state) {
  if (state.file) {
    const LevelIdentity identity = IdentityOf(now);
    if (!identity.SameFile(*state.file) || state.file->BornApart(identity)) {
      return "another file is at its path than the one Ornivale changed";
    }
    if (!identity.SameBuild(*state.file)) return "it was built again since Ornivale changed it";
    if (state.exact && !identity.Untouched(*state.file)) {
      return "it was written since Ornivale changed it";
    }
    return "its values changed since Ornivale last wrote them, and the history holds no "
           "later change: another program changed them, or Ornivale did with the history "
           "off";
  }
  return "it no longer holds what the change undone wrote";
}

}  // namespace

LevelStatus CheckName(const std::string& path, NameRule rule) {
  const auto kind = KindOfFile(path);
  if (kind == kKindTr4) return Failure(LevelCode::Tr4Level, path);
  if (rule == NameRule::TrcNamesOnly && kind != kKindTrc) {
    return Failure(LevelCode::NotNamedAsLevel, path);
  }
  return {};
}

LevelStatus CheckWritable(const LevelScan& scan, const std::string& path) {
  if (scan.HoldsTr4LevelData()) {
    return At(LevelCode::Tr4Level, path, scan.tr4_data_offset);
  }
  if (scan.data_after_flags >= 0) {
    return At(LevelCode::NoPadding, path, scan.data_after_flags);
  }
  if (scan.negative_block >= 0) {
    return At(LevelCode::NegativeSize, path, scan.flags_offset,
              kBlocks[scan.negative_block]);
  }
  return {};
}

LevelStatus CheckUndo(const LevelState& now, const LevelEdit& edit, FlagChange* change) {
  *change = edit.change;
  if (!edit.undo) return {};
  const UndoRule& undo = *edit.undo;
  const bool moved = undo.offset && *undo.offset != now.scan.flags_offset;
  for (const KnownState& state : undo.states) {
    if (!moved && IsIn(now, state)) {
      *change = state.gives;
      return {};
    }
  }
  // Given back already, by whatever means: nothing to write.
  if (edit.change.HeldBy(now.scan)) return {};
  if (moved) {
    return ChangedSince(now.path, "its values moved since Ornivale changed it: it was built again");
  }
  return ChangedSince(now.path, WhyNotIn(now, undo.states.front()));
}

LevelStatus CheckBeforeWriting(const LevelState& now, const LevelEdit& edit,
                               FlagChange* change) {
  const LevelScan& scan = now.scan;
  if (scan.status.code == LevelCode::ReadFailed) return scan.status;
  if (edit.loaded) {
    if (!edit.loaded->ok()) return edit.loaded->status;
    if (!StillLoaded(now, *edit.loaded)) {
      return Failure(LevelCode::Changed, now.path);
    }
  } else if (!scan.status.ok()) {
    return scan.status;
  }
  const LevelStatus undo = CheckUndo(now, edit, change);
  if (!undo.ok()) return undo;
  return CheckWritable(scan, now.path);
}

}  // namespace ornivale::rules
