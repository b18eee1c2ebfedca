#include "level/level_rules.h"

#include "level/level_identity.h"
#include "level/level_names.h"

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

LevelStatus CheckUndo(const LevelState& now, const LevelEdit& edit) {
  const LevelScan& scan = now.scan;
  if (edit.change.HeldBy(scan)) return {};
  if (edit.flags_offset && *edit.flags_offset != scan.flags_offset) {
    return ChangedSince(now.path, "its values moved since Ornivale changed it: it was built again");
  }
  if (edit.made_to) {
    const LevelIdentity identity = IdentityOf(now);
    if (identity.volume != edit.made_to->volume || identity.index != edit.made_to->index) {
      return ChangedSince(now.path, "another file is at its path than the one Ornivale changed");
    }
    if (!identity.SameBuild(*edit.made_to)) {
      return ChangedSince(now.path, "it was built again since Ornivale changed it");
    }
  }
  if (edit.must_hold.empty()) return {};
  for (const FlagChange& held : edit.must_hold) {
    if (held.HeldBy(scan)) return {};
  }
  if (edit.held_before && edit.made_to && edit.held_before->HeldBy(scan) &&
      now.stamp.modified == edit.made_to->modified) {
    return {};
  }
  return ChangedSince(now.path, edit.made_to
                                   ? "its values changed since Ornivale last wrote them, "
                                     "and the history holds no later change: another "
                                     "program changed them, or Ornivale did with the "
                                     "history off"
                                   : "it no longer holds what the change undone wrote");
}

LevelStatus CheckBeforeWriting(const LevelState& now, const LevelEdit& edit) {
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
  const LevelStatus undo = CheckUndo(now, edit);
  if (!undo.ok()) return undo;
  return CheckWritable(scan, now.path);
}

}  // namespace ornivale::rules
