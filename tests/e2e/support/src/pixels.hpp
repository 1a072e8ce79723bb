// Screen and icon pixels, for screenshots and for reading a message box's icon off the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace e2e::detail {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rows;  // top-down, 0x00RRGGBB

    std::uint32_t at(int x, int y) const { return rows[static_cast<std::size_t>(y) * width + x]; }
    bool empty() const { return rows.empty(); }
};

// What the screen shows in rect (screen coordinates); empty on failure.
Pixels CaptureScreen(const RECT& rect);
// The icon drawn at width x height over a plain background.
Pixels RenderIcon(HICON icon, int width, int height, COLORREF background);

}  // namespace e2e::detail
