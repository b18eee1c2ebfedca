#pragma once

#include <string>
#include <vector>

#include "level/history/records.h"
#include "tests/gui/level_files.h"

namespace ornivale::gui_test {

// Sets a variable of this process's environment, which the program it
// starts inherits, for as long as it lives.
class Variable {
 public:
  Variable(const wchar_t* name, const std::wstring& value);
  ~Variable();
  Variable(const Variable&) = delete;
  Variable& operator=(const Variable&) = delete;

 private:
  const wchar_t* name_;
};

// A history of the test's own, named in the environment that the program
// inherits: set before the program starts.
class WithItsOwnHistory {
 protected:
  // The history's changes, each read back as a record (how each left its
  // level, on a line of its own, aside).
  std::vector<Record> Changes() const;

  TempFolder folder_;
  const std::wstring history_ = folder_.Write(L"history.jsonl", {});
  const Variable variable_{L"ORNIVALE_HISTORY", history_};
};

}  // namespace ornivale::gui_test
