// A Canvas over the device context of one owner-drawn item, with the brush
// and text colour of the item's state already chosen.
#pragma once

#include "toolkit/Controls.h"
#include "toolkit/win32/Win32.h"

namespace toolkit::win32 {

class GdiCanvas : public Canvas {
public:
    GdiCanvas(HDC dc, bool selected, HFONT font);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    void FillRect(const Rect& rect) override;
    void DrawImage(std::uintptr_t list, int image, int x, int y) override;
    void DrawText(const std::string& text, const Rect& rect, std::uint32_t flags) override;

private:
    HDC dc_;
    int saved_;
    HBRUSH brush_;  // a system colour brush: not ours to delete
};

RECT ToRect(const Rect& rect);
Rect FromRect(const RECT& rect);

}  // namespace toolkit::win32
