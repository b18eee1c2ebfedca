#pragma once

#include <string>
#include <vector>

#include "level/window_services.h"

namespace ornivale::cli {

// The window services for one level on the command line: the two lists are
// plain selections, the path is the level's, and every message the core
// would show in a box is kept for the terminal.
class ConsoleWindow : public WindowServices {
 public:
  explicit ConsoleWindow(std::string path) : path_(std::move(path)) {}

  // The log narrates a load step by step for the window's user; a terminal
  // shows results and failures only.
  void AddLog(const std::string&) override {}
  void SetFlagSelection(FlagList list, int position) override {
    (list == FlagList::c1 ? c1_ : c2_) = position;
  }
  int GetFlagSelection(FlagList list) const override {
    return list == FlagList::c1 ? c1_ : c2_;
  }
  std::string GetLevelPath() const override { return path_; }
  void ShowMessage(const std::string& text, const std::string&,
                   MessageIcon icon) override {
    if (icon == MessageIcon::Critical) failures_.push_back(text);
  }

  const std::vector<std::string>& Failures() const { return failures_; }

 private:
  std::string path_;
  int c1_ = -1;
  int c2_ = -1;
  std::vector<std::string> failures_;
};

}  // namespace ornivale::cli
