#include "level/sets/wildcard.h"

#include "level/text/ascii.h"
#include "level/text/utf8.h"

namespace ornivale {

bool MatchesWildcard(const std::string& pattern_text,
                     const std::string& name_text) {
  // Characters as Windows counts them (UTF-16 units), not UTF-8 bytes.
  const std::u16string pattern = Utf8ToUtf16(pattern_text);
  const std::u16string name = Utf8ToUtf16(name_text);
  // The classic walk with one backtrack point: the last `*` seen.
  std::size_t p = 0, n = 0, star = std::u16string::npos, star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == u'?' || AsciiLower(pattern[p]) == AsciiLower(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      star = p++;
      star_n = n;
    } else if (star != std::u16string::npos) {
      p = star + 1;
      n = ++star_n;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace ornivale
