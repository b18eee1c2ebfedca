#include "cli/level_arguments.h"

#include <algorithm>

#include "cli/wildcard.h"
#include "disk/folder.h"
#include "level/level_access.h"

namespace ornivale::cli {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
constexpr char kSeparators[] = "\\/:";
#else
constexpr char kSeparator = '/';
constexpr char kSeparators[] = "/";
#endif

std::string Joined(const std::string& folder, const std::string& name) {
  if (folder.empty() ||
      std::string(kSeparators).find(folder.back()) != std::string::npos) {
    return folder + name;
  }
  return folder + kSeparator + name;
}

// The entries of `folder` that `keep` takes, in name order, as levels; a
// failure naming `given` when there are none.
template <typename Keep>
void AddEntries(const std::string& given, const std::string& folder,
                const char* part, Keep keep,
                std::vector<LevelArgument>* levels) {
  std::vector<std::string> names;
  const LevelStatus listed = ListFolder(folder, &names);
  if (!listed.ok() && std::string(part) == kFolderPart) {
    levels->push_back({given, listed});
    return;
  }
  names.erase(std::remove_if(names.begin(), names.end(),
                             [&](const std::string& name) { return !keep(name); }),
              names.end());
  if (names.empty()) {
    LevelStatus none = Failure(LevelCode::NoLevelFound, given);
    none.part = part;
    levels->push_back({given, none});
    return;
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    levels->push_back({Joined(folder, name), {}});
  }
}

}  // namespace

std::vector<LevelArgument> ExpandLevelArguments(
    const std::vector<std::string>& given) {
  std::vector<LevelArgument> levels;
  for (const std::string& arg : given) {
#ifdef _WIN32
    // Windows itself would also match the short 8.3 names ("LEVEL~1.TRC"
    // for level.trcx): the long names alone decide here.
    if (arg.find_first_of("*?") != std::string::npos) {
      const std::size_t cut = arg.find_last_of(kSeparators);
      const std::string folder =
          cut == std::string::npos ? "" : arg.substr(0, cut + 1);
      const std::string pattern = arg.substr(folder.size());
      AddEntries(arg, folder, kPatternPart,
                 [&](const std::string& name) {
                   return MatchesWildcard(pattern, name);
                 },
                 &levels);
      continue;
    }
#endif
    // A level's name is taken for a level without a look at what it is,
    // which the open makes anyway: one system call fewer for each level.
    bool folder = false;
    const LevelStatus looked =
        FolderEntryIsLevel(arg) ? LevelStatus{} : IsFolder(arg, &folder);
    if (!looked.ok()) {
      levels.push_back({arg, looked});
    } else if (folder) {
      AddEntries(arg, arg, kFolderPart, FolderEntryIsLevel, &levels);
    } else {
      levels.push_back({arg, {}});
    }
  }
  return levels;
}

}  // namespace ornivale::cli
