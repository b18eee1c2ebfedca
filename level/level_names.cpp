#include "level/level_names.h"

namespace ornivale {
namespace {

// ASCII only: the endings are ASCII, and a byte of a longer UTF-8 character
// must never match one of their letters.
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::optional<int32_t> KindOfName(const std::string& path) {
  if (path.size() < 4) return std::nullopt;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = Upper(c);
  if (tail == ".TR4") return kKindTr4;
  if (tail == ".TRC") return kKindTrc;
  return std::nullopt;
}

std::optional<int32_t> KindOfFile(const std::string& path) {
  const std::size_t end = path.find_last_not_of(". ");
  if (end == std::string::npos) return std::nullopt;
  return KindOfName(path.substr(0, end + 1));
}

}  // namespace ornivale
