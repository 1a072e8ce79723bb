// The right-button window: a plain window with one icon button, its own procedure for the
// user's input, and the program's procedure subclassed in front for the WM_USER protocol.
#pragma once

#include <windows.h>

#include "shared/ports.hpp"
#include "shared/rbf_window_port.hpp"

namespace px::win32 {

class RbfWindowApi final : public RbfWindowPort {
public:
    explicit RbfWindowApi(HINSTANCE instance = ::GetModuleHandleA(nullptr)) : instance_(instance) {}
    ~RbfWindowApi() override;
    RbfWindowApi(const RbfWindowApi&) = delete;
    RbfWindowApi& operator=(const RbfWindowApi&) = delete;

    WindowHandle Create(const std::string& caption, const std::string& icon, RbfWindowEvents& events) override;
    void Subclass() override;
    void RestoreProcedure() override;
    void SetCaption(const std::string& caption) override;
    void SetBackColor(std::uint32_t colour) override;
    PixelSize OuterSize() override;
    PixelSize InnerSize() override;
    void MoveWindow(int left, int top, int width, int height) override;
    void MoveButton(int left, int top, int width, int height) override;
    void SetTopmost() override;
    void ShowWindow(bool visible) override;
    void ShowButton(bool visible) override;
    void Destroy() override;

    HWND Handle() const { return window_; }

private:
    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ProgramProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void FreeBrush();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND button_ = nullptr;
    HICON icon_ = nullptr;
    WNDPROC previous_ = nullptr;
    RbfWindowEvents* events_ = nullptr;
    std::uint32_t backColour_ = 0x8000000F;
    HBRUSH ownBrush_ = nullptr;  // for a plain RGB background; system colours use the shared brushes
};

// GetMessage until the program's last window has gone, and DoEvents for the wait.
class MessagePump final : public EventLoopPort {
public:
    void DoEvents() override;
    void LookAtQueue() override;
    int Run();
};

}  // namespace px::win32
