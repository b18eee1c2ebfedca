#pragma once

#include <cctype>
#include <string>

namespace ornivale::cli {

// TYPE words are matched without regard to case; the list texts are ASCII,
// so the C locale's rule is the right one.
inline std::string AsciiLower(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return text;
}

}  // namespace ornivale::cli
