#include "level/sets/level_set.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "level/format/level_names.h"
#include "level/sets/name_order.h"
#include "level/sets/wildcard.h"

namespace ornivale {
namespace {

std::string Joined(const std::string& folder, const std::string& name, Disk& disk) {
  const std::string separators = disk.Separators();
  if (folder.empty() || separators.find(folder.back()) != std::string::npos) {
    return folder + name;
  }
  return folder + separators[0] + name;
}

// What a reading of a set knows of the folders it met: each one's full
// path, and which of its entries are links, asked once for them all.
class KnownFolders {
 public:
  explicit KnownFolders(Disk& disk) : disk_(disk) {}

  // The full path of `name` in `folder` (a name given's folder part, "" for
  // the program's own), whose entries `entries` are where it was listed.
  std::string FullPathOf(const std::string& folder, const std::string& name,
                         const std::vector<FolderEntry>* entries = nullptr) {
    Known& known = Of(folder, entries);
    if (!known.listed || known.links.count(name) != 0) {
      return disk_.FullPath(Joined(folder, name, disk_));
    }
    return Joined(known.full_path, name, disk_);
  }

 private:
  struct Known {
    std::string full_path;
    bool listed = false;
    std::unordered_set<std::string> links;
  };

  Known& Of(const std::string& folder, const std::vector<FolderEntry>* entries) {
    const auto found = folders_.find(folder);
    if (found != folders_.end()) return found->second;
    Known& known = folders_[folder];
    known.full_path = disk_.FullPath(folder.empty() ? "." : folder);
    std::vector<FolderEntry> listed;
    if (!entries && disk_.ListFolder(folder, &listed).ok()) entries = &listed;
    known.listed = entries != nullptr;
    if (entries) {
      for (const FolderEntry& entry : *entries) {
        if (entry.link) known.links.insert(entry.name);
      }
    }
    return known;
  }

  Disk& disk_;
  std::unordered_map<std::string, Known> folders_;
};

// Gathers the levels named, each once.
class Set {
 public:
  explicit Set(Disk& disk) : disk_(disk), folders_(disk) {}

  // A level named as it is: its folder part and its own name.
  void AddNamed(const std::string& name, std::size_t named, const std::string& folder) {
    Add(name, folders_.FullPathOf(folder, name.substr(folder.size())), named);
  }
  void Add(std::string path, std::string full_path, std::size_t named) {
    if (seen_.insert(disk_.PathKey(full_path)).second) {
      levels_.push_back({std::move(path), std::move(full_path), named, {}});
    }
  }
  void Refuse(const std::string& name, std::size_t named, LevelStatus why) {
    why.path = name;
    levels_.push_back({name, {}, named, std::move(why)});
  }

  // The entries of `folder` that `keep` takes, in name order; a failure
  // naming `name` when there are none.
  template <typename Keep>
  void AddEntries(const std::string& name, std::size_t named, const std::string& folder,
                  const char* part, Keep keep) {
    std::vector<FolderEntry> entries;
    const LevelStatus listed = disk_.ListFolder(folder, &entries);
    if (!listed.ok() && std::string(part) == kFolderPart) return Refuse(name, named, listed);
    std::vector<std::string> kept;
    for (const FolderEntry& entry : entries) {
      if (keep(entry.name)) kept.push_back(entry.name);
    }
    if (kept.empty()) {
      LevelStatus none = Failure(LevelCode::NoLevelFound, name);
      none.part = part;
      return Refuse(name, named, none);
    }
    std::sort(kept.begin(), kept.end(), NameBefore);
    for (const std::string& entry : kept) {
      Add(Joined(folder, entry, disk_), folders_.FullPathOf(folder, entry, &entries), named);
    }
  }

  std::vector<NamedLevel> Take() { return std::move(levels_); }

 private:
  Disk& disk_;
  KnownFolders folders_;
  std::unordered_set<std::string> seen_;
  std::vector<NamedLevel> levels_;
};

}  // namespace

std::vector<NamedLevel> LevelsNamed(const std::vector<std::string>& names, Disk& disk) {
  Set set(disk);
  for (std::size_t named = 0; named < names.size(); ++named) {
    const std::string& name = names[named];
    const std::string folder_part = [&] {
      const std::size_t cut = name.find_last_of(disk.Separators());
      return cut == std::string::npos ? std::string() : name.substr(0, cut + 1);
    }();
    const std::string last_part = name.substr(folder_part.size());
    if (disk.ExpandsWildcards() && last_part.find_first_of("*?") != std::string::npos) {
      // Windows itself would also match the short 8.3 names ("LEVEL~1.TRC"
      // for level.trcx): the long names alone decide here.
      set.AddEntries(name, named, folder_part, kPatternPart, [&](const std::string& entry) {
        return MatchesWildcard(last_part, entry);
      });
      continue;
    }
    // A level's name is taken for a level without a look at what it is,
    // which the open makes anyway: one system call fewer for each level.
    bool folder = false;
    const LevelStatus looked =
        FolderEntryIsLevel(name) ? LevelStatus{} : disk.IsFolder(name, &folder);
    if (!looked.ok()) {
      set.Refuse(name, named, looked);
    } else if (folder) {
      set.AddEntries(name, named, name, kFolderPart, FolderEntryIsLevel);
    } else {
      set.AddNamed(name, named, folder_part);
    }
  }
  return set.Take();
}

std::string FolderOf(const std::string& path, Disk& disk) {
  const std::size_t cut = path.find_last_of(disk.Separators());
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace ornivale
