// GDI ownership and the caches the form windows share: fonts, brushes, colours, figures.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "forms/form.hpp"

namespace px::win32 {

struct GdiDeleter {
    void operator()(HGDIOBJ object) const {
        if (object) DeleteObject(object);
    }
};
template <class Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiDeleter>;

// A window's DC, released in one place.
class WindowDC {
public:
    explicit WindowDC(HWND window, DWORD flags = DCX_CACHE | DCX_CLIPCHILDREN | DCX_CLIPSIBLINGS)
        : window_(window), dc_(GetDCEx(window, nullptr, flags)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Puts the DC's previous object back when it goes.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, previous_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

COLORREF ToColorRef(forms::Color colour);

// Font height in logical units for a point size at the screen's vertical DPI.
int FontHeight(double points, int dpiY);

// One font per face, size and style at each DPI a window has been at.
class FontCache {
public:
    HFONT Get(const forms::Font& font, int dpiY);

private:
    std::map<std::tuple<std::string, long, bool, bool, int>, GdiObject<HFONT>> fonts_;
};

class BrushCache {
public:
    HBRUSH Get(COLORREF colour);

private:
    std::map<COLORREF, GdiObject<HBRUSH>> brushes_;
};

// How a surface's units map to pixels.
struct SurfaceScale {
    double TwipsPerPixelX = 15;
    double TwipsPerPixelY = 15;
    bool Pixels = false;
    int ToPixelX(double x) const;
    int ToPixelY(double y) const;
    double FromPixelX(int x) const { return Pixels ? x : x * TwipsPerPixelX; }
    double FromPixelY(int y) const { return Pixels ? y : y * TwipsPerPixelY; }
};

void DrawFigure(HDC dc, const forms::Figure& figure, const SurfaceScale& scale, const RECT& client,
                BrushCache& brushes);
void DrawFigures(HDC dc, const std::vector<forms::Figure>& figures, const SurfaceScale& scale,
                 const RECT& client, BrushCache& brushes);

// A Shape control: a rectangle of its BackColor framed in its ForeColor, in twips of its container.
void DrawShape(HDC dc, const forms::Control& shape, const SurfaceScale& twips, BrushCache& brushes);

// A memory DC for blitting a bitmap, deleted in one place.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

}  // namespace px::win32
