#include "right_button/right_button.hpp"

#include <cmath>
#include <cstdio>
#include <limits>

#include "forms/form.hpp"
#include "shared/window_utils.hpp"

namespace px {

namespace {

std::string UpperHex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

// A negative lParam shows as the 32-bit pattern a 32-bit window procedure would have seen.
std::uint64_t HexValue(std::intptr_t value) {
    if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max())
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    return static_cast<std::uint64_t>(value);
}

int ToPixels(double twips, double twipsPerPixel) { return static_cast<int>(std::lround(twips / twipsPerPixel)); }

}  // namespace

std::string RbfCaption() { return " C-RBF"; }

std::string RbfFailureText(std::uintptr_t wParam, std::intptr_t lParam) {
    return "RBF_WndProc Fail! wParam=" + UpperHex(wParam) + "h, lParam=" + UpperHex(HexValue(lParam)) + "h";
}

std::int32_t RecordedHandle(WindowHandle window) { return static_cast<std::int32_t>(window); }
WindowHandle HandleFromRecord(std::int32_t recorded) { return static_cast<WindowHandle>(recorded); }

RbfPlacement PlaceRbfWindow(PixelSize outer, PixelSize inner, PixelRect workArea, double twipsPerPixelX,
                            double twipsPerPixelY) {
    // The arithmetic of the form's twips: frame = outer - inner, plus the button.
    const double width = (outer.Width - inner.Width) * twipsPerPixelX + kActionTwips;
    const double height = (outer.Height - inner.Height) * twipsPerPixelY + kActionTwips;
    const double left = twipsPerPixelX * workArea.Right - width;
    const double top = twipsPerPixelY * workArea.Bottom - height;
    return {ToPixels(left, twipsPerPixelX), ToPixels(top, twipsPerPixelY), ToPixels(width, twipsPerPixelX),
            ToPixels(height, twipsPerPixelY)};
}

RightButtonProgram::RightButtonProgram(RightButtonPorts ports)
    : ports_(ports), channel_(ports.Device, ports.Ui, ports.Process, ports.Windows) {}

bool RightButtonProgram::Start() {
    auto& window = ports_.Window;
    handle_ = window.Create(kRbfDesignCaption, kRbfIcon, *this);
    window.Subclass();
    if (!channel_.OpenDriver(OpenForm::Reporting)) return false;  // it has told the user and ended

    channel_.GetRbfWindow();
    if (channel_.Rbf.RbfWindow != -1) {
        // Another copy (or one that died without unregistering) holds the registration.
        ports_.Windows.SendWindowMessage(HandleFromRecord(channel_.Rbf.RbfWindow), kWmUser, kRbfShow, 0);
        channel_.CloseDriver();
        return false;
    }
    channel_.Rbf.RightClickPending = 0;
    channel_.Rbf.RbfWindow = RecordedHandle(handle_);
    channel_.SetRbfWindow();

    window.SetCaption(RbfCaption());
    window.SetBackColor(forms::kButtonFace);
    waitFlag_ = 0;

    auto& display = ports_.Display;
    const double tppX = display.TwipsPerPixelX(), tppY = display.TwipsPerPixelY();
    window.MoveButton(0, 0, ToPixels(kActionTwips, tppX), ToPixels(kActionTwips, tppY));
    const auto place = PlaceRbfWindow(window.OuterSize(), window.InnerSize(), display.WorkArea(), tppX, tppY);
    window.MoveWindow(place.Left, place.Top, place.Width, place.Height);
    window.SetTopmost();
    // Shown whatever show command the starter passed (they pass SW_HIDE): the user needs the
    // button, and the hide and show messages assume it is normally visible.
    window.ShowWindow(true);
    return true;
}

std::intptr_t RightButtonProgram::UserMessage(std::uintptr_t wParam, std::intptr_t lParam) {
    switch (wParam) {
        case kRbfHide: ports_.Window.ShowWindow(false); break;
        case kRbfShow: ports_.Window.ShowWindow(true); break;
        case kRbfClose: Unload(); break;
        default: ports_.Ui.ShowMessageBox(RbfFailureText(wParam, lParam), kRightButtonTitle, kBoxOk); break;
    }
    return 0;
}

void RightButtonProgram::ActionClick() {
    if (unloaded_ || waitFlag_ != 0) return;
    auto& window = ports_.Window;
    window.ShowButton(false);

    channel_.Rbf.RightClickPending = 1;
    channel_.SetRbfWindow();
    waitFlag_ = 1;

    // No timer and no sleep: the wait lasts only until the next touch.
    do {
        ports_.Events.DoEvents();
        // A close meanwhile has unregistered and closed the driver; its record ends the wait.
        if (!unloaded_) channel_.GetRbfWindow();
        ports_.Events.DoEvents();
    } while (channel_.Rbf.RightClickPending != 0 && waitFlag_ == 1);

    if (unloaded_) return;  // the window and the driver handle are gone
    channel_.Rbf.RightClickPending = 0;
    channel_.SetRbfWindow();
    waitFlag_ = 0;
    window.ShowButton(true);
}

void RightButtonProgram::KeyPress(int keyAscii) {
    if (keyAscii != 0) waitFlag_ = 0;
}

void RightButtonProgram::MouseDown(int buttons) {
    if (buttons & (1 | 2)) waitFlag_ = 0;
}

void RightButtonProgram::CloseRequested() { Unload(); }

void RightButtonProgram::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    waitFlag_ = 0;
    channel_.Rbf.RbfWindow = -1;
    channel_.Rbf.RightClickPending = 0;
    channel_.SetRbfWindow();
    channel_.CloseDriver();
    ports_.Window.RestoreProcedure();
    ports_.Window.Destroy();  // with no window left the program ends
}

}  // namespace px
