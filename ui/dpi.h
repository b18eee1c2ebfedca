#pragma once

#include <windows.h>

// DPI queries that use the per-monitor functions of Windows 10 1607 and
// later when they exist, and the system DPI on older Windows.
namespace ornivale {

UINT SystemDpi();
UINT DpiForWindow(HWND window);
// The outer size of a window whose client area is `client` at `dpi`.
SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD ex_style, UINT dpi);
// GetSystemMetrics(`index`) for a window at `dpi`.
int SystemMetricAt(int index, UINT dpi);
// The font Windows uses for message boxes, sized for `dpi`.
LOGFONTW MessageFontAt(UINT dpi);

}  // namespace ornivale
