#include "win32/display_api.hpp"

namespace px::win32 {

PixelRect DisplayApi::WorkArea() {
    RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return {area.left, area.top, area.right, area.bottom};
}

void DisplayApi::ApplyDoubleClickArea(int width, int height) {
    // The registry already holds the values; no broadcast either, the metric is read when needed.
    ::SystemParametersInfoA(SPI_SETDOUBLECLKWIDTH, static_cast<UINT>(width), nullptr, 0);
    ::SystemParametersInfoA(SPI_SETDOUBLECLKHEIGHT, static_cast<UINT>(height), nullptr, 0);
}

double DisplayApi::TwipsPerPixel(int axis) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, axis) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

}  // namespace px::win32
