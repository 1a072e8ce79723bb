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
    // The double-click area of the running session (SPI_SETDOUBLECLKWIDTH/HEIGHT): the registry
    // values are read only at logon, before the start-up program runs.
    virtual void ApplyDoubleClickArea(int width, int height) = 0;
};

}  // namespace px
