// Where a window of ours draws: its largest picture surface (the form binding's "PxSurface").
#pragma once

#include <windows.h>

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

}  // namespace bench
