#include "ui/background_picture.h"

namespace ornivale {
namespace {

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  return SIZE{info.bmWidth, info.bmHeight};
}

}  // namespace

BackgroundPicture::BackgroundPicture(HINSTANCE instance, int resource_id)
    : original_(static_cast<HBITMAP>(
          LoadImageW(instance, MAKEINTRESOURCEW(resource_id), IMAGE_BITMAP, 0,
                     0, LR_CREATEDIBSECTION))) {}

void BackgroundPicture::ScaleTo(UINT dpi) {
  if (!original_) return;
  const SIZE source = BitmapSize(original_.get());
  size_ = SIZE{MulDiv(source.cx, static_cast<int>(dpi), 96),
               MulDiv(source.cy, static_cast<int>(dpi), 96)};

  const HDC screen = GetDC(nullptr);
  const HDC from = CreateCompatibleDC(screen);
  const HDC to = CreateCompatibleDC(screen);
  scaled_.reset(CreateCompatibleBitmap(screen, size_.cx, size_.cy));
  const HGDIOBJ old_from = SelectObject(from, original_.get());
  const HGDIOBJ old_to = SelectObject(to, scaled_.get());
  SetStretchBltMode(to, HALFTONE);
  SetBrushOrgEx(to, 0, 0, nullptr);
  StretchBlt(to, 0, 0, size_.cx, size_.cy, from, 0, 0, source.cx, source.cy,
             SRCCOPY);
  SelectObject(to, old_to);
  SelectObject(from, old_from);
  DeleteDC(to);
  DeleteDC(from);
  ReleaseDC(nullptr, screen);

  brush_.reset(CreatePatternBrush(scaled_.get()));
}

void BackgroundPicture::Paint(HDC dc) const {
  if (!scaled_) return;
  const HDC source = CreateCompatibleDC(dc);
  const HGDIOBJ old = SelectObject(source, scaled_.get());
  BitBlt(dc, 0, 0, size_.cx, size_.cy, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

HBRUSH BackgroundPicture::BrushFor(HDC dc, HWND child, HWND parent) const {
  POINT origin{0, 0};
  MapWindowPoints(child, parent, &origin, 1);
  // The brush tiles from the child's own origin: shift it so the child's
  // pixels take the picture's pixels that lie beneath it.
  SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
  return brush_.get();
}

}  // namespace ornivale
