#include "ui/message_loop.h"

namespace ornivale {
namespace {

// A window property: freed with the window, the table it names with the
// program.
constexpr wchar_t kShortcuts[] = L"Ornivale.Shortcuts";

}  // namespace

void UseWindowKeys(HWND window, int shortcuts_id) {
  const HACCEL shortcuts =
      LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(shortcuts_id));
  SetPropW(window, kShortcuts, shortcuts);
}

void ProcessMessage(MSG& message) {
  const HWND window = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  const auto shortcuts = window ? static_cast<HACCEL>(GetPropW(window, kShortcuts)) : nullptr;
  if (shortcuts) {
    if (TranslateAcceleratorW(window, shortcuts, &message)) return;
    if (IsDialogMessageW(window, &message)) return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int RunMessageLoop() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) ProcessMessage(message);
  return static_cast<int>(message.wParam);
}

}  // namespace ornivale
