#include "ui/flag_list_drawing.h"

#include <string>

#include "ui/list_colours.h"

namespace ornivale {
namespace {

std::wstring ItemText(HWND combo, UINT index) {
  const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, index,
                                      reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

}  // namespace

void DrawFlagListItem(const DRAWITEMSTRUCT& item, HBRUSH background,
                      UINT dpi) {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const HDC dc = item.hDC;
  RECT area = item.rcItem;
  FillRect(dc, &area, selected ? GetSysColorBrush(COLOR_HIGHLIGHT)
                               : background);

  if (item.itemID != static_cast<UINT>(-1)) {
    const std::wstring text = ItemText(item.hwndItem, item.itemID);
    const COLORREF old_colour = SetTextColor(
        dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : kListText);
    const int old_mode = SetBkMode(dc, TRANSPARENT);
    RECT text_area = area;
    // The same inset as a plain list's text: two pixels at 96 DPI.
    text_area.left += MulDiv(2, static_cast<int>(dpi), 96);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_area,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetBkMode(dc, old_mode);
    SetTextColor(dc, old_colour);
  }

  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
    DrawFocusRect(dc, &area);
  }
}

}  // namespace ornivale
