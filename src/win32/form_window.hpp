// One form's real window and its controls' windows.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/form.hpp"
#include "win32/gdi.hpp"

namespace px::win32 {

class FormBinding;
class FormWindow;

class ControlWindow {
public:
    ControlWindow(FormWindow& owner, forms::Control& control) : owner_(owner), control_(control) {}
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    void Create(HWND parent, int id);
    void Apply();  // model -> window
    HWND Handle() const { return window_; }
    HWND Container() const { return parent_; }
    forms::Control& Model() { return control_; }
    forms::ControlKind Kind() const { return control_.Kind(); }
    SurfaceScale Scale() const;
    void Painted(HDC dc, const RECT& client);

    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Original(UINT message, WPARAM wParam, LPARAM lParam);
    bool OwnsMouse() const;
    bool PaintsItsOwnField() const;
    void PaintDisabledCombo();
    void ApplyText();
    void ApplyGeometry();
    void ApplyBorder();
    void ApplyValue();
    void ApplyList();
    void ApplyPicture();
    bool AutoSizeLabel();
    bool MeasureLabel(SIZE& size);
    void RedrawUnder(const RECT& rectInParent);

    FormWindow& owner_;
    forms::Control& control_;
    HWND window_ = nullptr;
    HWND parent_ = nullptr;
    RECT placed_{};  // in the container's client pixels
    WNDPROC original_ = nullptr;
    HFONT font_ = nullptr;
    // The last text an autosized label was measured for, and its size in pixels.
    std::string measuredCaption_;
    HFONT measuredFont_ = nullptr;
    SIZE measured_{};
    forms::Color foreColor_ = 0, backColor_ = 0;
    bool coloursApplied_ = false;
    std::string pictureShown_;
    GdiObject<HBITMAP> bitmap_;
    HICON icon_ = nullptr;  // shared resource icon, never destroyed
    bool leftPressed_ = false;
};

class FormWindow {
public:
    FormWindow(FormBinding& binding, forms::Form& form) : binding_(binding), form_(form) {}
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    static bool RegisterClasses(HINSTANCE instance);
    // Gives the model the frame its window will have, before the window exists.
    void Prepare();
    bool Create();
    bool Made() const { return made_; }
    void Destroy();
    void Apply();  // model -> window, for the form itself
    void ApplyControl(forms::Control& control);
    void Drawn(forms::Control* picture, const forms::Figure& figure);

    HWND Handle() const { return window_; }
    bool Detached() const { return detached_; }
    forms::Form& Model() { return form_; }
    FormBinding& Binding() { return binding_; }
    ControlWindow* Find(HWND window) const;
    ControlWindow* Find(const forms::Control& control) const;
    ControlWindow* Find(const std::string& name) const;
    SurfaceScale Twips() const;
    SurfaceScale Scale() const;
    int DpiY() const;
    // Laid out again from the twips at another DPI: fonts, controls, and the window at the
    // suggested place (null: where it is, sized from its twips).
    void ScaleTo(int dpiX, int dpiY, const RECT* suggested);

    // What the controls hand back to their form.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool KeyDown(ControlWindow* target, WPARAM& key);
    bool KeyPress(ControlWindow* target, WPARAM& key);
    // The dialog manager's turn at a key for this window (Tab, arrows, Enter, Escape, access
    // keys); false when it is not this window's.
    bool PreTranslate(MSG& message);
    // Whether the form takes the keys that reach this control (or the form itself) for its events.
    bool HearsKeys(ControlWindow* target);
    bool StartsGroup(const forms::Control& control) const;
    // The control (or a window inside it) is about to be disabled or hidden.
    void FocusLeaving(HWND control);
    // The default frame on the push button that Enter would press.
    void ShowDefault();
    void Mouse(UINT message, WPARAM wParam, LPARAM lParam, const SurfaceScale& scale,
               const std::function<void(int, int, double, double)>* down,
               const std::function<void(int, int, double, double)>* move,
               const std::function<void(int, int, double, double)>* up);
    void PaintShapes(HDC dc, const std::string& container);
    LRESULT ControlColour(UINT message, HDC dc, HWND control);

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void ApplyGeometry();
    void ApplyVisibility();
    void MatchWindowDpi();
    void SyncFromWindow();
    void Activated(WPARAM wParam, LPARAM lParam);
    void Command(ControlWindow& control, int code);
    void Scrolled(ControlWindow& control, int code, int position);
    ControlWindow* Button(bool (*wanted)(const forms::ControlDecl&));
    ControlWindow* DefaultButton();
    std::vector<HWND> TabStops() const;
    void Paint();

    FormBinding& binding_;
    forms::Form& form_;
    HWND window_ = nullptr;
    std::vector<std::unique_ptr<ControlWindow>> controls_;
    bool made_ = false;
    bool creating_ = false;
    bool showing_ = false;
    bool detached_ = false;
    forms::MousePointer pointer_ = forms::MousePointer::Default;
    forms::Color backColor_ = 0;
    HWND lastFocus_ = nullptr;
};

// Modifier keys as the events report them.
int ShiftState();

}  // namespace px::win32
