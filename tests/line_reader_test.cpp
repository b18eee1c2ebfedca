// Lines of text as Windows and Linux tools write them, and inputs that are
// too much or fail.
#include <gtest/gtest.h>

#include "level/history/line_reader.h"
#include "tests/disk_wrapper.h"

namespace ornivale {
namespace {

using Lines = std::vector<std::string>;

Lines ReadAll(const std::string& bytes, std::size_t longest = 64) {
  testing::StringInput input("in", bytes);
  LineReader reader(input, longest);
  Lines lines;
  for (std::string line; reader.Next(&line);) lines.push_back(line);
  EXPECT_TRUE(reader.status().ok()) << reader.status().reason;
  return lines;
}

std::string Utf16(const std::u16string& text, bool little_endian) {
  std::string bytes = little_endian ? "\xFF\xFE" : "\xFE\xFF";
  for (char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes += little_endian ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

TEST(LineReader, Utf8WithOrWithoutAMarkAndEitherLineEnd) {
  EXPECT_EQ(ReadAll("a\nb\r\n\nc"), (Lines{"a", "b", "", "c"}));
  EXPECT_EQ(ReadAll("\xEF\xBB\xBF{\"x\"}\r\n"), (Lines{"{\"x\"}"}));
  EXPECT_EQ(ReadAll(""), Lines{});
  EXPECT_EQ(ReadAll("\xEF\xBB"), Lines{"\xEF\xBB"});  // no whole mark: text
  EXPECT_EQ(ReadAll("\xC3\xA9\n"), Lines{"\xC3\xA9"});
}

// Where each line lies in the input's bytes, its end and a mark before it
// counted, across the reader's chunks: what a compaction copies.
TEST(LineReader, EachUtf8LineKnowsWhereItLies) {
  const std::string long_line(100 * 1024, 'x');
  const std::string bytes = "\xEF\xBB\xBF" "ab\r\n" + long_line + "\ncd";
  testing::StringInput input("in", bytes);
  LineReader reader(input, 1024 * 1024);
  std::vector<std::pair<int64_t, int64_t>> stretches;
  for (std::string line; reader.Next(&line);) {
    ASSERT_TRUE(reader.stretch().has_value());
    stretches.emplace_back(reader.stretch()->offset, reader.stretch()->size);
    EXPECT_EQ(bytes.substr(stretches.back().first, line.size()), line);
  }
  const auto whole = static_cast<int64_t>(bytes.size());
  EXPECT_EQ(stretches, (std::vector<std::pair<int64_t, int64_t>>{
                           {3, 4}, {7, static_cast<int64_t>(long_line.size()) + 1}, {whole - 2, 2}}));
  EXPECT_EQ(reader.bytes_read(), whole);

  testing::StringInput utf16("in", Utf16(u"a\nb", true));
  LineReader decoded(utf16, 64);
  std::string line;
  ASSERT_TRUE(decoded.Next(&line));
  EXPECT_FALSE(decoded.stretch().has_value());
}

// What Windows PowerShell 5.1's ">" writes: UTF-16 with its mark, CRLF.
TEST(LineReader, Utf16WithItsMarkComesAsUtf8) {
  const std::u16string text = u"{\"path\":\"\u00e9\U0001F327.trc\"}\r\nb\r\n";
  for (bool little_endian : {true, false}) {
    EXPECT_EQ(ReadAll(Utf16(text, little_endian)),
              (Lines{"{\"path\":\"\xC3\xA9\xF0\x9F\x8C\xA7.trc\"}", "b"}));
  }
}

// Bytes without end, as a 100 MB line or a runaway pipe gives them.
class EndlessInput : public Input {
 public:
  EndlessInput() : Input("endless") {}
  LevelStatus Read(char* buffer, std::size_t capacity, std::size_t* count) override {
    std::fill_n(buffer, capacity, 'x');
    *count = capacity;
    given += capacity;
    return {};
  }
  std::size_t given = 0;
};

TEST(LineReader, ALineTooLongIsRefusedUnreadBeyondTheLimit) {
  EndlessInput input;
  constexpr std::size_t kMiB = 1024 * 1024;
  LineReader reader(input, kMiB);
  std::string line;
  EXPECT_FALSE(reader.Next(&line));
  EXPECT_EQ(reader.status().code, LevelCode::BadInput);
  EXPECT_EQ(reader.status().offset, 1);
  EXPECT_EQ(reader.status().reason, "is longer than 1 MiB");
  EXPECT_LE(input.given, kMiB + 128 * 1024);

  const std::string two = "ok\n" + std::string(70, 'y') + "\n";
  testing::StringInput second("in", two);
  LineReader limited(second, 64);
  EXPECT_TRUE(limited.Next(&line));
  EXPECT_FALSE(limited.Next(&line));
  EXPECT_EQ(limited.status().offset, 2);
}

// The history's reader: a line too long is one line that can't be read,
// and the lines after it still are, however many reads it spans.
TEST(LineReader, ALineTooLongCanBePassedOverAndCounted) {
  const std::string bytes = "a\n" + std::string(10000, 'y') + "\r\nb\n" + std::string(70, 'z');
  testing::StringInput input("in", bytes);
  LineReader reader(input, 64, LineReader::LongLines::PassOver);
  Lines lines;
  for (std::string line; reader.Next(&line);) {
    lines.push_back(line);
    EXPECT_EQ(reader.line_number(), line == "a" ? 1 : 3);
  }
  EXPECT_TRUE(reader.status().ok()) << reader.status().reason;
  EXPECT_EQ(lines, (Lines{"a", "b"}));
  EXPECT_EQ(reader.passed_over(), 2);
}

class FailingInput : public Input {
 public:
  explicit FailingInput(std::string first) : Input("pipe"), first_(std::move(first)) {}
  LevelStatus Read(char* buffer, std::size_t capacity, std::size_t* count) override {
    if (first_.empty()) return Failure(LevelCode::ReadFailed, name(), "Input/output error");
    *count = std::min(capacity, first_.size());
    std::copy_n(first_.begin(), *count, buffer);
    first_.erase(0, *count);
    return {};
  }

 private:
  std::string first_;
};

TEST(LineReader, AReadThatFailsWhilePassingOverIsAFailure) {
  FailingInput input("a\n" + std::string(100, 'y'));
  LineReader reader(input, 64, LineReader::LongLines::PassOver);
  std::string line;
  EXPECT_TRUE(reader.Next(&line));
  EXPECT_FALSE(reader.Next(&line));
  EXPECT_EQ(reader.status().code, LevelCode::ReadFailed);
}

TEST(LineReader, AReadThatFailsIsAFailureNotAnEnd) {
  FailingInput input("a\nb");
  LineReader reader(input, 64);
  std::string line;
  EXPECT_TRUE(reader.Next(&line));
  EXPECT_EQ(line, "a");
  EXPECT_FALSE(reader.Next(&line));  // "b" never ended: the input failed
  EXPECT_EQ(reader.status().code, LevelCode::ReadFailed);
  EXPECT_EQ(reader.status().reason, "Input/output error");
}

}  // namespace
}  // namespace ornivale
