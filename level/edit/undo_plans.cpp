#include "level/edit/undo_plans.h"

#include <algorithm>
#include <tuple>
#include <unordered_set>

namespace ornivale {
namespace {

FlagValues Before(const ChangeDetails& change) {
  return ValuesOfBytes(change.before, *change.kind);
}
FlagValues Written(const ChangeDetails& change) {
  return ValuesOfBytes(change.written, *change.kind);
}

// Whether the chain's last change never told how it left the level: an
// interrupted run, which may not have written it.
bool EndsUnfinished(const std::vector<ChangeDetails>& chain) {
  return !chain.empty() && chain.back().TellsHowItLeft() && !chain.back().left;
}

// The rule of an undo of the changes of `chain`: the level must be as its
// last change left it, holding `holds` there, where the undo gives back
// `gives`. Where the history does not tell how that change left the level
// (a line of the second format, or a run interrupted before it recorded
// that), the same build holding `holds` counts, and so does the level
// untouched since that change found it: its write did not happen, and the
// undo gives back `gives_without_it` instead.
UndoRule RuleOf(const std::vector<ChangeDetails>& chain, const FlagChange& holds,
                const FlagChange& gives, const FlagChange& gives_without_it) {
  const ChangeDetails& newest = chain.back();
  UndoRule rule;
  rule.offset = newest.offset;
  if (newest.left) {
    rule.states.push_back({holds, newest.left, true, gives});
  } else if (newest.file) {
    rule.states.push_back({holds, newest.file, false, gives});
    rule.states.push_back(
        {ChangeTo(Before(newest), *newest.kind), newest.file, true, gives_without_it});
  } else {
    rule.states.push_back({holds, std::nullopt, false, gives});
  }
  return rule;
}

// Whether two changes read from lines are the one change.
bool SameChange(const ChangeDetails& a, const ChangeDetails& b) {
  const auto identity = [](const ChangeDetails& change) {
    const LevelIdentity& f = change.file.value_or(LevelIdentity{});
    return std::make_tuple(change.file.has_value(), f.volume, f.index, f.fingerprint, f.modified,
                           f.size, f.born);
  };
  return a.offset == b.offset && a.before == b.before && a.written == b.written &&
         a.format == b.format && a.undoes_last == b.undoes_last && identity(a) == identity(b);
}

// The chains of the levels at `full_paths` (those not empty), read once.
LevelStatus ChainsOf(const std::vector<std::string>& full_paths, const History& history,
                     Disk& disk, ChangesByLevel* chains, int* unreadable) {
  std::unordered_set<std::string> wanted;
  for (const std::string& path : full_paths) {
    if (!path.empty()) wanted.insert(disk.PathKey(path));
  }
  *unreadable = 0;
  if (wanted.empty()) return {};
  return history.Changes(chains, unreadable, [&](const std::string& path) {
    return wanted.count(disk.PathKey(path)) != 0;
  });
}

const std::vector<ChangeDetails>* ChainAt(const ChangesByLevel& chains,
                                          const std::string& full_path, Disk& disk) {
  const auto found = chains.find(disk.PathKey(full_path));
  return found == chains.end() || found->second.empty() ? nullptr : &found->second;
}

std::vector<std::string> FullPaths(const std::vector<std::string>& paths, Disk& disk) {
  std::vector<std::string> full;
  full.reserve(paths.size());
  for (const std::string& path : paths) full.push_back(disk.FullPath(path));
  return full;
}

// The edit a record asks for, its change's chain given where the history
// holds one.
LevelEdit EditOf(const RecordEdit& record, const std::vector<ChangeDetails>* chain) {
  if (!record.before) return LevelEdit(record.path, ChangeTo(record.values, *record.kind));
  // An undo: the values that the change changed go back, where the level
  // still holds what it wrote.
  FlagChange back;
  FlagChange written;
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    if ((*record.before)[i] == record.values[i]) continue;
    back.values[i] = StoredValue((*record.before)[i]);
    written.values[i] = StoredValue(record.values[i]);
  }
  LevelEdit edit(record.path, back);
  if (back.empty()) return edit;
  if (!record.change) {
    edit.undo = UndoRule{std::nullopt, {{written, std::nullopt, false, back}}};
    return edit;
  }
  // Restore's question, of the chain the change lies on, or of the change
  // alone where the history holds it on none.
  const bool on_chain =
      chain && std::any_of(chain->begin(), chain->end(), [&](const ChangeDetails& change) {
        return SameChange(change, *record.change);
      });
  edit.undo = RuleOf(on_chain ? *chain : std::vector<ChangeDetails>{*record.change}, written,
                     back, back);
  return edit;
}

}  // namespace

std::optional<LevelEdit> RestoreEdit(const std::string& path,
                                     const std::vector<ChangeDetails>& chain, bool last) {
  if (chain.empty()) return std::nullopt;
  // What the restore gives back of the chain's changes up to `end`: the
  // values before the first, or with `last` before the last change that no
  // restore --last has undone yet.
  const auto gives = [&](auto end) -> std::optional<FlagChange> {
    if (!last) return ChangeTo(Before(chain.front()), *chain.front().kind);
    std::vector<const ChangeDetails*> not_undone;
    for (auto change = chain.begin(); change != end; ++change) {
      if (!change->undoes_last) {
        not_undone.push_back(&*change);
      } else if (!not_undone.empty()) {
        not_undone.pop_back();
      }
    }
    if (not_undone.empty()) return std::nullopt;
    return ChangeTo(Before(*not_undone.back()), *not_undone.back()->kind);
  };
  const std::optional<FlagChange> back = gives(chain.end());
  if (!back) return std::nullopt;
  LevelEdit edit(path, *back);
  edit.undo = RuleOf(chain, ChangeTo(Written(chain.back()), *chain.back().kind), *back,
                     gives(chain.end() - 1).value_or(FlagChange{}));
  edit.undoes_last = last;
  return edit;
}

LevelStatus RestoreEdits(const std::vector<std::string>& paths, bool last,
                         const History& history, Disk& disk,
                         std::vector<std::optional<LevelEdit>>* edits, int* unreadable) {
  const std::vector<std::string> full_paths = FullPaths(paths, disk);
  ChangesByLevel chains;
  const LevelStatus read = ChainsOf(full_paths, history, disk, &chains, unreadable);
  edits->clear();
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const auto* chain = read.ok() ? ChainAt(chains, full_paths[i], disk) : nullptr;
    edits->push_back(chain ? RestoreEdit(paths[i], *chain, last) : std::nullopt);
    if (edits->back()) edits->back()->full_path = full_paths[i];
  }
  return read;
}

RecordEdit EditOfRecord(Record&& record) {
  if (record.change) {
    // No undo needs them.
    std::string().swap(record.change->time);
    std::string().swap(record.change->program);
  }
  return {std::move(record.path), record.values, record.before, std::move(record.change),
          record.kind};
}

LevelStatus EditsOfRecords(const std::vector<RecordEdit>& records, const History& history,
                           Disk& disk, std::vector<LevelEdit>* edits, int* unreadable) {
  std::vector<std::string> full_paths;
  for (const RecordEdit& record : records) {
    full_paths.push_back(record.change ? disk.FullPath(record.path) : std::string());
  }
  ChangesByLevel chains;
  const LevelStatus read = ChainsOf(full_paths, history, disk, &chains, unreadable);
  edits->clear();
  if (!read.ok()) return read;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const RecordEdit& record = records[i];
    edits->push_back(
        EditOf(record, record.change ? ChainAt(chains, full_paths[i], disk) : nullptr));
    edits->back().full_path = full_paths[i];
  }
  return read;
}

LevelStatus ReapplyEdits(const std::vector<std::string>& paths, const History& history,
                         Disk& disk, std::vector<Reapplying>* reapplyings, int* unreadable) {
  const std::vector<std::string> full_paths = FullPaths(paths, disk);
  ChangesByLevel chains;
  const LevelStatus read = ChainsOf(full_paths, history, disk, &chains, unreadable);
  reapplyings->clear();
  if (!read.ok()) return read;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    Reapplying& reapplying = reapplyings->emplace_back();
    const auto* chain = ChainAt(chains, full_paths[i], disk);
    if (!chain) continue;
    reapplying.kind = Reapplying::Kind::NothingToApply;
    const auto settled = chain->end() - (EndsUnfinished(*chain) ? 1 : 0);
    if (settled == chain->begin() || (settled - 1)->undoes_last) continue;
    const FlagValues first = Before(chain->front());
    const FlagValues left = Written(*(settled - 1));
    FlagChange apply;
    for (std::size_t i = 0; i < kFlagCount; ++i) {
      if (first[i] != left[i]) apply.values[i] = StoredValue(left[i]);
    }
    if (apply.empty()) continue;
    reapplying.kind = Reapplying::Kind::Apply;
    reapplying.edit.emplace(paths[i], apply);
    reapplying.edit->full_path = full_paths[i];
  }
  return read;
}

}  // namespace ornivale
