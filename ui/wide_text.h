#pragma once

#include <string>

// The window speaks UTF-16 to Windows and UTF-8 to the level core.
namespace ornivale {

std::wstring Wide(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);

}  // namespace ornivale
