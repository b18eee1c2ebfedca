#pragma once

#include <string>

namespace ornivale {

// Lower case for ASCII letters alone, whatever the locale: level names and
// the list texts are ASCII, and a unit of a longer UTF-8 or UTF-16
// character must never match one of their letters.
constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char16_t AsciiLower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

inline std::string AsciiLower(std::string text) {
  for (char& c : text) c = AsciiLower(c);
  return text;
}

}  // namespace ornivale
