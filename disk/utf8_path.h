#pragma once

#include <filesystem>
#include <string>

namespace ornivale {

// std::filesystem paths from and to the UTF-8 that the core speaks, the same
// in C++17 and C++20 (where u8string() gives char8_t and u8path is
// deprecated). On Windows a path's own text is UTF-16, built from the UTF-8.
inline std::filesystem::path PathFromUtf8(const std::string& utf8) {
#ifdef __cpp_char8_t
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
  return std::filesystem::u8path(utf8);
#endif
}

inline std::string Utf8OfPath(const std::filesystem::path& path) {
  const auto utf8 = path.u8string();
  return std::string(utf8.begin(), utf8.end());
}

}  // namespace ornivale
