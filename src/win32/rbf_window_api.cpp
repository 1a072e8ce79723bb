#include "win32/rbf_window_api.hpp"

namespace px::win32 {

namespace {

constexpr char kRbfClass[] = "PxRbfWindow";
constexpr int kActionId = 1;
constexpr int kIconPixels = 36;

bool RegisterRbfClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXA existing{sizeof(existing)};
    if (GetClassInfoExA(instance, kRbfClass, &existing)) return true;
    WNDCLASSEXA windowClass{sizeof(windowClass)};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconA(instance, "IDI_PRODUCT");
    windowClass.lpszClassName = kRbfClass;
    return RegisterClassExA(&windowClass) != 0;
}

int ButtonsDown(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) | ((keys & MK_MBUTTON) ? 4 : 0);
}

RbfWindowApi* Owner(HWND window) { return reinterpret_cast<RbfWindowApi*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

// Shown and hidden with SetWindowPos: the first ShowWindow of a process takes the starter's
// show command instead of ours, and the starters pass SW_HIDE.
void SetShown(HWND window, bool visible) {
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

}  // namespace

RbfWindowApi::~RbfWindowApi() {
    Destroy();
    if (icon_) DestroyIcon(icon_);
    FreeBrush();
}

WindowHandle RbfWindowApi::Create(const std::string& caption, const std::string& icon, RbfWindowEvents& events) {
    events_ = &events;
    if (!RegisterRbfClass(instance_, &RbfWindowApi::FormProc)) return 0;
    // A tool window: its small caption suits a button-sized window, and it keeps out of the task bar.
    CreateWindowExA(WS_EX_TOOLWINDOW, kRbfClass, caption.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                    CW_USEDEFAULT, CW_USEDEFAULT, 120, 120, nullptr, nullptr, instance_, this);
    if (!window_) return 0;
    button_ = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_ICON, 0, 0,
                              40, 40, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kActionId)), instance_,
                              nullptr);
    icon_ = static_cast<HICON>(LoadImageA(instance_, icon.c_str(), IMAGE_ICON, kIconPixels, kIconPixels, 0));
    if (button_ && icon_) SendMessageA(button_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon_));
    return reinterpret_cast<WindowHandle>(window_);
}

void RbfWindowApi::Subclass() {
    if (!window_ || previous_) return;
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RbfWindowApi::ProgramProc)));
}

void RbfWindowApi::RestoreProcedure() {
    if (!window_ || !previous_) return;
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    previous_ = nullptr;
}

void RbfWindowApi::SetCaption(const std::string& caption) {
    if (window_) SetWindowTextA(window_, caption.c_str());
}

void RbfWindowApi::FreeBrush() {
    if (ownBrush_) DeleteObject(ownBrush_);
    ownBrush_ = nullptr;
}

void RbfWindowApi::SetBackColor(std::uint32_t colour) {
    backColour_ = colour;
    FreeBrush();
    if ((colour & 0x80000000u) == 0) ownBrush_ = CreateSolidBrush(colour);
    if (window_) InvalidateRect(window_, nullptr, TRUE);
}

PixelSize RbfWindowApi::OuterSize() {
    RECT r{};
    if (window_) GetWindowRect(window_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

PixelSize RbfWindowApi::InnerSize() {
    RECT r{};
    if (window_) GetClientRect(window_, &r);
    return {r.right, r.bottom};
}

void RbfWindowApi::MoveWindow(int left, int top, int width, int height) {
    if (window_) SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void RbfWindowApi::MoveButton(int left, int top, int width, int height) {
    if (button_) SetWindowPos(button_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void RbfWindowApi::SetTopmost() {
    if (window_) SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void RbfWindowApi::ShowWindow(bool visible) {
    if (window_) SetShown(window_, visible);
}

void RbfWindowApi::ShowButton(bool visible) {
    if (!button_) return;
    // Keys typed during the wait must reach the window, not the hidden button.
    if (!visible && GetFocus() == button_) SetFocus(window_);
    SetShown(button_, visible);
}

void RbfWindowApi::Destroy() {
    if (window_) DestroyWindow(window_);
}

LRESULT RbfWindowApi::HandleFormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window_, &client);
            HBRUSH brush = ownBrush_ ? ownBrush_ : GetSysColorBrush(static_cast<int>(backColour_ & 0xFF));
            FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
            return 1;
        }
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) == button_ && HIWORD(wParam) == BN_CLICKED) {
                events_->ActionClick();
                return 0;
            }
            break;
        case WM_CHAR: events_->KeyPress(static_cast<int>(wParam)); return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: events_->MouseDown(ButtonsDown(wParam)); return 0;
        case WM_CLOSE: events_->CloseRequested(); return 0;
        case WM_ENDSESSION:
            // Ended by Windows, the program would leave its registration behind in the driver.
            if (wParam) events_->CloseRequested();
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK RbfWindowApi::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETMINMAXINFO) {
        // Without this the system minimum would stretch the window past its button.
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{1, 1};
        return 0;
    }
    RbfWindowApi* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<RbfWindowApi*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    } else {
        self = Owner(window);
    }
    if (message == WM_NCDESTROY && self) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        self->button_ = nullptr;
        self->previous_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!self || !self->events_) return DefWindowProcA(window, message, wParam, lParam);
    return self->HandleFormMessage(message, wParam, lParam);
}

LRESULT CALLBACK RbfWindowApi::ProgramProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RbfWindowApi* self = Owner(window);
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    // Answered here and not passed on; everything else goes to the window's own procedure.
    if (message == WM_USER) return self->events_->UserMessage(wParam, lParam);
    return CallWindowProcA(self->previous_ ? self->previous_ : &RbfWindowApi::FormProc, window, message, wParam,
                           lParam);
}

void MessagePump::DoEvents() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for Run, which owns the end
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void MessagePump::LookAtQueue() {
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_NOYIELD | PM_QS_POSTMESSAGE);
}

int MessagePump::Run() {
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace px::win32
