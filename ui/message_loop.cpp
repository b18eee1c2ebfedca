#include "ui/message_loop.h"

namespace ornivale {

void ProcessMessage(HWND main_window, MSG& message) {
  if (IsWindow(main_window) && IsDialogMessageW(main_window, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int RunMessageLoop(HWND main_window) {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    ProcessMessage(main_window, message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace ornivale
