// The screen as the start-up and right-button programs measure it, in pixels.
#pragma once

namespace px {

struct PixelRect {
    int Left, Top, Right, Bottom;
};

class DisplayPort {
public:
    virtual ~DisplayPort() = default;
    virtual int ScreenWidth() = 0;   // GetSystemMetrics(SM_CXSCREEN)
    virtual int ScreenHeight() = 0;  // GetSystemMetrics(SM_CYSCREEN)
    // The desktop less the task bar (SPI_GETWORKAREA).
    virtual PixelRect WorkArea() = 0;
    virtual double TwipsPerPixelX() = 0;
    virtual double TwipsPerPixelY() = 0;
};

}  // namespace px
