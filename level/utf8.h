#pragma once

#include <string>

namespace ornivale {

// Conversions between the core's UTF-8 texts and the UTF-16 of Windows'
// wide API. A malformed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace ornivale
