#include "cli/level_records.h"

#include <optional>

#include "cli/json_reader.h"
#include "level/flag_vocabulary.h"

namespace ornivale::cli {
namespace {

// A stored value as a record holds it: 0 to 65535, or -32768 to -1 as a
// scan decodes the values from 32768 up.
std::optional<uint16_t> StoredValue(const JsonValue* flag) {
  if (!flag || flag->kind != JsonValue::Kind::Object) return std::nullopt;
  const JsonValue* value = flag->Member("value");
  if (!value || value->kind != JsonValue::Kind::Number) return std::nullopt;
  const double number = value->number;
  if (number < -32768 || number > 65535 ||
      number != static_cast<double>(static_cast<int32_t>(number))) {
    return std::nullopt;
  }
  return static_cast<uint16_t>(static_cast<int32_t>(number));
}

// Whether `line` is a record, and which: false for anything else.
bool TakeRecord(const std::string& line, Records& records) {
  const std::optional<JsonValue> record = ParseJson(line);
  if (!record || record->kind != JsonValue::Kind::Object) return false;
  const JsonValue* path = record->Member("path");
  if (!path || path->kind != JsonValue::Kind::String) return false;
  if (const JsonValue* error = record->Member("error")) {
    if (error->kind != JsonValue::Kind::Object) return false;
    records.failed_paths.push_back(path->text);
    return true;
  }
  const JsonValue* before = record->Member("before");
  const JsonValue& values = before ? *before : *record;
  LevelRecord level{path->text, {}};
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    level.values.values[i] = StoredValue(values.Member(kFlags[i].key));
    if (!level.values.values[i]) return false;
  }
  records.levels.push_back(std::move(level));
  return true;
}

bool Blank(const std::string& line) {
  return line.find_first_not_of(" \t\r") == std::string::npos;
}

}  // namespace

Records ReadRecords(std::istream& in) {
  Records records;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (Blank(line)) continue;
    if (!TakeRecord(line, records)) {
      return Records{{}, {}, number};
    }
  }
  return records;
}

}  // namespace ornivale::cli
