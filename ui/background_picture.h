#pragma once

#include <windows.h>

#include "ui/gdi_handle.h"

namespace ornivale {

// The picture behind frmMain's controls, scaled from its 96-DPI size to the
// window's DPI. It also gives the brush with which the transparent-looking
// path label paints its background, so the picture shows through it.
class BackgroundPicture {
 public:
  BackgroundPicture(HINSTANCE instance, int resource_id);

  void ScaleTo(UINT dpi);
  // Draws the picture at the top-left corner of `dc`.
  void Paint(HDC dc) const;
  // The picture as a brush for painting `child` of `parent` through `dc`.
  HBRUSH BrushFor(HDC dc, HWND child, HWND parent) const;

 private:
  GdiHandle<HBITMAP> original_;
  GdiHandle<HBITMAP> scaled_;
  GdiHandle<HBRUSH> brush_;
  SIZE size_{};
};

}  // namespace ornivale
