#pragma once

#include <windows.h>

namespace ornivale {

// The log and both flag lists: white text on light blue (VB's &H00FF8080).
inline constexpr COLORREF kListBackground = RGB(128, 128, 255);
inline constexpr COLORREF kListText = RGB(255, 255, 255);
// The path label and the lists' labels: white text over the background picture.
inline constexpr COLORREF kLabelText = RGB(255, 255, 255);

}  // namespace ornivale
