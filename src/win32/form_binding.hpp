// Mirrors the portable forms (src/forms) into real windows and standard controls, and turns
// what the user does to them back into the forms' events.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "forms/form.hpp"
#include "shared/ports.hpp"
#include "win32/gdi.hpp"

namespace px::win32 {

class FormWindow;

// The real screen in twips, from the display's DPI (15 twips a pixel at 96 DPI).
forms::ScreenMetrics QueryScreenMetrics();
// The screen in twips at a given DPI.
forms::ScreenMetrics ScreenMetricsAt(int dpiX, int dpiY);

class FormBinding final : public forms::FormObserver {
public:
    explicit FormBinding(HINSTANCE instance = GetModuleHandleA(nullptr));
    ~FormBinding() override;
    FormBinding(const FormBinding&) = delete;
    FormBinding& operator=(const FormBinding&) = delete;

    // The form's window comes and goes with its Show/Hide/Unload from now on.
    void Attach(forms::Form& form);

    // Dispatches until the last loaded form is unloaded or a WM_QUIT arrives; returns the quit code.
    int RunMessageLoop();
    // Handles whatever is waiting, then returns; what polling loops call.
    void DoEvents();
    // Looks at the queue without removing or running anything, at most every few hundred ms.
    void LookAtQueue();
    // What the program does when the session ends (logoff, shutdown) or another program closes
    // it, run once from whichever of its windows hears of it first.
    std::function<void()> SessionEnding;
    void EndSession();
    // A close from another program aimed at one of the windows: the program's own end when it
    // has one, else that window's close.
    void CloseFromOutside(forms::Form& form);

    // The window of a loaded form (made now if it has not shown yet), or of one of its controls.
    HWND WindowOf(const forms::Form& form);
    HWND WindowOf(forms::Control& control);
    const forms::ScreenMetrics& Screen() const { return screen_; }

    // forms::FormObserver
    void FormLoaded(forms::Form& form) override;
    void FormUnloaded(forms::Form& form) override;
    void FormChanged(forms::Form& form) override;
    void ControlChanged(forms::Control& control) override;
    void Drawn(forms::Form& form, forms::Control* picture, const forms::Figure& figure) override;

    // For the windows themselves.
    HINSTANCE Instance() const { return instance_; }
    FontCache& Fonts() { return fonts_; }
    // A screen-compatible memory DC for measuring text: no window's DC to fetch from Wine.
    HDC MeasuringDC();
    BrushCache& Brushes() { return brushes_; }
    // Window procedures keep exceptions here; the loop rethrows them outside any procedure.
    void Keep(std::exception_ptr error);
    int& DispatchDepth() { return depth_; }

private:
    FormWindow* Find(const forms::Form& form) const;
    // The form's window, made now if the loaded form has not been shown yet.
    FormWindow* Made(const forms::Form& form);
    bool TimeToLook();
    void Dispatch(MSG& message);
    void AfterDispatch();

    HINSTANCE instance_;
    forms::ScreenMetrics screen_;
    FontCache fonts_;
    BrushCache brushes_;
    std::exception_ptr kept_;
    int depth_ = 0;
    bool sessionEnded_ = false;
    // What DoEvents needs to decide whether to look at the queue: a change of ours since the last
    // look, and when the next look is due (performance-counter ticks).
    bool changed_ = true;
    LONGLONG nextLook_ = 0;
    ULONGLONG nextQueueLook_ = 0;
    std::unique_ptr<MemoryDC> measuring_;
    std::map<const forms::Form*, std::unique_ptr<FormWindow>> windows_;
    // Unloaded windows whose procedures may still be on the stack; freed back at the loop.
    std::vector<std::unique_ptr<FormWindow>> unloaded_;
};

// The binding's DoEvents as the port the polling loops use.
class BindingEvents final : public EventLoopPort {
public:
    explicit BindingEvents(FormBinding& binding) : binding_(binding) {}
    void DoEvents() override { binding_.DoEvents(); }
    void LookAtQueue() override { binding_.LookAtQueue(); }

private:
    FormBinding& binding_;
};

}  // namespace px::win32
