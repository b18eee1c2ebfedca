#include "level/level_names.h"

#include "level/ascii.h"

namespace ornivale {

std::optional<int32_t> KindOfName(const std::string& path) {
  if (path.size() < 4) return std::nullopt;
  const std::string tail = AsciiLower(path.substr(path.size() - 4));
  if (tail == ".tr4") return kKindTr4;
  if (tail == ".trc") return kKindTrc;
  return std::nullopt;
}

std::optional<int32_t> KindOfFile(const std::string& path) {
  const std::size_t end = path.find_last_not_of(". ");
  if (end == std::string::npos) return std::nullopt;
  return KindOfName(path.substr(0, end + 1));
}

}  // namespace ornivale
