// The right-button window as the program's logic sees it: a window holding one picture button,
// with a window procedure the program puts in front of the window's own. Sizes in pixels.
#pragma once

#include <cstdint>
#include <string>

#include "shared/ports.hpp"

namespace px {

// What the window hands to the program.
class RbfWindowEvents {
public:
    virtual ~RbfWindowEvents() = default;
    // WM_USER, through the program's procedure while it is installed; the answer to the sender.
    virtual std::intptr_t UserMessage(std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual void ActionClick() = 0;
    // A key that produced a character while the window itself had the focus.
    virtual void KeyPress(int keyAscii) = 0;
    // A mouse button went down in the window; buttons holds every button down (1 left, 2 right,
    // 4 middle).
    virtual void MouseDown(int buttons) = 0;
    // The user closed the window (close box, Alt+F4), or the session is ending.
    virtual void CloseRequested() = 0;
};

struct PixelSize {
    int Width, Height;
};

class RbfWindowPort {
public:
    virtual ~RbfWindowPort() = default;
    // The window with its button, not shown yet; its events go to events from now on.
    virtual WindowHandle Create(const std::string& caption, const std::string& icon, RbfWindowEvents& events) = 0;
    // Puts the program's procedure in front of the window's own, keeping the previous one.
    virtual void Subclass() = 0;
    virtual void RestoreProcedure() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    // 0x00BBGGRR, or 0x800000nn for system colour nn.
    virtual void SetBackColor(std::uint32_t colour) = 0;
    virtual PixelSize OuterSize() = 0;
    virtual PixelSize InnerSize() = 0;
    virtual void MoveWindow(int left, int top, int width, int height) = 0;
    virtual void MoveButton(int left, int top, int width, int height) = 0;
    virtual void SetTopmost() = 0;
    virtual void ShowWindow(bool visible) = 0;
    virtual void ShowButton(bool visible) = 0;
    virtual void Destroy() = 0;
};

}  // namespace px
