#include "win32/form_binding.hpp"

#include <imm.h>

#include "win32/form_window.hpp"

namespace px::win32 {

forms::ScreenMetrics QueryScreenMetrics() {
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return ScreenMetricsAt(dpiX, dpiY);
}

FormBinding::FormBinding(HINSTANCE instance) : instance_(instance), screen_(QueryScreenMetrics()) {
    // No window of these programs takes text. Without an input method (turned off before the
    // first window) the first focus does not wait for one to start: under Wine that was half of
    // what showing the control panel's window cost.
    ImmDisableIME(static_cast<DWORD>(-1));
    FormWindow::RegisterClasses(instance_);
}

FormBinding::~FormBinding() {
    // Windows before the fonts and brushes they still hold.
    windows_.clear();
    unloaded_.clear();
}

void FormBinding::Attach(forms::Form& form) {
    form.SetObserver(this);
    form.SetScreen(screen_);
    if (form.Loaded() && !Find(form)) {
        FormLoaded(form);
        FormChanged(form);
    }
}

FormWindow* FormBinding::Find(const forms::Form& form) const {
    const auto found = windows_.find(&form);
    return found == windows_.end() ? nullptr : found->second.get();
}

FormWindow* FormBinding::Made(const forms::Form& form) {
    FormWindow* window = Find(form);
    if (window && !window->Made()) window->Create();
    return window;
}

HWND FormBinding::WindowOf(const forms::Form& form) {
    const FormWindow* window = Made(form);
    return window ? window->Handle() : nullptr;
}

HWND FormBinding::WindowOf(forms::Control& control) {
    const FormWindow* window = Made(control.Parent());
    const ControlWindow* made = window ? window->Find(control) : nullptr;
    return made ? made->Handle() : nullptr;
}

HDC FormBinding::MeasuringDC() {
    if (!measuring_) measuring_ = std::make_unique<MemoryDC>(nullptr);
    return measuring_->Get();
}

void FormBinding::FormLoaded(forms::Form& form) {
    changed_ = true;
    auto made = std::make_unique<FormWindow>(*this, form);
    FormWindow& window = *made;
    windows_[&form] = std::move(made);
    // The window is made when the form first shows, after its load: what the load sets (texts,
    // places) is then born with the controls instead of costing Wine round trips on each.
    window.Prepare();
}

void FormBinding::FormUnloaded(forms::Form& form) {
    changed_ = true;
    const auto found = windows_.find(&form);
    if (found == windows_.end()) return;
    auto window = std::move(found->second);
    windows_.erase(found);
    window->Destroy();
    unloaded_.push_back(std::move(window));
    // An unload from a sent message (a close from another program) happens inside GetMessage,
    // which would wait on for a posted message: wake the loop so it sees no window is left.
    if (windows_.empty()) PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void FormBinding::EndSession() {
    if (sessionEnded_) return;
    sessionEnded_ = true;
    if (SessionEnding) SessionEnding();
}

void FormBinding::CloseFromOutside(forms::Form& form) {
    if (SessionEnding)
        EndSession();
    else
        form.Unload();
}

void FormBinding::FormChanged(forms::Form& form) {
    changed_ = true;
    FormWindow* window = Find(form);
    if (!window) return;
    if (window->Made())
        window->Apply();
    else if (form.Visible())
        window->Create();  // and shows it
}

void FormBinding::ControlChanged(forms::Control& control) {
    changed_ = true;
    FormWindow* window = Find(control.Parent());
    if (window && window->Made()) window->ApplyControl(control);
}

void FormBinding::Drawn(forms::Form& form, forms::Control* picture, const forms::Figure& figure) {
    changed_ = true;
    FormWindow* window = Find(form);
    if (window && window->Made()) window->Drawn(picture, figure);
}

void FormBinding::Keep(std::exception_ptr error) {
    if (!kept_) kept_ = std::move(error);
}

void FormBinding::AfterDispatch() {
    if (depth_ == 0) unloaded_.clear();
    if (kept_) {
        auto error = std::move(kept_);
        kept_ = nullptr;
        std::rethrow_exception(error);
    }
}

int FormBinding::RunMessageLoop() {
    MSG message;
    while (!windows_.empty()) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) break;
        Dispatch(message);
        AfterDispatch();
    }
    AfterDispatch();
    return 0;
}

void FormBinding::Dispatch(MSG& message) {
    // Keys for one of the forms' windows go through the dialog manager first.
    if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && message.hwnd) {
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        for (const auto& [form, window] : windows_)
            if (window->Made() && window->Handle() == root) {
                if (window->PreTranslate(message)) return;
                break;
            }
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

bool FormBinding::TimeToLook() {
    // Polling loops call DoEvents between driver requests, thousands of times a second, and under
    // Wine any look at the queue (PeekMessage, GetQueueStatus alike) costs a sixth of a request.
    // Unless a window of ours changed and waits for its paint, look at most once a millisecond:
    // no key, click or repaint is held up so that anyone could tell.
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (!changed_ && now.QuadPart < nextLook_) return false;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    nextLook_ = now.QuadPart + frequency.QuadPart / 1000;
    changed_ = false;
    return true;
}

void FormBinding::DoEvents() {
    MSG message;
    const bool look = TimeToLook();
    while (look && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the loop that owns the program's end.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        Dispatch(message);
    }
    AfterDispatch();
}

void FormBinding::LookAtQueue() {
    // Far more often than Windows' 5 seconds, far less than the polls it sits between.
    constexpr ULONGLONG kLookEveryMs = 250;
    const ULONGLONG now = GetTickCount64();
    if (now < nextQueueLook_) return;
    nextQueueLook_ = now + kLookEveryMs;
    MSG message;
    // Posted messages only, and left where they are: no sent message runs inside this call.
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_NOYIELD | PM_QS_POSTMESSAGE);
}

}  // namespace px::win32
