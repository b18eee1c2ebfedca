#include "tests/gui/own_history.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "level/ports/disk.h"

namespace ornivale::gui_test {

Variable::Variable(const wchar_t* name, const std::wstring& value) : name_(name) {
  SetEnvironmentVariableW(name, value.c_str());
}

Variable::~Variable() { SetEnvironmentVariableW(name_, nullptr); }

std::vector<Record> WithItsOwnHistory::Changes() const {
  std::vector<Record> changes;
  const Bytes bytes = ReadBytes(history_);
  std::string text(bytes.begin(), bytes.end());
  std::string why;
  for (std::size_t end; (end = text.find('\n')) != std::string::npos; text.erase(0, end + 1)) {
    auto record = ParseRecord(text.substr(0, end), Disk::Default(), &why);
    EXPECT_TRUE(record && (record->change || record->left)) << why;
    if (record && record->change) changes.push_back(std::move(*record));
  }
  return changes;
}

}  // namespace ornivale::gui_test
