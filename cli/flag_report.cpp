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

// The "lara" and "weather" members of a level's JSON.
std::string FlagMembers(const LevelScan& scan) {
  const int32_t lara = scan.lara.Value;
  const int32_t weather = scan.weather.Value;
  return "\"lara\":" + FlagJson(LaraText(lara), lara) +
         ",\"weather\":" + FlagJson(WeatherText(weather), weather);
}

std::string JsonBool(bool value) { return value ? "true" : "false"; }

bool ValuesDiffer(const LevelScan& a, const LevelScan& b) {
  return a.lara.Value != b.lara.Value || a.weather.Value != b.weather.Value;
}

// A value as the level stores it, the way a scan decodes it.
int32_t Stored(uint16_t value) { return static_cast<int16_t>(value); }

}  // namespace

std::string DescribeFlags(const LevelScan& scan) {
  const int32_t lara = scan.lara.Value;
  const int32_t weather = scan.weather.Value;
  return "Lara type " + Describe(LaraText(lara), lara) + ", weather " +
         Describe(WeatherText(weather), weather);
}

std::string DescribeSet(const LevelScan& before, const LevelScan& after) {
  const auto change = [](const char* (*text)(int32_t), int32_t was,
                         int32_t now) {
    const std::string held = Describe(text(was), was);
    return was == now ? held : held + " -> " + Describe(text(now), now);
  };
  const std::string line =
      "Lara type " + change(LaraText, before.lara.Value, after.lara.Value) +
      ", weather " +
      change(WeatherText, before.weather.Value, after.weather.Value);
  return ValuesDiffer(before, after) ? line : line + ", unchanged";
}

std::string DescribeDifference(const LevelScan& scan, const FlagChange& asked) {
  const auto held = [](const char* (*text)(int32_t), int32_t value,
                       std::optional<uint16_t> wanted) {
    std::string line = Describe(text(value), value);
    if (wanted && Stored(*wanted) != value) {
      line += ", not " + Describe(text(Stored(*wanted)), Stored(*wanted));
    }
    return line;
  };
  return "Lara type " + held(LaraText, scan.lara.Value, asked.lara) +
         ", weather " + held(WeatherText, scan.weather.Value, asked.weather);
}

std::string FlagsJson(const std::string& path, const LevelScan& scan) {
  return "{\"path\":" + JsonString(path) + "," + FlagMembers(scan) + "}";
}

std::string SetJson(const std::string& path, const LevelScan& before,
                    const LevelScan& after) {
  return "{\"path\":" + JsonString(path) + "," + FlagMembers(after) +
         ",\"before\":{" + FlagMembers(before) +
         "},\"changed\":" + JsonBool(ValuesDiffer(before, after)) + "}";
}

std::string CheckJson(const std::string& path, const LevelScan& scan,
                      bool matches) {
  return "{\"path\":" + JsonString(path) + "," + FlagMembers(scan) +
         ",\"matches\":" + JsonBool(matches) + "}";
}

std::string FailureJson(const LevelStatus& status, const std::string& message) {
  return "{\"path\":" + JsonString(status.path) +
         ",\"error\":{\"code\":" + JsonString(CodeName(status.code)) +
         ",\"message\":" + JsonString(message) + "}}";
}

}  // namespace ornivale::cli
