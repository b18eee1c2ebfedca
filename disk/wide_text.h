#pragma once

#include <string>

// Windows speaks UTF-16 (its wide API); the core speaks UTF-8.
namespace ornivale {

std::wstring Wide(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);

}  // namespace ornivale
