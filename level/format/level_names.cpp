#include "level/format/level_names.h"

#include "level/text/ascii.h"

namespace ornivale {

std::optional<int32_t> KindOfName(std::string_view path) {
  if (path.size() < 4) return std::nullopt;
  char tail[4];
  for (std::size_t i = 0; i < 4; ++i) tail[i] = AsciiLower(path[path.size() - 4 + i]);
  const std::string_view ending(tail, 4);
  if (ending == ".tr4") return kKindTr4;
  if (ending == ".trc") return kKindTrc;
  return std::nullopt;
}

std::optional<int32_t> KindOfFile(std::string_view path) {
  const std::size_t end = path.find_last_not_of(". ");
  if (end == std::string_view::npos) return std::nullopt;
  return KindOfName(path.substr(0, end + 1));
}

bool FolderEntryIsLevel(std::string_view name) { return KindOfFile(name) == kKindTrc; }

}  // namespace ornivale
