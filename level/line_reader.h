#pragma once

#include <cstddef>
#include <string>

#include "level/disk.h"

namespace ornivale {

// The lines of a text input, one at a time: UTF-8 with or without a byte
// order mark, or UTF-16 with its mark (what Windows PowerShell 5.1's ">"
// writes), always given as UTF-8; lines end in LF or CRLF. A line longer
// than the limit is refused as soon as it passes it, unread beyond, so that
// memory stays bounded whatever the input.
class LineReader {
 public:
  LineReader(Input& input, std::size_t longest_line);

  // The next line, without its end, into `line`; false at the end of the
  // input or at a failure, which status() then gives: ReadFailed, or
  // BadInput for a line too long (offset: its number).
  bool Next(std::string* line);
  const LevelStatus& status() const { return status_; }
  // The number of the line last given, from 1.
  int line_number() const { return number_; }

 private:
  enum class Encoding { Unknown, Utf8, Utf16Le, Utf16Be };

  // Reads and decodes more of the input into text_; false at its end.
  bool Fill();
  void Decode(const char* bytes, std::size_t count);
  bool TooLong();

  Input& input_;
  std::size_t longest_;
  Encoding encoding_ = Encoding::Unknown;
  std::string raw_;   // bytes read but not decoded yet
  std::string text_;  // decoded UTF-8 from pos_ on not given yet
  std::size_t pos_ = 0;
  bool ended_ = false;
  int number_ = 0;
  LevelStatus status_;
};

}  // namespace ornivale
