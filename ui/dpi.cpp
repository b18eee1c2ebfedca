#include "ui/dpi.h"

namespace ornivale {
namespace {

// A user32 function that older Windows lacks; null there.
template <typename Function>
Function User32Function(const char* name) {
  const FARPROC proc = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
  // Through void(*)(), the one function type every other converts to
  // without a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD,
                                                 UINT);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT,
                                                   UINT);

}  // namespace

UINT SystemDpi() {
  static const auto get_dpi_for_system =
      User32Function<GetDpiForSystemFn>("GetDpiForSystem");
  if (get_dpi_for_system) return get_dpi_for_system();
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT DpiForWindow(HWND window) {
  static const auto get_dpi_for_window =
      User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (get_dpi_for_window) {
    if (const UINT dpi = get_dpi_for_window(window)) return dpi;
  }
  return SystemDpi();
}

SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD ex_style, UINT dpi) {
  static const auto adjust_for_dpi =
      User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, client.cx, client.cy};
  if (!adjust_for_dpi || !adjust_for_dpi(&rect, style, FALSE, ex_style, dpi)) {
    AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  }
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

int SystemMetricAt(int index, UINT dpi) {
  static const auto metrics_for_dpi =
      User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (metrics_for_dpi) return metrics_for_dpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

LOGFONTW MessageFontAt(UINT dpi) {
  static const auto parameters_for_dpi =
      User32Function<SystemParametersInfoForDpiFn>(
          "SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (parameters_for_dpi &&
      parameters_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                         dpi)) {
    return metrics.lfMessageFont;
  }
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW font = metrics.lfMessageFont;
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi),
                         static_cast<int>(SystemDpi()));
  return font;
}

}  // namespace ornivale
