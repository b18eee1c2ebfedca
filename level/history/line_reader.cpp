#include "level/history/line_reader.h"

#include "level/text/utf8.h"

namespace ornivale {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

LineReader::LineReader(Input& input, std::size_t longest_line, LongLines long_lines)
    : input_(input), longest_(longest_line), long_lines_(long_lines) {}

bool LineReader::TooLong() {
  if (long_lines_ == LongLines::PassOver) return PassOver();
  status_ = Failure(LevelCode::BadInput, input_.name(), "is longer than " +
                                                           std::to_string(longest_ / 1024 / 1024) +
                                                           " MiB");
  status_.offset = number_ + 1;
  return false;
}

bool LineReader::PassOver() {
  std::size_t end;
  while ((end = text_.find('\n', pos_)) == std::string::npos && !ended_) {
    pos_ = text_.size();
    if (!Fill()) return false;
  }
  pos_ = end == std::string::npos ? text_.size() : end + 1;
  ++number_;
  ++passed_over_;
  return true;
}

bool LineReader::Next(std::string* line) {
  if (!status_.ok()) return false;
  for (;;) {
    const std::size_t end = text_.find('\n', pos_);
    if (end != std::string::npos || (ended_ && pos_ < text_.size())) {
      const std::size_t stop = end == std::string::npos ? text_.size() : end;
      if (stop - pos_ > longest_) {
        if (!TooLong()) return false;
        continue;
      }
      line->assign(text_, pos_, stop - pos_);
      if (!line->empty() && line->back() == '\r') line->pop_back();
      const std::size_t next = end == std::string::npos ? text_.size() : end + 1;
      stretch_ = {dropped_ + static_cast<int64_t>(pos_), static_cast<int64_t>(next - pos_)};
      pos_ = next;
      ++number_;
      return true;
    }
    if (text_.size() - pos_ > longest_) {
      if (!TooLong()) return false;
      continue;
    }
    if (ended_ || !Fill()) return false;
  }
}

bool LineReader::Fill() {
  dropped_ += static_cast<int64_t>(pos_);
  text_.erase(0, pos_);
  pos_ = 0;
  char chunk[kChunk];
  std::size_t count = 0;
  status_ = input_.Read(chunk, sizeof chunk, &count);
  if (!status_.ok()) return false;
  ended_ = count == 0;
  Decode(chunk, count);
  return true;
}

void LineReader::Decode(const char* bytes, std::size_t count) {
  raw_.append(bytes, count);
  if (encoding_ == Encoding::Unknown) {
    const struct {
      const char* mark;
      Encoding encoding;
    } marks[] = {{"\xEF\xBB\xBF", Encoding::Utf8},
                 {"\xFF\xFE", Encoding::Utf16Le},
                 {"\xFE\xFF", Encoding::Utf16Be}};
    bool may_be_a_mark = false;
    for (const auto& m : marks) {
      const std::string mark = m.mark;
      if (raw_.rfind(mark, 0) == 0) {
        encoding_ = m.encoding;
        dropped_ += static_cast<int64_t>(mark.size());
        raw_.erase(0, mark.size());
        break;
      }
      may_be_a_mark |= mark.rfind(raw_, 0) == 0;
    }
    if (encoding_ == Encoding::Unknown) {
      if (may_be_a_mark && !ended_) return;  // wait for the rest of it
      encoding_ = Encoding::Utf8;
    }
  }
  if (encoding_ == Encoding::Utf8) {
    text_ += raw_;
    raw_.clear();
    return;
  }
  // UTF-16: whole units only, and a high surrogate waits for its low one
  // unless the input ends.
  std::u16string units;
  std::size_t used = 0;
  for (; used + 1 < raw_.size(); used += 2) {
    const auto first = static_cast<unsigned char>(raw_[used]);
    const auto second = static_cast<unsigned char>(raw_[used + 1]);
    units += static_cast<char16_t>(encoding_ == Encoding::Utf16Le ? first | second << 8
                                                                   : first << 8 | second);
  }
  if (!ended_ && !units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) {
    units.pop_back();
    used -= 2;
  }
  raw_.erase(0, used);
  text_ += Utf16ToUtf8(units);
}

}  // namespace ornivale
