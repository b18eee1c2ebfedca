#pragma once

#include <windows.h>

#include "ui/gdi_handle.h"

namespace ornivale {

// "MS Sans Serif" 8.25 pt bold: the log, the two lists and the path label.
GdiHandle<HFONT> CreateControlFont(UINT dpi);
// The buttons' font: the message font of Windows at regular weight.
GdiHandle<HFONT> CreateButtonFont(UINT dpi);

}  // namespace ornivale
