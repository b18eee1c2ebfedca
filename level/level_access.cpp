#include "level/level_access.h"

#include <algorithm>
#include <array>
#include <memory>

#include "level/level_names.h"

namespace ornivale {
namespace {

constexpr const char* kBlocks[] = {"texture block 1", "texture block 2",
                                   "texture block 3"};

// The name rules, before anything is opened.
LevelStatus CheckName(const std::string& path, NameRule rule) {
  const auto kind = KindOfFile(path);
  if (kind == kKindTr4) return Failure(LevelCode::Tr4Level, path);
  if (rule == NameRule::TrcNamesOnly && kind != kKindTrc) {
    return Failure(LevelCode::NotNamedAsLevel, path);
  }
  return {};
}

LevelStatus At(LevelCode code, const std::string& path, int64_t offset,
               std::string part = {}) {
  LevelStatus status = Failure(code, path);
  status.offset = offset;
  status.part = std::move(part);
  return status;
}

// Why a level that scanned whole must not be written: it would not be a
// TRC level's flags that the bytes land in.
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

// What the edit's own read of the level must find before anything is
// written.
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
  return CheckWritable(scan, now.path);
}

LevelStatus AfterWriting(LevelStatus status) {
  if (status.code == LevelCode::CutShort) {
    status = Failure(LevelCode::Changed, status.path, "it was cut short");
  }
  status.may_be_written = true;
  return status;
}

LevelStatus ChangedWhileWriting(const std::string& path, const char* reason) {
  return AfterWriting(Failure(LevelCode::Changed, path, reason));
}

// The first failure of two stands.
void Keep(LevelStatus& first, LevelStatus next) {
  if (first.ok() && !next.ok()) first = std::move(next);
}

// The flags' bytes as they are to be after the edit: those read, with the
// values given put in their place.
std::array<uint8_t, kFlagBytes> BytesToWrite(const LevelScan& scan,
                                             const FlagChange& change) {
  std::array<uint8_t, kFlagBytes> bytes{};
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    std::copy(scan.flags[i].Raw.begin(), scan.flags[i].Raw.end(),
              bytes.begin() + 2 * i);
    if (change.values[i]) WriteWord(bytes.data() + 2 * i, *change.values[i]);
  }
  return bytes;
}

// One edit of a level that is open for writing, step by step; each step
// returns the first failure.
class Edit {
 public:
  Edit(LevelFile& file, const LevelEdit& edit, EditResult& result)
      : file_(file), edit_(edit), result_(result) {}

  // Reads the level under the edit's hold and checks it.
  LevelStatus Read() {
    LevelState& now = result_.after;
    now.path = file_.path();
    now.stamp = file_.Stamp();
    now.scan = ScanLevel(file_);
    result_.before = now.scan;
    return CheckBeforeWriting(now, edit_);
  }

  // Writes the values given as one run of bytes, from the first value
  // given to the last, then syncs.
  LevelStatus Write() {
    const LevelScan& scan = result_.before;
    bytes_ = BytesToWrite(scan, edit_.change);
    const auto& values = edit_.change.values;
    const std::size_t first = 2 * static_cast<std::size_t>(
        std::find_if(values.begin(), values.end(),
                     [](const auto& value) { return value.has_value(); }) -
        values.begin());
    const std::size_t last = 2 * static_cast<std::size_t>(
        values.rend() -
        std::find_if(values.rbegin(), values.rend(),
                     [](const auto& value) { return value.has_value(); }));
    LevelStatus status = file_.Write(
        scan.flags_offset + static_cast<int64_t>(first), bytes_.data() + first,
        last - first);
    if (!status.ok()) return status;
    status = file_.Sync();
    return status.ok() ? status : AfterWriting(status);
  }

  // Reads the head and the flags again: a level cut short, grown back by
  // the write, or rewritten with its flags elsewhere shows here.
  LevelStatus ReadAgain() {
    LevelScan again = ScanLevel(file_);
    const LevelCode code = again.status.code;
    if (code == LevelCode::ReadFailed || code == LevelCode::CutShort) {
      return AfterWriting(again.status);
    }
    const LevelScan& before = result_.before;
    if (code != LevelCode::Ok || !SameHeader(again.header, before.header) ||
        again.flags_offset != before.flags_offset) {
      return ChangedWhileWriting(file_.path(), "its head changed");
    }
    for (std::size_t i = 0; i < kFlagCount; ++i) {
      if (!std::equal(again.flags[i].Raw.begin(), again.flags[i].Raw.end(),
                      bytes_.begin() + 2 * i)) {
        return ChangedWhileWriting(file_.path(), "it holds other values");
      }
    }
    result_.after.scan = std::move(again);
    return {};
  }

  // After the close: the path must still name the file that was written, at
  // the size it had, or another program moved or cut it meanwhile.
  LevelStatus CheckPath() {
    FileStamp now;
    LevelStatus status = file_.StampOfPath(&now);
    if (!status.ok()) {
      return AfterWriting(
          Failure(LevelCode::CannotCheck, file_.path(), status.reason));
    }
    if (!now.SameFile(file_.Stamp())) {
      return ChangedWhileWriting(file_.path(), "another file is there");
    }
    if (now.size != file_.Stamp().size) {
      return ChangedWhileWriting(file_.path(), "its size changed");
    }
    result_.after.stamp = now;
    return {};
  }

 private:
  LevelFile& file_;
  const LevelEdit& edit_;
  EditResult& result_;
  std::array<uint8_t, kFlagBytes> bytes_{};
};

// A level that can't be opened for writing (read-only, or held by another
// program) may still hold the values already: read it, and only when it
// needs a write is the failure to open it one.
EditResult EditWithoutWriting(const LevelEdit& edit, Disk& disk,
                              const LevelStatus& not_writable) {
  EditResult result;
  std::unique_ptr<LevelFile> file;
  if (disk.Open(edit.path, OpenMode::ReadOnly, &file).ok()) {
    Edit steps(*file, edit, result);
    const bool held = steps.Read().ok() && edit.change.HeldBy(result.before);
    if (held && file->Close().ok()) {
      result.opened = true;
      return result;
    }
  }
  result.status = not_writable;
  return result;
}

}  // namespace

bool EditResult::ValuesChanged() const {
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    if (before.Value(i) != after.scan.Value(i)) return true;
  }
  return false;
}

LevelState InspectLevel(const std::string& path, NameRule rule, Disk& disk) {
  LevelState state;
  state.path = path;
  if (rule == NameRule::TrcNamesOnly) {
    state.status = CheckName(path, rule);
    if (!state.ok()) return state;
  }
  std::unique_ptr<LevelFile> file;
  state.status = disk.Open(path, OpenMode::ReadOnly, &file);
  if (!state.ok()) return state;
  state.stamp = file->Stamp();
  state.scan = ScanLevel(*file);
  Keep(state.status, state.scan.status);
  Keep(state.status, file->Close());
  if (rule == NameRule::TrcNamesOnly) {
    Keep(state.status, CheckWritable(state.scan, path));
  }
  return state;
}

EditResult EditLevel(const LevelEdit& edit, Disk& disk) {
  EditResult result;
  result.status = CheckName(edit.path, edit.names);
  if (!result.ok()) return result;
  std::unique_ptr<LevelFile> file;
  const LevelStatus opened = disk.Open(edit.path, OpenMode::ReadWrite, &file);
  if (!opened.ok()) return EditWithoutWriting(edit, disk, opened);
  result.opened = true;

  Edit steps(*file, edit, result);
  result.status = steps.Read();
  const bool writes = result.ok() && !edit.change.HeldBy(result.before);
  if (writes) {
    result.status = steps.Write();
    if (result.ok()) result.status = steps.ReadAgain();
  }
  LevelStatus closed = file->Close();
  if (!closed.ok() && writes) closed = AfterWriting(closed);
  Keep(result.status, closed);
  if (writes && result.ok()) result.status = steps.CheckPath();
  return result;
}

bool FolderEntryIsLevel(const std::string& name) {
  return KindOfFile(name) == kKindTrc;
}

}  // namespace ornivale
