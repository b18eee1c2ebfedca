#pragma once

#include <windows.h>

namespace ornivale {

// Paints one item of an owner-drawn drop-down list, or its selection field,
// in the list colours; the selected (and the focused closed) item in the
// system's highlight colours. Owner drawing is what makes the colours show
// on a closed list under visual styles, which ignore WM_CTLCOLOR*.
void DrawFlagListItem(const DRAWITEMSTRUCT& item, HBRUSH background,
                      UINT dpi);

}  // namespace ornivale
