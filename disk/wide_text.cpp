#include "disk/wide_text.h"

#include "level/text/utf8.h"

namespace ornivale {

// wchar_t is a UTF-16 unit on Windows, so the conversions copy unit by unit.
std::wstring Wide(const std::string& utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string Narrow(const std::wstring& utf16) {
  return Utf16ToUtf8(std::u16string(utf16.begin(), utf16.end()));
}

}  // namespace ornivale
