#include "cli/flag_report.h"

#include <cstdio>

#include "level/flag_vocabulary.h"
#include "level/utf8.h"

namespace ornivale::cli {
namespace {

template <typename Entries>
const char* EntryText(const Entries& entries, std::optional<int> position) {
  return position ? entries[*position].text : nullptr;
}

const char* LaraText(int32_t value) {
  return EntryText(LaraTypes, LaraPosition(value));
}

const char* WeatherText(int32_t value) {
  return EntryText(WeatherTypes, WeatherPosition(value));
}

std::string Describe(const char* text, int32_t value) {
  return std::string(text ? text : "unknown") + " (" + std::to_string(value) +
         ")";
}

// A JSON string. Bytes that are not UTF-8 (a Linux file name may hold any)
// become U+FFFD, so the line stays valid JSON.
std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (char c : Utf16ToUtf8(Utf8ToUtf16(text))) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20) {
      char escaped[7];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

std::string FlagJson(const char* text, int32_t value) {
  return "{\"value\":" + std::to_string(value) +
         ",\"text\":" + (text ? JsonString(text) : "null") + "}";
}

}  // namespace

std::string DescribeFlags(const LevelScan& scan) {
  const int32_t lara = scan.lara.Value;
  const int32_t weather = scan.weather.Value;
  return "Lara type " + Describe(LaraText(lara), lara) + ", weather " +
         Describe(WeatherText(weather), weather);
}

std::string FlagsJson(const std::string& path, const LevelScan& scan) {
  const int32_t lara = scan.lara.Value;
  const int32_t weather = scan.weather.Value;
  return "{\"path\":" + JsonString(path) +
         ",\"lara\":" + FlagJson(LaraText(lara), lara) +
         ",\"weather\":" + FlagJson(WeatherText(weather), weather) + "}";
}

std::string FailureJson(const LevelStatus& status, const std::string& message) {
  return "{\"path\":" + JsonString(status.path) +
         ",\"error\":{\"code\":" + JsonString(CodeName(status.code)) +
         ",\"message\":" + JsonString(message) + "}}";
}

}  // namespace ornivale::cli
