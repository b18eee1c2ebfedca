#pragma once

#include <windows.h>

// Where frmMain's controls sit, in twips (1440 to the inch), and their
// conversion to pixels at a given DPI.
namespace ornivale::layout {

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

inline constexpr SIZE kClientTwips{9540, 7170};

inline constexpr TwipsRect l{120, 120, 4695, 1035};
inline constexpr TwipsRect c1{120, 1320, 4695, 315};
inline constexpr TwipsRect c2{120, 1800, 4695, 315};
// The lists' labels, right of the lists and in their rows.
inline constexpr TwipsRect WeatherLabel{4995, 1320, 1500, 315};
inline constexpr TwipsRect LaraTypeLabel{4995, 1800, 1500, 315};
inline constexpr TwipsRect Label1{120, 2280, 4695, 1335};
inline constexpr TwipsRect Command4{120, 6480, 1575, 615};
inline constexpr TwipsRect Command3{1800, 6480, 1575, 615};
inline constexpr TwipsRect Command2{6240, 6480, 1575, 615};
inline constexpr TwipsRect Command1{7920, 6480, 1575, 615};

// The background picture's own size, in pixels at 96 DPI.
inline constexpr SIZE kBackgroundPixels{640, 480};

inline int TwipsToPixels(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), 1440);
}

// Left and width are converted on their own, like top and height, so every
// control keeps its size wherever it sits.
inline RECT ToPixels(const TwipsRect& r, UINT dpi) {
  const int left = TwipsToPixels(r.left, dpi);
  const int top = TwipsToPixels(r.top, dpi);
  return RECT{left, top, left + TwipsToPixels(r.width, dpi),
              top + TwipsToPixels(r.height, dpi)};
}

inline SIZE ClientPixels(UINT dpi) {
  return SIZE{TwipsToPixels(kClientTwips.cx, dpi),
              TwipsToPixels(kClientTwips.cy, dpi)};
}

}  // namespace ornivale::layout
