#include "tests/gui/message_box_closer.h"

#include <iterator>

namespace ornivale::gui_test {

MessageBoxCloser::MessageBoxCloser() : thread_([this] { Watch(); }) {}

MessageBoxCloser::~MessageBoxCloser() {
  stop_ = true;
  thread_.join();
}

std::vector<MessageBoxContents> MessageBoxCloser::Seen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

void MessageBoxCloser::Watch() {
  while (!stop_) {
    // A closed box's handle may come back for a later box.
    for (auto it = answered_.begin(); it != answered_.end();) {
      it = IsWindow(*it) ? std::next(it) : answered_.erase(it);
    }
    for (HWND box : DialogsOf(GetCurrentProcessId())) {
      if (answered_.count(box)) continue;
      MessageBoxContents contents = ReadMessageBox(box);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back(std::move(contents));
      }
      answered_.insert(box);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    Sleep(20);
  }
}

}  // namespace ornivale::gui_test
