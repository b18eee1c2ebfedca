#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "level/ports/disk.h"

namespace ornivale {

// The lines of a text input, one at a time: UTF-8 with or without a byte
// order mark, or UTF-16 with its mark (what Windows PowerShell 5.1's ">"
// writes), always given as UTF-8; lines end in LF or CRLF. A line longer
// than the limit is refused as soon as it passes it, or passed over, and
// never held beyond it, so that memory stays bounded whatever the input.
class LineReader {
 public:
  enum class LongLines { Refuse, PassOver };

  LineReader(Input& input, std::size_t longest_line,
             LongLines long_lines = LongLines::Refuse);

  // The next line, without its end, into `line`; false at the end of the
  // input or at a failure, which status() then gives: ReadFailed, or
  // BadInput for a line too long that is refused (offset: its number).
  bool Next(std::string* line);
  const LevelStatus& status() const { return status_; }
  // The number of the line last given, from 1.
  int line_number() const { return number_; }
  // How many lines too long were passed over.
  int passed_over() const { return passed_over_; }
  // Where the line last given lies in the input, its end included: none
  // where the input is UTF-16, whose lines are given decoded.
  std::optional<Stretch> stretch() const {
    if (encoding_ != Encoding::Utf8) return std::nullopt;
    return stretch_;
  }
  // How far the lines given and passed over reach into the input, in bytes
  // (at its end, its size), for UTF-8.
  int64_t bytes_read() const { return dropped_ + static_cast<int64_t>(pos_); }

 private:
  enum class Encoding { Unknown, Utf8, Utf16Le, Utf16Be };

  // Reads and decodes more of the input into text_; false at its end.
  bool Fill();
  void Decode(const char* bytes, std::size_t count);
  bool TooLong();
  // Drops the line too long that begins at pos_, up to its end or the
  // input's; false at a failure to read.
  bool PassOver();

  Input& input_;
  std::size_t longest_;
  LongLines long_lines_;
  Encoding encoding_ = Encoding::Unknown;
  std::string raw_;   // bytes read but not decoded yet
  std::string text_;  // decoded UTF-8 from pos_ on not given yet
  std::size_t pos_ = 0;
  int64_t dropped_ = 0;  // bytes of the input before text_, for UTF-8
  Stretch stretch_;
  bool ended_ = false;
  int number_ = 0;
  int passed_over_ = 0;
  LevelStatus status_;
};

}  // namespace ornivale
