#include "win32/gdi.hpp"

#include <algorithm>
#include <cmath>

namespace px::win32 {

COLORREF ToColorRef(forms::Color colour) {
    if (forms::IsSystemColor(colour)) return GetSysColor(static_cast<int>(colour & 0xFFu));
    return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

int FontHeight(double points, int dpiY) { return -static_cast<int>(std::lround(points * dpiY / 72.0)); }

HFONT FontCache::Get(const forms::Font& font, int dpiY) {
    const auto key = std::make_tuple(font.Name, std::lround(font.Size * 100), font.Bold, font.Italic, dpiY);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second.get();
    HFONT created = CreateFontA(FontHeight(font.Size, dpiY), 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL,
                                font.Italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                font.Name.c_str());
    return fonts_.emplace(key, GdiObject<HFONT>(created)).first->second.get();
}

HBRUSH BrushCache::Get(COLORREF colour) {
    auto found = brushes_.find(colour);
    if (found != brushes_.end()) return found->second.get();
    return brushes_.emplace(colour, GdiObject<HBRUSH>(CreateSolidBrush(colour))).first->second.get();
}

int SurfaceScale::ToPixelX(double x) const {
    return static_cast<int>(std::lround(Pixels ? x : x / TwipsPerPixelX));
}
int SurfaceScale::ToPixelY(double y) const {
    return static_cast<int>(std::lround(Pixels ? y : y / TwipsPerPixelY));
}

namespace {

// Both corners belong to a box, as the programs expect; GDI leaves out the right and bottom.
RECT InclusiveRect(int x1, int y1, int x2, int y2) {
    return RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
}

struct FigurePainter {
    HDC dc;
    const SurfaceScale& scale;
    const RECT& client;
    BrushCache& brushes;

    void operator()(const forms::PointFigure& p) const {
        const int x = scale.ToPixelX(p.X), y = scale.ToPixelY(p.Y);
        const COLORREF colour = ToColorRef(p.Colour);
        if (p.Width <= 1) {
            SetPixel(dc, x, y, colour);
            return;
        }
        const int half = p.Width / 2;
        Selected brush(dc, brushes.Get(colour));
        Selected pen(dc, GetStockObject(NULL_PEN));
        Ellipse(dc, x - half, y - half, x - half + p.Width + 1, y - half + p.Width + 1);
    }
    void operator()(const forms::LineFigure& l) const {
        GdiObject<HPEN> pen(CreatePen(PS_SOLID, std::max(1, l.Width), ToColorRef(l.Colour)));
        Selected chosen(dc, pen.get());
        MoveToEx(dc, scale.ToPixelX(l.X1), scale.ToPixelY(l.Y1), nullptr);
        LineTo(dc, scale.ToPixelX(l.X2), scale.ToPixelY(l.Y2));
    }
    void operator()(const forms::BoxFigure& b) const {
        const RECT r = InclusiveRect(scale.ToPixelX(b.X1), scale.ToPixelY(b.Y1), scale.ToPixelX(b.X2),
                                     scale.ToPixelY(b.Y2));
        const COLORREF colour = ToColorRef(b.Colour);
        if (b.Filled) {
            FillRect(dc, &r, brushes.Get(colour));
            return;
        }
        GdiObject<HPEN> pen(CreatePen(PS_INSIDEFRAME, std::max(1, b.Width), colour));
        Selected chosen(dc, pen.get());
        Selected hollow(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
    }
    void operator()(const forms::ClearFigure& c) const { FillRect(dc, &client, brushes.Get(ToColorRef(c.Background))); }
};

}  // namespace

void DrawFigure(HDC dc, const forms::Figure& figure, const SurfaceScale& scale, const RECT& client,
                BrushCache& brushes) {
    std::visit(FigurePainter{dc, scale, client, brushes}, figure);
}

void DrawFigures(HDC dc, const std::vector<forms::Figure>& figures, const SurfaceScale& scale,
                 const RECT& client, BrushCache& brushes) {
    for (const auto& figure : figures) DrawFigure(dc, figure, scale, client, brushes);
}

void DrawShape(HDC dc, const forms::Control& shape, const SurfaceScale& twips, BrushCache& brushes) {
    const int left = twips.ToPixelX(shape.Left()), top = twips.ToPixelY(shape.Top());
    const RECT r{left, top, left + twips.ToPixelX(shape.Width()), top + twips.ToPixelY(shape.Height())};
    FillRect(dc, &r, brushes.Get(ToColorRef(shape.BackColor())));
    FrameRect(dc, &r, brushes.Get(ToColorRef(shape.ForeColor())));
}

}  // namespace px::win32
