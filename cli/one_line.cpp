#include "cli/one_line.h"

#include <cstdio>

namespace ornivale::cli {
namespace {

std::string Escaped(unsigned char byte) {
  switch (byte) {
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
  }
  char text[5];
  std::snprintf(text, sizeof text, "\\x%02x", byte);
  return text;
}

}  // namespace

std::string OneLine(const std::string& text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const auto next =
        i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (byte < 0x20 || byte == 0x7F) {
      line += Escaped(byte);
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
      // U+0080 to U+009F in UTF-8: control characters too.
      char escaped[7];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", next);
      line += escaped;
      ++i;
    } else {
      line += text[i];
    }
  }
  return line;
}

}  // namespace ornivale::cli
