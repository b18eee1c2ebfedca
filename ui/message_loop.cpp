#include "ui/message_loop.h"

#include "ui/resource_ids.h"

namespace ornivale {

void ProcessMessage(HWND main_window, MSG& message) {
  // The program's keyboard shortcuts come first, whichever control has the
  // focus.
  static const HACCEL shortcuts =
      LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDA_ORNIVALE));
  if (IsWindow(main_window) && shortcuts &&
      TranslateAcceleratorW(main_window, shortcuts, &message)) {
    return;
  }
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
