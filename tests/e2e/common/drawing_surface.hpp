// Where a window of ours draws: its largest picture surface (the form binding's "PxSurface").
#pragma once

#include <windows.h>

#include <initializer_list>

#include "e2e/windows.hpp"

namespace bench {

inline HWND DrawingSurface(HWND window) {
    HWND best = nullptr;
    LONG bestArea = 0;
    for (const auto& c : e2e::ListControls(window)) {
        if (c.className != "PxSurface") continue;
        const LONG area = (c.screenRect.right - c.screenRect.left) * (c.screenRect.bottom - c.screenRect.top);
        if (area > bestArea) best = c.window, bestArea = area;
    }
    return best;
}

// A pen stroke through the points, posted as a held left button moving over the surface.
inline void Stroke(HWND surface, std::initializer_list<POINT> points) {
    const POINT first = *points.begin();
    PostMessageA(surface, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.x, first.y));
    for (const POINT& p : points) PostMessageA(surface, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    const POINT last = *(points.end() - 1);
    PostMessageA(surface, WM_LBUTTONUP, 0, MAKELPARAM(last.x, last.y));
}

}  // namespace bench
