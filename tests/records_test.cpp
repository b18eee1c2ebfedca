// The JSON lines about levels: what is written, and what is read back from
// them and from any other input.
#include <gtest/gtest.h>

#include "level/history/records.h"
#include "tests/test_support.h"

namespace ornivale {
namespace {

using testing::MemoryDisk;

LevelScan Flags(int16_t lara, int16_t weather) {
  LevelScan scan;
  scan.flags[kLara].Value = lara;
  scan.flags[kWeather].Value = weather;
  return scan;
}

std::optional<Record> Read(const std::string& line, std::string* why = nullptr) {
  MemoryDisk disk;
  std::string ignored;
  return ParseRecord(line, disk, why ? why : &ignored);
}

TEST(RecordsWritten, TextsValuesAndEscapedPaths) {
  EXPECT_EQ(ShowJson("a\"b\\c\n.trc", Flags(6, 0)),
            R"({"path":"a\"b\\c\n.trc","lara":{"value":6,"text":"Invisible"},)"
            R"("weather":{"value":0,"text":"Normal Weather"}})");
  EXPECT_EQ(ShowJson("\x01.trc", Flags(2, -1)),
            R"({"path":"\u0001.trc","lara":{"value":2,"text":null},)"
            R"("weather":{"value":-1,"text":null}})");
  EXPECT_EQ(CheckJson("c.trc", Flags(3, 1), false),
            R"({"path":"c.trc","lara":{"value":3,"text":"Catsuit"},)"
            R"("weather":{"value":1,"text":"Rain"},"matches":false})");
  EXPECT_EQ(SetJson("c.trc", {3, 1}, {4, 1}),
            R"({"path":"c.trc","lara":{"value":4,"text":"Divesuit"},)"
            R"("weather":{"value":1,"text":"Rain"},"before":{"lara":{"value":3,)"
            R"("text":"Catsuit"},"weather":{"value":1,"text":"Rain"}},"changed":true})");
  EXPECT_EQ(FailureJson(Failure(LevelCode::CutShort, "c.trc"), "it \"ends\""),
            R"({"path":"c.trc","error":{"code":"cut-short","message":"it \"ends\""}})");
}

// A name that is not UTF-8 is shown with U+FFFD and carried whole in
// "path_hex": the line stays JSON, and reads back to the very same name.
TEST(RecordsWritten, NamesThatAreNotUtf8GoWholeIntoPathHex) {
  const std::string name = "lev\xFF" "el.trc";
  const std::string line = ShowJson(name, Flags(3, 1));
  EXPECT_EQ(line.rfind(R"({"path":"lev\ufffdel.trc","path_hex":"6c6576ff656c2e747263",)", 0),
            0u)
      << line;
  const auto record = Read(line);
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->path, name);
  // A lone surrogate of a Windows name, as the core carries it.
  const std::string lone = "a\xED\xA0\x80.trc";
  EXPECT_EQ(Read(ShowJson(lone, Flags(3, 1)))->path, lone);
  EXPECT_EQ(Read(FailureJson(Failure(LevelCode::InUse, name), "m"))->path, name);
}

TEST(RecordsWritten, AChangeReadsBackAsItWasWritten) {
  ChangeDetails change;
  change.offset = 62;
  change.before = {0x03, 0x00, 0xFF, 0xFF};
  change.written = {0x04, 0x00, 0xFF, 0xFF};
  change.time = "2026-12-09T05:10:00.123Z";
  change.program = "ornivale-cli restore";
  change.file = LevelIdentity{0x801, 0xfffffffffffffff1u, 0x0123456789abcdefu,
                              1765256400123456789, 4096, 1765256300000000000};
  change.undoes_last = true;
  const std::string line = ChangeJson("/l/c.trc", change);
  EXPECT_EQ(line,
            R"({"path":"/l/c.trc","lara":{"value":4,"text":"Divesuit"},)"
            R"("weather":{"value":-1,"text":null},"before":{"lara":{"value":3,)"
            R"("text":"Catsuit"},"weather":{"value":-1,"text":null}},"changed":true,)"
            R"("time":"2026-12-09T05:10:00.123Z","program":"ornivale-cli restore",)"
            R"("offset":62,"bytes":{"before":"0300ffff","written":"0400ffff"},)"
            R"("file":{"volume":"0000000000000801","index":"fffffffffffffff1",)"
            R"("fingerprint":"0123456789abcdef","modified":1765256400123456789,)"
            R"("size":4096,"born":1765256300000000000},"undoes":"last","v":3})");
  const auto record = Read(line);
  ASSERT_TRUE(record && record->change);
  EXPECT_EQ(record->change->offset, 62);
  EXPECT_EQ(record->change->before, change.before);
  EXPECT_EQ(record->change->written, change.written);
  EXPECT_EQ(record->change->program, "ornivale-cli restore");
  ASSERT_TRUE(record->change->file.has_value());
  EXPECT_TRUE(record->change->file->Untouched(*change.file));
  EXPECT_EQ(record->change->file->size, 4096);
  EXPECT_EQ(record->change->file->born, change.file->born);
  EXPECT_TRUE(record->change->undoes_last);
  EXPECT_EQ(record->values, (FlagValues{4, -1}));
  EXPECT_EQ(*record->before, (FlagValues{3, -1}));

  // How it left the level, on a line of its own.
  const ChangeLeft left{62, change.written, *change.file};
  const auto read_left = Read(LeftJson("/l/c.trc", left));
  ASSERT_TRUE(read_left && read_left->left);
  EXPECT_EQ(read_left->path, "/l/c.trc");
  EXPECT_EQ(read_left->left->offset, 62);
  EXPECT_EQ(read_left->left->written, change.written);
  EXPECT_TRUE(read_left->left->file.Untouched(*change.file));
}

// A line whose "file" or "undoes" is broken is no line the history wrote;
// a later format's line is read for what this one knows of it.
TEST(RecordsWritten, TheFileAndTheUndoAreWholeOrTheLineIsBroken) {
  ChangeDetails change;
  change.file = LevelIdentity{1, 2, 3, 4, 5, 6};
  const std::string line = ChangeJson("/l/c.trc", change);
  const std::string left = LeftJson("/l/c.trc", ChangeLeft{0, {}, *change.file});
  const auto with = [&](std::string changed, const std::string& from, const std::string& to) {
    changed.replace(changed.find(from), from.size(), to);
    return Read(changed);
  };
  for (const std::string& whole : {line, left}) {
    EXPECT_FALSE(with(whole, R"("index":"0000000000000002",)", "").has_value());
    EXPECT_FALSE(with(whole, R"("0000000000000003")", R"("3")").has_value());
    EXPECT_FALSE(with(whole, R"(,"born":6)", "").has_value()) << "the third format's birth";
    EXPECT_FALSE(with(whole, R"("v":3)", R"("v":0)").has_value());
  }
  EXPECT_FALSE(with(line, R"("v":3)", R"("undoes":"all","v":3)").has_value());
  EXPECT_FALSE(with(left, R"("bytes":"00000000")", R"("bytes":"00")").has_value());
  // The second format kept no size or birth.
  const auto second = with(line, R"(,"size":5,"born":6},"v":3)", R"(},"v":2)");
  ASSERT_TRUE(second && second->change && second->change->file);
  EXPECT_EQ(second->change->format, 2);
  EXPECT_EQ(second->change->file->size, -1);
  const auto later = with(line, R"("v":3)", R"("v":4,"seen":[1])");
  ASSERT_TRUE(later && later->change && later->change->file);
  EXPECT_EQ(later->change->file->fingerprint, 3u);
}

// Every value a level can store is written and read back as itself.
TEST(RecordsWritten, EveryStoredValueReadsBack) {
  for (int32_t value = -32768; value <= 32767; value += 7) {
    const auto record = Read(ShowJson("a.trc", Flags(static_cast<int16_t>(value), 0)));
    ASSERT_TRUE(record.has_value()) << value;
    ASSERT_EQ(record->values[kLara], value);
  }
}

// "m0":0,"m1":0,… and 0,0,…: `count` members of an object, elements of an
// array.
std::string Members(int count) {
  std::string members;
  for (int i = 0; i < count; ++i) members += (i ? ",\"m" : "\"m") + std::to_string(i) + "\":0";
  return members;
}
std::string Elements(int count) {
  std::string elements = "0";
  for (int i = 1; i < count; ++i) elements += ",0";
  return elements;
}

TEST(RecordsRead, OnlyLinesThatAreRecords) {
  const struct {
    std::string line;
    const char* why;
  } refused[] = {
      {"not json", "isn't a line that show, check, set or history printed with --json"},
      {R"({"path":"a.trc","lara":{"value":3}})", "isn't a line"},
      {R"({"path":7,"lara":{"value":3},"weather":{"value":1}})", "isn't a line"},
      {R"(["a.trc",3,1])", "isn't a line"},
      {R"({"path":"a.trc","lara":{"value":3},"weather":{"value":1}} extra)", "isn't a line"},
      {R"({"path":"a.trc","lara":{"value":3.5},"weather":{"value":1}})",
       "gives a value that is not a whole number"},
      {R"({"path":"a.trc","lara":{"value":1e-400},"weather":{"value":1}})",
       "gives a value that is not a whole number"},
      {R"({"path":"a.trc","lara":{"value":4.0000000000000001},"weather":{"value":1}})",
       "gives a value that is not a whole number"},
      {R"({"path":"a.trc","lara":{"value":4e0},"weather":{"value":1}})",
       "gives a value that is not a whole number"},
      {R"({"path":"a.trc","lara":{"value":65536},"weather":{"value":1}})",
       "gives a value out of the range -32768 to 65535"},
      {R"({"path":"a.trc","lara":{"value":-32769},"weather":{"value":1}})",
       "gives a value out of the range"},
      {R"({"path":"a.trc","lara":{"value":99999999999999999999},"weather":{"value":1}})",
       "gives a value"},
      {R"({"path":"a.trc","lara":{"value":3},"lara":{"value":4},"weather":{"value":1}})",
       "names the member \"lara\" twice"},
      {R"({"path":"a.trc","path":"b.trc","lara":{"value":3},"weather":{"value":1}})",
       "names the member \"path\" twice"},
      {R"({"path":"y.tr4\u0000.trc","lara":{"value":3},"weather":{"value":1}})",
       "names a path that no file can have"},
      {R"({"path":"a.trc","path_hex":"622e747263","lara":{"value":3},"weather":{"value":1}})",
       "has a \"path_hex\" that is not its path's"},
      {R"({"path":"a\ud83d.trc","lara":{"value":3},"weather":{"value":1}})", "isn't a line"},
      {"{\"path\":\"a\xFF.trc\",\"lara\":{\"value\":3},\"weather\":{\"value\":1}}", "isn't a line"},
      {R"({"path":"a.trc","lara":{"value":3},"weather":{"value":1},"x":)" +
           std::string(100, '[') + std::string(100, ']') + "}",
       "nests deeper than a record does"},
      {R"({"path":"a.trc","lara":{"value":3},"weather":{"value":1},"x":{)" + Members(90000) + "}}",
       "holds more members than a record does"},
      {R"({"path":"a.trc","lara":{"value":3},"weather":{"value":1},"x":[)" + Elements(65) + "]}",
       "holds more members than a record does"},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.line);
    std::string why;
    EXPECT_FALSE(Read(c.line, &why).has_value());
    EXPECT_EQ(why.rfind(c.why, 0), 0u) << why;
  }
  std::string why;
  EXPECT_TRUE(Read(R"({"path":"a.trc","lara":{"value":3},"weather":{"value":1},"x":[)" +
                       Elements(64) + "]}",
                   &why)
                  .has_value())
      << why;
}

TEST(RecordsRead, ShowSetAndFailureLinesAndMembersOfOtherTools) {
  auto record = Read(R"({"path":"a.trc","lara":{"value":-1,"text":null},"weather":{"value":65535}})");
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->values, (FlagValues{-1, 65535}));
  EXPECT_FALSE(record->before.has_value());

  record = Read(SetJson("b.trc", {3, 1}, {4, 2}));
  ASSERT_TRUE(record && record->before);
  EXPECT_EQ(*record->before, (FlagValues{3, 1}));
  EXPECT_FALSE(record->change.has_value());

  record = Read(R"({"path":"c.trc","error":{"code":"cut-short","message":"m"}})");
  ASSERT_TRUE(record.has_value());
  EXPECT_TRUE(record->failure);

  record = Read(R"({"note":"kept","path":"d.trc","lara":{"value":3,"extra":null},)"
                R"("weather":{"value":1},"x":[[[[{"y":[1,2.5e3,true]}]]]]})");
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->path, "d.trc");
}

}  // namespace
}  // namespace ornivale
