#include "level/sets/name_order.h"

#include <cstddef>

#include "level/text/utf8.h"

namespace ornivale {
namespace {

// Simple case folding for the scripts that level names are written in:
// a range of capitals and how far their small letters lie; `step` 2 for
// ranges where capitals and small letters alternate.
struct CaseRange {
  char16_t first, last;
  int to_small;
  int step;
};
constexpr CaseRange kCaseRanges[] = {
    {u'A', u'Z', 0x20, 1},        {0x00C0, 0x00D6, 0x20, 1},  {0x00D8, 0x00DE, 0x20, 1},
    {0x0100, 0x012E, 1, 2},       {0x0132, 0x0136, 1, 2},     {0x0139, 0x0147, 1, 2},
    {0x014A, 0x0176, 1, 2},       {0x0179, 0x017D, 1, 2},     {0x0391, 0x03A1, 0x20, 1},
    {0x03A3, 0x03AB, 0x20, 1},    {0x0400, 0x040F, 0x50, 1},  {0x0410, 0x042F, 0x20, 1},
};

// The letters of Latin-1's small letters from U+00E0 on, their accents
// aside, as Explorer sorts "été" among the e's (U+00F7, "÷", is none).
constexpr char kLatin1Letters[] = "aaaaaaaceeeeiiiidnooooo?ouuuuyty";

char16_t Folded(char16_t c) {
  for (const CaseRange& range : kCaseRanges) {
    if (c >= range.first && c <= range.last && (c - range.first) % range.step == 0) {
      c = static_cast<char16_t>(c + range.to_small);
      break;
    }
  }
  if (c >= 0x00E0 && c <= 0x00FF && c != 0x00F7) {
    return static_cast<char16_t>(kLatin1Letters[c - 0x00E0]);
  }
  return c;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// -1, 0 or 1 as `a` comes before, with or after `b`, case and leading
// zeros aside.
int Compare(const std::u16string& a, const std::u16string& b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      while (i < a.size() && a[i] == u'0') ++i;
      while (j < b.size() && b[j] == u'0') ++j;
      std::size_t a_end = i;
      std::size_t b_end = j;
      while (a_end < a.size() && IsDigit(a[a_end])) ++a_end;
      while (b_end < b.size() && IsDigit(b[b_end])) ++b_end;
      // The longer number is the larger, once its leading zeros are gone.
      if (a_end - i != b_end - j) return a_end - i < b_end - j ? -1 : 1;
      const int digits = a.compare(i, a_end - i, b, j, b_end - j);
      if (digits != 0) return digits < 0 ? -1 : 1;
      i = a_end;
      j = b_end;
      continue;
    }
    const char16_t x = Folded(a[i++]);
    const char16_t y = Folded(b[j++]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  return j < b.size() ? -1 : 0;
}

}  // namespace

bool NameBefore(const std::string& a, const std::string& b) {
  const int order = Compare(Utf8ToUtf16(a), Utf8ToUtf16(b));
  return order != 0 ? order < 0 : a < b;
}

}  // namespace ornivale
