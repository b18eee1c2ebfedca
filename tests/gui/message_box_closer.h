#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "tests/gui/window_queries.h"

namespace ornivale::gui_test {

// Answers every message box that this process shows, the way a user who
// reads it and presses OK would, and remembers what each one said. It runs
// on a thread of its own because a message box holds the window's thread
// until it is closed.
class MessageBoxCloser {
 public:
  MessageBoxCloser();
  ~MessageBoxCloser();
  MessageBoxCloser(const MessageBoxCloser&) = delete;
  MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

  // The boxes answered so far, in order.
  std::vector<MessageBoxContents> Seen() const;

 private:
  void Watch();

  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<MessageBoxContents> seen_;
  std::set<HWND> answered_;
  std::thread thread_;
};

}  // namespace ornivale::gui_test
