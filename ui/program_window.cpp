#include "ui/program_window.h"

#include "ui/dpi.h"
#include "ui/resource_ids.h"

namespace ornivale {
namespace {

HICON LoadIconSized(HINSTANCE instance, int width, int height) {
  return static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDI_ORNIVALE), IMAGE_ICON, width, height, 0));
}

}  // namespace

bool RegisterProgramWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                                HBRUSH background) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, name, &existing)) return true;

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconSized(instance, 32, 32);
  window_class.hIconSm =
      LoadIconSized(instance, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = background;
  window_class.lpszClassName = name;
  return RegisterClassExW(&window_class) != 0;
}

void WindowIcons::SetFor(HWND window, HINSTANCE instance, UINT dpi) {
  // The window lets go of the icons it showed before they go.
  Icon big(
      LoadIconSized(instance, SystemMetricAt(SM_CXICON, dpi), SystemMetricAt(SM_CYICON, dpi)));
  Icon small(LoadIconSized(instance, SystemMetricAt(SM_CXSMICON, dpi),
                           SystemMetricAt(SM_CYSMICON, dpi)));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  big_ = std::move(big);
  small_ = std::move(small);
}

}  // namespace ornivale
