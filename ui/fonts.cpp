#include "ui/fonts.h"

#include <cwchar>

#include "ui/dpi.h"

namespace ornivale {

GdiHandle<HFONT> CreateControlFont(UINT dpi) {
  LOGFONTW font{};
  // 8.25 pt, written as hundredths of a point over 72 points to the inch.
  font.lfHeight = -MulDiv(825, static_cast<int>(dpi), 7200);
  font.lfWeight = FW_BOLD;
  font.lfCharSet = DEFAULT_CHARSET;
  std::wcscpy(font.lfFaceName, L"MS Sans Serif");
  return GdiHandle<HFONT>(CreateFontIndirectW(&font));
}

GdiHandle<HFONT> CreateButtonFont(UINT dpi) {
  LOGFONTW font = MessageFontAt(dpi);
  font.lfWeight = FW_NORMAL;
  return GdiHandle<HFONT>(CreateFontIndirectW(&font));
}

}  // namespace ornivale
