// A form's window at another DPI. The programs are per-monitor DPI aware: Windows scales none of
// their windows itself, so a move to a monitor of another scale, or a change of scale without
// signing out, lays the window out again from its twips.
#include <cmath>

#include "win32/form_binding.hpp"
#include "win32/form_window.hpp"

namespace px::win32 {

namespace {

// Windows 10 1607 and later know a window's own DPI; before, a window is at the system's.
int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    return getDpi ? static_cast<int>(getDpi(window)) : 0;
}

}  // namespace

forms::ScreenMetrics ScreenMetricsAt(int dpiX, int dpiY) {
    forms::ScreenMetrics metrics;
    metrics.TwipsPerPixelX = 1440.0 / (dpiX > 0 ? dpiX : 96);
    metrics.TwipsPerPixelY = 1440.0 / (dpiY > 0 ? dpiY : 96);
    metrics.Width = GetSystemMetrics(SM_CXSCREEN) * metrics.TwipsPerPixelX;
    metrics.Height = GetSystemMetrics(SM_CYSCREEN) * metrics.TwipsPerPixelY;
    return metrics;
}

int FormWindow::DpiY() const { return static_cast<int>(std::lround(1440.0 / form_.Screen().TwipsPerPixelY)); }

void FormWindow::MatchWindowDpi() {
    // Made after a change of scale, on a monitor at another scale than the system's: no
    // WM_DPICHANGED comes for a window born there.
    const int dpi = WindowDpi(window_);
    if (dpi > 0 && dpi != DpiY()) ScaleTo(dpi, dpi, nullptr);
}

void FormWindow::ScaleTo(int dpiX, int dpiY, const RECT* suggested) {
    if (!window_ || dpiX <= 0 || dpiY <= 0) return;
    form_.SetScreen(ScreenMetricsAt(dpiX, dpiY));
    const SurfaceScale twips = Twips();
    RECT target;
    const auto& decl = form_.Declaration();
    if (decl.State == forms::WindowState::Maximized && decl.Border == forms::BorderStyle::None) {
        // A full-screen window covers the screen, whatever size its twips now come to.
        target = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    } else if (suggested) {
        target = *suggested;
    } else {
        // The client area from its twips, the frame as the system draws it now.
        RECT outer, client;
        GetWindowRect(window_, &outer);
        GetClientRect(window_, &client);
        target = RECT{outer.left, outer.top, 0, 0};
        target.right = target.left + (outer.right - outer.left - client.right) + twips.ToPixelX(form_.ScaleWidth());
        target.bottom = target.top + (outer.bottom - outer.top - client.bottom) + twips.ToPixelY(form_.ScaleHeight());
    }

    // Not followed back into the model half-way: the model takes the window's place once below.
    creating_ = true;
    SetWindowPos(window_, nullptr, target.left, target.top, target.right - target.left, target.bottom - target.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT outer, client;
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    const int frameWidth = (outer.right - outer.left) - client.right;
    const int frameHeight = (outer.bottom - outer.top) - client.bottom;
    form_.SetFrameSize(frameWidth * twips.TwipsPerPixelX, frameHeight * twips.TwipsPerPixelY);
    for (auto& control : controls_) control->Apply();
    creating_ = false;
    // Raises Resize when the client's twips changed, so windows that lay themselves out do so.
    form_.Move(outer.left * twips.TwipsPerPixelX, outer.top * twips.TwipsPerPixelY,
               (outer.right - outer.left) * twips.TwipsPerPixelX, (outer.bottom - outer.top) * twips.TwipsPerPixelY);
    Apply();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace px::win32
