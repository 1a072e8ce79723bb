#include "pixels.hpp"

namespace e2e::detail {
namespace {

class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() { if (dc_) ReleaseDC(nullptr, dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// A memory DC with a 32-bit top-down DIB selected; everything released together.
class Canvas {
public:
    Canvas(HDC compatible, int width, int height) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(compatible);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (dc_ && bitmap_) previous_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        if (previous_) SelectObject(dc_, previous_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const { return previous_ != nullptr && bits_ != nullptr; }
    HDC dc() const { return dc_; }
    Pixels read() const {
        GdiFlush();
        Pixels pixels{width_, height_, {}};
        const auto* first = static_cast<const std::uint32_t*>(bits_);
        pixels.rows.assign(first, first + static_cast<std::size_t>(width_) * height_);
        for (auto& pixel : pixels.rows) pixel &= 0x00FFFFFF;
        return pixels;
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};

}  // namespace

Pixels CaptureScreen(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return {};
    ScreenDc screen;
    Canvas canvas(screen.get(), width, height);
    if (!screen.get() || !canvas.ok()) return {};
    if (!BitBlt(canvas.dc(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY)) return {};
    return canvas.read();
}

Pixels RenderIcon(HICON icon, int width, int height, COLORREF background) {
    ScreenDc screen;
    Canvas canvas(screen.get(), width, height);
    if (!canvas.ok()) return {};
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, width, height};
    FillRect(canvas.dc(), &all, brush);
    DeleteObject(brush);
    if (!DrawIconEx(canvas.dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL)) return {};
    return canvas.read();
}

}  // namespace e2e::detail
