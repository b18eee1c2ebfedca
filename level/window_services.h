#pragma once

#include <string>

#include "level/format/flag_vocabulary.h"

namespace ornivale {

enum class MessageIcon { Critical, Information };

// What the level logic may ask of the window. The core reaches the window
// only through this, so it runs and is tested without one.
class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // Appends a line at the end of the activity log.
  virtual void AddLog(const std::string& text) = 0;
  // Selects entry `position` of `list`; -1 leaves the list with no selection.
  virtual void SetFlagSelection(FlagList list, int position) = 0;
  // The selected position of `list`, -1 when nothing is selected.
  virtual int GetFlagSelection(FlagList list) const = 0;
  // The path of the file the user last picked (UTF-8).
  virtual std::string GetLevelPath() const = 0;
  // Shows a modal message box with an OK button; returns when it is closed.
  virtual void ShowMessage(const std::string& text, const std::string& title,
                           MessageIcon icon) = 0;
};

}  // namespace ornivale
