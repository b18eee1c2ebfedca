#include "level/level_access.h"

#include <algorithm>
#include <array>

#include "level/level_names.h"

namespace ornivale {
namespace {

// The name rules, before anything is opened.
LevelStatus CheckName(const std::string& path, NameRule rule) {
  const auto kind = KindOfFile(path);
  if (kind == kKindTr4) return Failure(LevelCode::Tr4Level, path);
  if (rule == NameRule::TrcNamesOnly && kind != kKindTrc) {
    return Failure(LevelCode::NotNamedAsLevel, path);
  }
  return {};
}

LevelStatus Tr4DataFound(const LevelScan& scan, const std::string& path) {
  LevelStatus status = Failure(LevelCode::Tr4Level, path);
  status.offset = scan.tr4_data_offset;
  return status;
}

LevelStatus AfterWriting(LevelStatus status) {
  if (status.code == LevelCode::CutShort) {
    status = Failure(LevelCode::Changed, status.path, "it was cut short");
  }
  status.may_be_written = true;
  return status;
}

void Keep(LevelStatus& first, LevelStatus next) {
  if (first.ok()) first = std::move(next);
}

// Whether the file, as just opened and scanned, is still the level that
// was loaded: anything another program did since then shows in one of
// these.
bool StillLoaded(const LevelState& now, const LevelState& loaded) {
  const LevelScan& a = now.scan;
  const LevelScan& b = loaded.scan;
  return a.status.ok() && now.stamp == loaded.stamp &&
         SameHeader(a.header, b.header) && a.flags_offset == b.flags_offset &&
         a.lara.Raw == b.lara.Raw && a.weather.Raw == b.weather.Raw;
}

LevelStatus CheckBeforeWriting(const LevelState& now, const LevelState* loaded) {
  const LevelScan& scan = now.scan;
  if (scan.status.code == LevelCode::ReadFailed) return scan.status;
  if (loaded) {
    if (!loaded->ok()) return loaded->status;
    if (!StillLoaded(now, *loaded)) return Failure(LevelCode::Changed, now.path);
  } else if (!scan.status.ok()) {
    return scan.status;
  }
  if (scan.HoldsTr4LevelData()) return Tr4DataFound(scan, now.path);
  return {};
}

// Writes the values given as one run of bytes, syncs, and reads the pair
// back into the state's scan.
LevelStatus WriteAndReadBack(LevelFile& file, const FlagChange& change,
                             LevelState& state) {
  LevelScan& scan = state.scan;
  std::array<uint8_t, 4> pair{scan.lara.Raw[0], scan.lara.Raw[1],
                              scan.weather.Raw[0], scan.weather.Raw[1]};
  if (change.lara) {
    const auto bytes = EncodeWord(*change.lara);
    std::copy(bytes.begin(), bytes.end(), pair.begin());
  }
  if (change.weather) {
    const auto bytes = EncodeWord(*change.weather);
    std::copy(bytes.begin(), bytes.end(), pair.begin() + 2);
  }
  const std::size_t first = change.lara ? 0 : 2;
  const std::size_t last = change.weather ? 4 : 2;
  LevelStatus status =
      file.Write(scan.flags_offset + static_cast<int64_t>(first),
                 pair.data() + first, last - first);
  if (!status.ok()) return status;
  status = file.Sync();
  if (!status.ok()) return AfterWriting(status);

  std::array<uint8_t, 4> back{};
  status = file.Read(scan.flags_offset, back.data(), back.size());
  if (!status.ok()) return AfterWriting(status);
  if (!std::equal(pair.begin() + first, pair.begin() + last, back.begin() + first)) {
    return AfterWriting(
        Failure(LevelCode::Changed, state.path, "it holds other values"));
  }
  scan.lara = WordAt(back.data());
  scan.weather = WordAt(back.data() + 2);
  return {};
}

// After the close: the path must still name the file that was written, at
// the size it had, or another program moved or cut it meanwhile.
LevelStatus CheckPath(LevelFile& file, LevelState& state) {
  FileStamp now;
  LevelStatus status = file.StampOfPath(&now);
  if (status.code == LevelCode::CannotOpen ||
      status.code == LevelCode::NotRegularFile) {
    status = Failure(LevelCode::Changed, state.path, "it is gone");
  }
  if (status.ok() && !now.SameFile(file.Stamp())) {
    status = Failure(LevelCode::Changed, state.path, "another file is there");
  } else if (status.ok() && now.size != file.Stamp().size) {
    status = Failure(LevelCode::Changed, state.path, "its size changed");
  }
  if (!status.ok()) return AfterWriting(status);
  state.stamp = now;
  return {};
}

}  // namespace

LevelState InspectLevel(const std::string& path, NameRule rule,
                        const LevelFileOpener& opener) {
  LevelState state;
  state.path = path;
  if (rule == NameRule::TrcNamesOnly) {
    state.status = CheckName(path, rule);
    if (!state.ok()) return state;
  }
  std::unique_ptr<LevelFile> file;
  state.status = opener(path, OpenMode::ReadOnly, &file);
  if (!state.ok()) return state;
  state.stamp = file->Stamp();
  state.scan = ScanLevel(*file);
  if (!state.scan.status.ok()) state.status = state.scan.status;
  Keep(state.status, file->Close());
  if (rule == NameRule::TrcNamesOnly && state.ok() &&
      state.scan.HoldsTr4LevelData()) {
    state.status = Tr4DataFound(state.scan, path);
  }
  return state;
}

LevelStatus OpenForSaving(const std::string& path, NameRule rule,
                          const LevelFileOpener& opener,
                          std::unique_ptr<LevelFile>* file) {
  const LevelStatus named = CheckName(path, rule);
  if (!named.ok()) return named;
  return opener(path, OpenMode::ReadWrite, file);
}

LevelState ApplyFlags(std::unique_ptr<LevelFile> file, const FlagChange& change,
                      const LevelState* loaded) {
  LevelState state;
  state.path = file->path();
  state.stamp = file->Stamp();
  state.scan = ScanLevel(*file);
  state.status = CheckBeforeWriting(state, loaded);
  const bool writes = state.ok() && !change.empty();
  if (writes) state.status = WriteAndReadBack(*file, change, state);
  LevelStatus closed = file->Close();
  if (!closed.ok() && writes) closed = AfterWriting(closed);
  Keep(state.status, closed);
  if (writes && state.ok()) state.status = CheckPath(*file, state);
  return state;
}

bool FolderEntryIsLevel(const std::string& name) {
  return KindOfFile(name) == kKindTrc;
}

}  // namespace ornivale
