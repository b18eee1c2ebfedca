#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ornivale::cli {

// A JSON value as read: enough of JSON for the records ornivale-cli prints
// and reads back.
struct JsonValue {
  enum class Kind { Null, Boolean, Number, String, Array, Object };
  Kind kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;  // a string's UTF-8
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;

  // The object's member `name`, null when there is none or this is no
  // object.
  const JsonValue* Member(const std::string& name) const;
};

// The one JSON value that `text` holds, with white space around it; none
// when it holds anything else or nests deeper than a record ever does.
std::optional<JsonValue> ParseJson(const std::string& text);

}  // namespace ornivale::cli
