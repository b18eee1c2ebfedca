#pragma once

#include <string>

namespace ornivale {

// Conversions between the core's UTF-8 texts and the UTF-16 of Windows'
// wide API. A malformed sequence becomes U+FFFD. A Windows name may hold a
// lone surrogate, which no UTF-8 text holds: it is carried as the three
// bytes that would encode it (as WTF-8 does), so that every name comes back
// to the file it named.
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);

// Whether `text` is UTF-8 through and through: no malformed sequence and no
// lone surrogate.
bool IsUtf8(const std::string& text);

// `text` with each malformed sequence and lone surrogate made U+FFFD: UTF-8
// to show, which may name another file than `text`.
std::string ReplaceInvalidUtf8(const std::string& text);

}  // namespace ornivale
