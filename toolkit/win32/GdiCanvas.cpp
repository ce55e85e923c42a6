#include "toolkit/win32/GdiCanvas.h"

namespace toolkit::win32 {

RECT ToRect(const Rect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

Rect FromRect(const RECT& rect) { return Rect{rect.left, rect.top, rect.right, rect.bottom}; }

GdiCanvas::GdiCanvas(HDC dc, bool selected, HFONT font)
    : dc_(dc),
      saved_(SaveDC(dc)),
      brush_(GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW)) {
    if (font != nullptr) SelectObject(dc_, font);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
}

GdiCanvas::~GdiCanvas() { RestoreDC(dc_, saved_); }

void GdiCanvas::FillRect(const Rect& rect) {
    const RECT area = ToRect(rect);
    ::FillRect(dc_, &area, brush_);
}

void GdiCanvas::DrawImage(std::uintptr_t list, int image, int x, int y) {
    ImageList_Draw(reinterpret_cast<HIMAGELIST>(list), image, dc_, x, y, ILD_TRANSPARENT);
}

void GdiCanvas::DrawText(const std::string& text, const Rect& rect, std::uint32_t flags) {
    RECT area = ToRect(rect);
    ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &area, flags);
}

}  // namespace toolkit::win32
