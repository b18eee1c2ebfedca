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

std::string CodePoint(unsigned code) {
  char text[7];
  std::snprintf(text, sizeof text, "\\u%04x", code);
  return text;
}

// The code point of the character that begins at text[i], if it is one
// that turns a terminal's line or its direction: U+0080 to U+009F (two
// bytes), the line and paragraph separators U+2028 and U+2029 and the
// bidirectional controls U+202A to U+202E and U+2066 to U+2069 (three).
unsigned Steering(const std::string& text, std::size_t i, std::size_t* length) {
  const auto byte = [&](std::size_t k) {
    return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u;
  };
  if (byte(i) == 0xC2 && byte(i + 1) >= 0x80 && byte(i + 1) <= 0x9F) {
    *length = 2;
    return byte(i + 1);
  }
  if (byte(i) != 0xE2 || (byte(i + 1) != 0x80 && byte(i + 1) != 0x81)) return 0;
  const unsigned code = 0x2000 + ((byte(i + 1) & 0x3F) << 6) + (byte(i + 2) & 0x3F);
  const bool steers = (code >= 0x2028 && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
  if (!steers || (byte(i + 2) & 0xC0) != 0x80) return 0;
  *length = 3;
  return code;
}

}  // namespace

std::string OneLine(const std::string& text) {
  std::string line;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    if (byte < 0x20 || byte == 0x7F) {
      line += Escaped(byte);
    } else if (const unsigned code = Steering(text, i, &length)) {
      line += CodePoint(code);
    } else {
      line += text[i];
    }
    i += length;
  }
  return line;
}

}  // namespace ornivale::cli
