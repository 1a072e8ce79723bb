// The display measured with the real API.
#pragma once

#include <windows.h>

#include "shared/display_port.hpp"

namespace px::win32 {

class DisplayApi final : public DisplayPort {
public:
    int ScreenWidth() override { return ::GetSystemMetrics(SM_CXSCREEN); }
    int ScreenHeight() override { return ::GetSystemMetrics(SM_CYSCREEN); }
    PixelRect WorkArea() override;
    double TwipsPerPixelX() override { return TwipsPerPixel(LOGPIXELSX); }
    double TwipsPerPixelY() override { return TwipsPerPixel(LOGPIXELSY); }
    void ApplyDoubleClickArea(int width, int height) override;

private:
    static double TwipsPerPixel(int axis);
};

}  // namespace px::win32
