#include "cli/json_reader.h"

#include <cstdlib>

#include "level/utf8.h"

namespace ornivale::cli {
namespace {

constexpr int kMaxDepth = 16;

// A recursive descent over RFC 8259, failing at the first byte that does
// not fit.
class Parser {
 public:
  explicit Parser(const std::string& text) : text_(text) {}

  bool Whole(JsonValue& value) {
    if (!Value(value, 0)) return false;
    Space();
    return at_ == text_.size();
  }

 private:
  bool Value(JsonValue& value, int depth) {
    if (depth > kMaxDepth) return false;
    Space();
    if (at_ == text_.size()) return false;
    switch (text_[at_]) {
      case '{': return Object(value, depth);
      case '[': return Array(value, depth);
      case '"':
        value.kind = JsonValue::Kind::String;
        return String(value.text);
      case 't': return Word("true", value, JsonValue::Kind::Boolean, true);
      case 'f': return Word("false", value, JsonValue::Kind::Boolean, false);
      case 'n': return Word("null", value, JsonValue::Kind::Null, false);
      default: return Number(value);
    }
  }

  bool Object(JsonValue& value, int depth) {
    value.kind = JsonValue::Kind::Object;
    ++at_;
    if (Next('}')) return true;
    do {
      Space();
      std::pair<std::string, JsonValue> member;
      if (!String(member.first) || !Next(':') ||
          !Value(member.second, depth + 1)) {
        return false;
      }
      value.members.push_back(std::move(member));
    } while (Next(','));
    return Next('}');
  }

  bool Array(JsonValue& value, int depth) {
    value.kind = JsonValue::Kind::Array;
    ++at_;
    if (Next(']')) return true;
    do {
      value.items.emplace_back();
      if (!Value(value.items.back(), depth + 1)) return false;
    } while (Next(','));
    return Next(']');
  }

  bool Word(const char* word, JsonValue& value, JsonValue::Kind kind,
            bool boolean) {
    const std::string expected = word;
    if (text_.compare(at_, expected.size(), expected) != 0) return false;
    at_ += expected.size();
    value.kind = kind;
    value.boolean = boolean;
    return true;
  }

  bool Number(JsonValue& value) {
    const std::size_t start = at_;
    Take('-');
    if (Take('0')) {
    } else if (!Digits()) {
      return false;
    }
    if (Take('.') && !Digits()) return false;
    if (Take('e') || Take('E')) {
      if (!Take('+')) Take('-');
      if (!Digits()) return false;
    }
    value.kind = JsonValue::Kind::Number;
    value.number = std::strtod(text_.substr(start, at_ - start).c_str(), nullptr);
    return true;
  }

  bool String(std::string& out) {
    if (!Take('"')) return false;
    while (at_ < text_.size()) {
      const auto c = static_cast<unsigned char>(text_[at_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c != '\\') {
        out += static_cast<char>(c);
      } else if (!Escape(out)) {
        return false;
      }
    }
    return false;
  }

  bool Escape(std::string& out) {
    if (at_ == text_.size()) return false;
    const char c = text_[at_++];
    switch (c) {
      case '"': case '\\': case '/': out += c; return true;
      case 'b': out += '\b'; return true;
      case 'f': out += '\f'; return true;
      case 'n': out += '\n'; return true;
      case 'r': out += '\r'; return true;
      case 't': out += '\t'; return true;
      case 'u': break;
      default: return false;
    }
    // One UTF-16 unit, or a surrogate pair of two escapes; a lone
    // surrogate is no text.
    char16_t units[2] = {};
    if (!Hex(units[0]) || IsLow(units[0])) return false;
    const bool pair = units[0] >= 0xD800 && units[0] <= 0xDBFF;
    if (pair && (!Take('\\') || !Take('u') || !Hex(units[1]) || !IsLow(units[1]))) {
      return false;
    }
    out += Utf16ToUtf8(std::u16string(units, pair ? 2 : 1));
    return true;
  }

  static bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

  bool Hex(char16_t& unit) {
    if (text_.size() - at_ < 4) return false;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      int digit;
      if (c >= '0' && c <= '9') digit = c - '0';
      else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      else return false;
      unit = static_cast<char16_t>((unit << 4) | digit);
    }
    return true;
  }

  bool Digits() {
    const std::size_t start = at_;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
    return at_ > start;
  }

  bool Take(char c) {
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

  bool Next(char c) {
    Space();
    return Take(c);
  }

  void Space() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                  text_[at_] == '\n' || text_[at_] == '\r')) {
      ++at_;
    }
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

}  // namespace

const JsonValue* JsonValue::Member(const std::string& name) const {
  for (const auto& member : members) {
    if (member.first == name) return &member.second;
  }
  return nullptr;
}

std::optional<JsonValue> ParseJson(const std::string& text) {
  JsonValue value;
  if (!Parser(text).Whole(value)) return std::nullopt;
  return value;
}

}  // namespace ornivale::cli
