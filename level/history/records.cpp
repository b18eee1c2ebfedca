#include "level/history/records.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

#include <nlohmann/json.hpp>

#include "level/format/field_codec.h"
#include "level/text/utf8.h"
#include "level/words/failure_words.h"

namespace ornivale {
namespace {

// Members keep the order they are written in.
using Json = nlohmann::ordered_json;

// Deeper than any record: refused before it is built, so that a line of a
// million brackets costs no memory.
constexpr std::size_t kDeepest = 16;

const char kNotARecord[] =
    "isn't a line that show, check, set or history printed with --json";

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += digits[byte >> 4];
    hex += digits[byte & 0x0F];
  }
  return hex;
}

std::optional<std::string> FromHex(const std::string& hex) {
  const auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = digit(hex[i]);
    const int low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high << 4 | low);
  }
  return bytes;
}

template <std::size_t N>
std::string HexOf(const std::array<uint8_t, N>& bytes, const LevelFormat& kind) {
  return Hex(std::string(bytes.begin(), bytes.begin() + kind.RecordBytes()));
}

Json Path(const std::string& path) {
  Json json;
  json["path"] = ReplaceInvalidUtf8(path);
  if (!IsUtf8(path)) json["path_hex"] = Hex(path);
  return json;
}

void AddFlags(Json& json, const FlagValues& values) {
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    const char* text = kFlags[i].entries.TextOf(values[i]);
    json[kFlags[i].key] = {{"value", values[i]},
                           {"text", text ? Json(text) : Json(nullptr)}};
  }
}

std::string Line(const Json& json, JsonText text = JsonText::Ascii) {
  return json.dump(-1, ' ', text == JsonText::Ascii, Json::error_handler_t::replace);
}

Json SetObject(const std::string& path, const FlagValues& before,
               const FlagValues& after) {
  Json json = Path(path);
  AddFlags(json, after);
  Json was;
  AddFlags(was, before);
  json["before"] = was;
  json["changed"] = before != after;
  return json;
}

// Lines are read into this: what is read needs no order, and a map finds a
// member quickly.
using Parsed = nlohmann::json;

// More members than any record has, in one object or array: refused as
// soon as it is met, so that a line of a million members costs no time.
constexpr std::size_t kMostMembers = 64;

// Builds the line's value in one pass, refusing it as soon as its shape is
// none of a record's: nested too deep, an object that names a member twice,
// too many members.
class Shape {
 public:
  using number_integer_t = Parsed::number_integer_t;
  using number_unsigned_t = Parsed::number_unsigned_t;
  using number_float_t = Parsed::number_float_t;
  using string_t = Parsed::string_t;
  using binary_t = Parsed::binary_t;

  explicit Shape(Parsed* value) : build_(*value, false) {}
  std::string why;

  bool null() { return Member() && build_.null(); }
  bool boolean(bool value) { return Member() && build_.boolean(value); }
  bool number_integer(number_integer_t value) { return Member() && build_.number_integer(value); }
  bool number_unsigned(number_unsigned_t value) {
    return Member() && build_.number_unsigned(value);
  }
  bool number_float(number_float_t value, const string_t& text) {
    return Member() && build_.number_float(value, text);
  }
  bool string(string_t& value) { return Member() && build_.string(value); }
  bool binary(binary_t& value) { return Member() && build_.binary(value); }
  bool start_object(std::size_t count) {
    if (!Member() || !Deeper()) return false;
    open_.push_back({true, {}, 0});
    return build_.start_object(count);
  }
  bool key(string_t& name) {
    std::vector<std::string>& keys = open_.back().keys;
    if (std::find(keys.begin(), keys.end(), name) != keys.end()) {
      why = "names the member \"" + ReplaceInvalidUtf8(name) + "\" twice";
      return false;
    }
    if (keys.size() == kMostMembers) return TooMany();
    keys.push_back(name);
    return build_.key(name);
  }
  bool end_object() {
    open_.pop_back();
    return build_.end_object();
  }
  bool start_array(std::size_t count) {
    if (!Member() || !Deeper()) return false;
    open_.push_back({false, {}, 0});
    return build_.start_array(count);
  }
  bool end_array() {
    open_.pop_back();
    return build_.end_array();
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
    if (why.empty()) why = kNotARecord;
    return false;
  }

 private:
  struct Open {
    bool object;
    std::vector<std::string> keys;
    std::size_t elements;  // of an array
  };

  // A value, as an array's element is counted.
  bool Member() {
    if (open_.empty() || open_.back().object) return true;
    return ++open_.back().elements <= kMostMembers || TooMany();
  }
  bool Deeper() {
    if (open_.size() < kDeepest) return true;
    why = "nests deeper than a record does";
    return false;
  }
  bool TooMany() {
    why = "holds more members than a record does";
    return false;
  }

  nlohmann::detail::json_sax_dom_parser<Parsed> build_;
  std::vector<Open> open_;
};

// Reads the values of the flags a record's kind holds: whole numbers in
// range.
bool TakeValues(const Parsed& object, const LevelFormat& kind, FlagValues* values,
                std::string* why) {
  if (!object.is_object()) return false;
  for (const FlagPlace& place : kind) {
    const std::size_t i = place.flag;
    const auto flag = object.find(kFlags[i].key);
    if (flag == object.end() || !flag->is_object()) return false;
    const auto value = flag->find("value");
    if (value == flag->end() || !value->is_number()) return false;
    if (!value->is_number_integer()) {
      *why = "gives a value that is not a whole number";
      return false;
    }
    const bool in_range = value->is_number_unsigned()
                              ? value->get<uint64_t>() <= 65535
                              : value->get<int64_t>() >= -32768 && value->get<int64_t>() <= 65535;
    if (!in_range) {
      *why = "gives a value out of the range -32768 to 65535";
      return false;
    }
    (*values)[i] = static_cast<int32_t>(value->get<int64_t>());
  }
  return true;
}

std::string HexNumber(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::optional<uint64_t> NumberOfHex(const Parsed& json) {
  if (!json.is_string() || json.get<std::string>().size() != 16) return std::nullopt;
  const auto bytes = FromHex(json.get<std::string>());
  if (!bytes) return std::nullopt;
  uint64_t value = 0;
  for (char byte : *bytes) value = value << 8 | static_cast<unsigned char>(byte);
  return value;
}

std::optional<int64_t> WholeNumber(const Parsed& json, const char* name) {
  const auto found = json.find(name);
  if (found == json.end() || !found->is_number_integer()) return std::nullopt;
  return found->get<int64_t>();
}

// "file": all its members, or the line is broken; its size and birth time
// only where its line's format records them.
std::optional<LevelIdentity> IdentityIn(const Parsed& json, int format) {
  const auto file = json.find("file");
  if (file == json.end() || !file->is_object()) return std::nullopt;
  const auto member = [&](const char* name) {
    const auto found = file->find(name);
    return found == file->end() ? std::optional<uint64_t>() : NumberOfHex(*found);
  };
  const auto volume = member("volume");
  const auto index = member("index");
  const auto fingerprint = member("fingerprint");
  const auto modified = WholeNumber(*file, "modified");
  if (!volume || !index || !fingerprint || !modified) return std::nullopt;
  LevelIdentity identity{*volume, *index, *fingerprint, *modified};
  if (format >= 3) {
    const auto size = WholeNumber(*file, "size");
    const auto born = WholeNumber(*file, "born");
    if (!size || *size < 0 || !born) return std::nullopt;
    identity.size = *size;
    identity.born = *born;
  }
  return identity;
}

Json IdentityJson(const LevelIdentity& file, int format) {
  Json json = {{"volume", HexNumber(file.volume)},
               {"index", HexNumber(file.index)},
               {"fingerprint", HexNumber(file.fingerprint)},
               {"modified", file.modified}};
  if (format >= 3) {
    json["size"] = file.size;
    json["born"] = file.born;
  }
  return json;
}

// The format a line says it has: 1 where it says none.
std::optional<int> FormatOf(const Parsed& json) {
  const auto v = json.find("v");
  if (v == json.end()) return 1;
  if (!v->is_number_unsigned() || v->get<uint64_t>() < 2 ||
      v->get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int>::max())) {
    return std::nullopt;
  }
  return static_cast<int>(v->get<uint64_t>());
}

// The flags' bytes of a record of `kind`: as many as its values take.
std::optional<std::array<uint8_t, kFlagBytes>> FlagBytes(const Parsed& json,
                                                         const LevelFormat& kind) {
  if (!json.is_string()) return std::nullopt;
  const auto bytes = FromHex(json.get<std::string>());
  if (!bytes || bytes->size() != kind.RecordBytes()) return std::nullopt;
  std::array<uint8_t, kFlagBytes> flags{};
  std::copy(bytes->begin(), bytes->end(), flags.begin());
  return flags;
}

// The kind of level a line names by "format": TRC where it names none,
// null for a kind this program does not know.
const LevelFormat* KindOf(const Parsed& json) {
  const auto format = json.find("format");
  if (format == json.end()) return &kTrcFormat;
  return format->is_string() ? FormatNamed(format->get<std::string>()) : nullptr;
}

// The history's members of a change, all or none.
bool TakeChange(const Parsed& json, Record* record) {
  const auto bytes = json.find("bytes");
  if (bytes == json.end()) return true;
  const auto offset = json.find("offset");
  const auto time = json.find("time");
  const auto program = json.find("program");
  if (!bytes->is_object() || offset == json.end() || !offset->is_number_unsigned() ||
      time == json.end() || !time->is_string() || program == json.end() ||
      !program->is_string()) {
    return false;
  }
  const auto before = bytes->find("before");
  const auto written = bytes->find("written");
  if (before == bytes->end() || written == bytes->end()) return false;
  const auto before_bytes = FlagBytes(*before, *record->kind);
  const auto written_bytes = FlagBytes(*written, *record->kind);
  if (!before_bytes || !written_bytes) return false;
  ChangeDetails change;
  change.kind = record->kind;
  change.offset = static_cast<int64_t>(offset->get<uint64_t>());
  change.before = *before_bytes;
  change.written = *written_bytes;
  change.time = time->get<std::string>();
  change.program = program->get<std::string>();
  const auto undoes = json.find("undoes");
  if (undoes != json.end() && *undoes != "last") return false;
  change.undoes_last = undoes != json.end();
  const auto format = FormatOf(json);
  if (!format) return false;
  change.format = *format;
  if (json.contains("file")) {
    change.file = IdentityIn(json, change.format);
    if (!change.file) return false;
  }
  // The values are the bytes': a line whose values say otherwise is no
  // line the history wrote.
  if (ValuesOfBytes(change.written, *change.kind) != record->values || !record->before ||
      ValuesOfBytes(change.before, *change.kind) != *record->before) {
    return false;
  }
  record->change = std::move(change);
  return true;
}

// The record's path: "path", or the bytes of "path_hex" where "path" could
// only show it.
bool TakePath(const Parsed& json, Disk& disk, Record* record, std::string* why) {
  const auto path = json.find("path");
  if (path == json.end() || !path->is_string()) return false;
  record->path = path->get<std::string>();
  const auto hex = json.find("path_hex");
  if (hex != json.end()) {
    const auto bytes = hex->is_string() ? FromHex(hex->get<std::string>()) : std::nullopt;
    if (!bytes || ReplaceInvalidUtf8(*bytes) != record->path) {
      *why = "has a \"path_hex\" that is not its path's";
      return false;
    }
    record->path = *bytes;
  }
  if (!disk.CanNameAFile(record->path)) {
    *why = "names a path that no file can have";
    return false;
  }
  return true;
}

// A line of how a change left its level: all its members, or it is none.
bool TakeLeft(const Parsed& json, Record* record) {
  const auto left = json.find("left");
  const auto format = FormatOf(json);
  if (!left->is_object() || !format || *format < 3) return false;
  const auto offset = left->find("offset");
  const auto bytes = left->find("bytes");
  if (offset == left->end() || !offset->is_number_unsigned() || bytes == left->end()) {
    return false;
  }
  const auto written = FlagBytes(*bytes, *record->kind);
  const auto file = IdentityIn(json, *format);
  if (!written || !file) return false;
  record->left =
      ChangeLeft{static_cast<int64_t>(offset->get<uint64_t>()), *written, *file, record->kind};
  return true;
}

}  // namespace

FlagValues ValuesOfBytes(const std::array<uint8_t, kFlagBytes>& bytes, const LevelFormat& kind) {
  FlagValues values{};
  for (const FlagPlace& place : kind) values[place.flag] = ReadWord(&bytes[place.offset]).Value;
  return values;
}

FlagChange ChangeTo(const FlagValues& values, const LevelFormat& kind) {
  FlagChange change;
  for (const FlagPlace& place : kind) change.values[place.flag] = StoredValue(values[place.flag]);
  return change;
}

std::string NothingRecordedJson(const std::string& path) {
  Json json = Path(path);
  json["recorded"] = false;
  return Line(json);
}

std::string NothingToApplyJson(const std::string& path) {
  Json json = Path(path);
  json["to_apply"] = false;
  return Line(json);
}

FlagValues ValuesOf(const LevelScan& scan) {
  FlagValues values{};
  for (std::size_t i = 0; i < kFlagCount; ++i) values[i] = scan.Value(i);
  return values;
}

std::string ShowJson(const std::string& path, const LevelScan& scan) {
  Json json = Path(path);
  AddFlags(json, ValuesOf(scan));
  return Line(json);
}

std::string CheckJson(const std::string& path, const LevelScan& scan, bool matches) {
  Json json = Path(path);
  AddFlags(json, ValuesOf(scan));
  json["matches"] = matches;
  return Line(json);
}

std::string SetJson(const std::string& path, const FlagValues& before,
                    const FlagValues& after) {
  return Line(SetObject(path, before, after));
}

std::string ChangeJson(const std::string& path, const ChangeDetails& change,
                       JsonText text) {
  Json json = SetObject(path, ValuesOfBytes(change.before, *change.kind),
                        ValuesOfBytes(change.written, *change.kind));
  json["time"] = change.time;
  json["program"] = change.program;
  json["offset"] = change.offset;
  json["bytes"] = {{"before", HexOf(change.before, *change.kind)},
                   {"written", HexOf(change.written, *change.kind)}};
  if (change.file) json["file"] = IdentityJson(*change.file, change.format);
  if (change.undoes_last) json["undoes"] = "last";
  if (change.format >= 2) json["v"] = change.format;
  return Line(json, text);
}

std::string LeftJson(const std::string& path, const ChangeLeft& left, JsonText text) {
  Json json = Path(path);
  json["left"] = {{"offset", left.offset}, {"bytes", HexOf(left.written, *left.kind)}};
  json["file"] = IdentityJson(left.file, kHistoryFormat);
  json["v"] = kHistoryFormat;
  return Line(json, text);
}

std::string FailureJson(const LevelStatus& status, const std::string& message) {
  Json json = Path(status.path);
  json["error"] = {{"code", CodeName(status.code)}, {"message", ReplaceInvalidUtf8(message)}};
  return Line(json);
}

std::optional<Record> ParseRecord(const std::string& line, Disk& disk, std::string* why,
                                  bool* newer) {
  why->clear();
  if (newer) *newer = false;
  Parsed json;
  Shape shape(&json);
  if (!Parsed::sax_parse(line, &shape)) {
    *why = shape.why.empty() ? kNotARecord : shape.why;
    return std::nullopt;
  }
  Record record;
  const auto refuse = [&]() -> std::optional<Record> {
    if (why->empty()) *why = kNotARecord;
    if (newer && json.is_object()) {
      const auto format = FormatOf(json);
      const auto kind = json.find("format");
      *newer = (format && *format > kHistoryFormat) ||
               (kind != json.end() && kind->is_string() && !KindOf(json));
    }
    return std::nullopt;
  };
  if (!json.is_object() || !TakePath(json, disk, &record, why)) return refuse();
  const LevelFormat* kind = KindOf(json);
  if (!kind) return refuse();
  record.kind = kind;
  if (const auto error = json.find("error"); error != json.end()) {
    if (!error->is_object()) return refuse();
    record.failure = true;
    return record;
  }
  if (json.contains("left")) return TakeLeft(json, &record) ? std::optional(record) : refuse();
  if (!TakeValues(json, *kind, &record.values, why)) return refuse();
  if (const auto before = json.find("before"); before != json.end()) {
    record.before.emplace();
    if (!TakeValues(*before, *kind, &*record.before, why)) return refuse();
  }
  if (!TakeChange(json, &record)) return refuse();
  return record;
}

}  // namespace ornivale
