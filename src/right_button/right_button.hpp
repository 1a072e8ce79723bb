// PXwNTcrb: the always-on-top button that makes the next touch act as the right mouse button.
#pragma once

#include <cstdint>
#include <string>

#include "shared/display_port.hpp"
#include "shared/driver_channel.hpp"
#include "shared/ports.hpp"
#include "shared/rbf_window_port.hpp"

namespace px {

inline constexpr char kRightButtonTitle[] = " TouchScreen Right-Button #PX-K17-COM";
inline constexpr char kRbfDesignCaption[] = "TouchScreen Right Button";
inline constexpr char kRbfIcon[] = "IDI_RBF";
inline constexpr double kActionTwips = 600;  // cmdAction is square

// The caption frmMain takes at start.
std::string RbfCaption();
// "RBF_WndProc Fail! wParam=...h, lParam=...h" for a WM_USER the program does not know.
std::string RbfFailureText(std::uintptr_t wParam, std::intptr_t lParam);

// Window handles are 32 bits significant; the record keeps them as such.
std::int32_t RecordedHandle(WindowHandle window);
WindowHandle HandleFromRecord(std::int32_t recorded);

struct RbfPlacement {
    int Left, Top, Width, Height;  // pixels
};
// The window fitted around the button, its outer lower-right corner on the work area's.
RbfPlacement PlaceRbfWindow(PixelSize outer, PixelSize inner, PixelRect workArea, double twipsPerPixelX,
                            double twipsPerPixelY);

struct RightButtonPorts {
    DevicePort& Device;
    UiPort& Ui;
    ProcessPort& Process;
    WindowMessagePort& Windows;
    EventLoopPort& Events;
    DisplayPort& Display;
    RbfWindowPort& Window;
};

class RightButtonProgram final : public RbfWindowEvents {
public:
    explicit RightButtonProgram(RightButtonPorts ports);
    RightButtonProgram(const RightButtonProgram&) = delete;
    RightButtonProgram& operator=(const RightButtonProgram&) = delete;

    // Creates, registers, places and shows the window. False when the program is to end
    // instead: no driver (already told), or another copy registered (shown instead).
    bool Start();

    bool Waiting() const { return waitFlag_ != 0; }
    bool Unloaded() const { return unloaded_; }
    WindowHandle Handle() const { return handle_; }
    DriverChannel& Channel() { return channel_; }

    // RbfWindowEvents
    std::intptr_t UserMessage(std::uintptr_t wParam, std::intptr_t lParam) override;
    void ActionClick() override;
    void KeyPress(int keyAscii) override;
    void MouseDown(int buttons) override;
    void CloseRequested() override;

private:
    void Unload();

    RightButtonPorts ports_;
    DriverChannel channel_;
    WindowHandle handle_ = 0;
    std::int16_t waitFlag_ = 0;
    bool unloaded_ = false;
};

}  // namespace px
