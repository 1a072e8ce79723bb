#include "win32/form_window.hpp"

#include <windowsx.h>

#include <algorithm>

#include "win32/form_binding.hpp"

namespace px::win32 {

namespace {

constexpr char kFormClass[] = "PxForm";
constexpr char kSurfaceClass[] = "PxSurface";
// Room for the list a drop-down combo opens; the closed combo keeps its own height.
constexpr int kComboListPixels = 160;

using forms::ControlKind;

// Nothing a form's code throws may cross a window procedure: keep it for the loop to rethrow.
template <class Handler>
LRESULT Guarded(FormBinding& binding, Handler&& handler) {
    ++binding.DispatchDepth();
    LRESULT result = 0;
    try {
        result = handler();
    } catch (...) {
        binding.Keep(std::current_exception());
    }
    --binding.DispatchDepth();
    return result;
}

std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

int ShiftFromMouse(WPARAM keys) {
    return ((keys & MK_SHIFT) ? forms::kShiftMask : 0) | ((keys & MK_CONTROL) ? forms::kCtrlMask : 0) |
           (GetKeyState(VK_MENU) < 0 ? forms::kAltMask : 0);
}

int ButtonsHeld(WPARAM keys) {
    return ((keys & MK_LBUTTON) ? forms::kLeftButton : 0) | ((keys & MK_RBUTTON) ? forms::kRightButton : 0) |
           ((keys & MK_MBUTTON) ? forms::kMiddleButton : 0);
}

// The kinds whose caption is their window text.
bool HasText(ControlKind kind) {
    switch (kind) {
        case ControlKind::HScrollBar:
        case ControlKind::ComboBox:
        case ControlKind::PictureBox:
        case ControlKind::Image: return false;
        default: return true;
    }
}

// Whether the window has a non-client area (border, edge or scroll bar) to paint.
bool HasFrame(HWND window) {
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    return outer.right - outer.left != client.right || outer.bottom - outer.top != client.bottom;
}

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK; }

DWORD FormStyle(const forms::FormDecl& decl) {
    DWORD style = 0;
    switch (decl.Border) {
        case forms::BorderStyle::None: style = WS_POPUP; break;
        case forms::BorderStyle::FixedSingle: style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; break;
        case forms::BorderStyle::FixedDialog: style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME; break;
    }
    if (!decl.ControlBox) style &= ~(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    return style | WS_CLIPSIBLINGS;
}

DWORD FormExStyle(const forms::FormDecl& decl) {
    return (decl.Border == forms::BorderStyle::FixedDialog ? WS_EX_DLGMODALFRAME : 0) |
           (decl.TopMost ? WS_EX_TOPMOST : 0);
}

void AnswerMinMax(HWND window, LPARAM lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    // Small button-sized forms exist; the system minimum would stretch them.
    info->ptMinTrackSize = POINT{1, 1};
    if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION) == 0) {
        info->ptMaxPosition = POINT{0, 0};
        info->ptMaxSize = POINT{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
}

HCURSOR PointerCursor(forms::MousePointer pointer) {
    return LoadCursor(nullptr, pointer == forms::MousePointer::Hourglass ? IDC_WAIT : IDC_ARROW);
}

}  // namespace

int ShiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? forms::kShiftMask : 0) | (GetKeyState(VK_CONTROL) < 0 ? forms::kCtrlMask : 0) |
           (GetKeyState(VK_MENU) < 0 ? forms::kAltMask : 0);
}

// ---------------------------------------------------------------- ControlWindow

void ControlWindow::Create(HWND parent, int id) {
    parent_ = parent;
    const auto& decl = control_.Declaration();
    // Every control but an option that follows another option of its container starts a group of
    // the dialog manager's, so the arrow keys move within an option group and nowhere else.
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (owner_.StartsGroup(control_) ? WS_GROUP : 0);
    DWORD exStyle = 0;
    const char* windowClass = "BUTTON";
    switch (decl.Kind) {
        case ControlKind::Shape: return;  // painted by its container, under every window
        case ControlKind::Label:
            windowClass = "STATIC";
            style |= SS_NOTIFY | (decl.Align == forms::Alignment::Right    ? SS_RIGHT
                                  : decl.Align == forms::Alignment::Center ? SS_CENTER
                                                                           : SS_LEFT);
            if (decl.Border) style |= WS_BORDER;  // a label's single-line border
            break;
        case ControlKind::CommandButton: style |= WS_TABSTOP | (decl.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON); break;
        case ControlKind::Frame:
            style |= BS_GROUPBOX;
            exStyle |= WS_EX_CONTROLPARENT;  // Tab and the arrows go through what it holds
            break;
        // Not the automatic kinds: the model decides what is checked. A group is one tab stop, its
        // chosen option (ApplyValue keeps it so).
        case ControlKind::OptionButton: style |= BS_RADIOBUTTON | (control_.Value() == 1 ? WS_TABSTOP : 0); break;
        case ControlKind::CheckBox: style |= WS_TABSTOP | BS_3STATE; break;
        case ControlKind::HScrollBar:
            windowClass = "SCROLLBAR";
            style |= WS_TABSTOP | SBS_HORZ;
            break;
        case ControlKind::ComboBox:
            windowClass = "COMBOBOX";
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
            break;
        case ControlKind::PictureBox:
            windowClass = kSurfaceClass;
            if (decl.Border) exStyle |= WS_EX_CLIENTEDGE;  // the sunken 3-D frame, two pixels a side
            exStyle |= WS_EX_CONTROLPARENT;
            break;
        case ControlKind::Image: windowClass = kSurfaceClass; break;
    }
    // Born with the model's caption, place and state: every change afterwards costs Wine a few
    // server round trips, and a form has two dozen controls to show at its start.
    AutoSizeLabel();
    const SurfaceScale twips = owner_.Twips();
    const int left = twips.ToPixelX(control_.Left()), top = twips.ToPixelY(control_.Top());
    const int width = twips.ToPixelX(control_.Width());
    const int height = twips.ToPixelY(control_.Height()) + (decl.Kind == ControlKind::ComboBox ? kComboListPixels : 0);
    if (control_.Visible()) style |= WS_VISIBLE;
    if (!control_.Enabled()) style |= WS_DISABLED;
    window_ = CreateWindowExA(exStyle, windowClass, HasText(decl.Kind) ? control_.Caption().c_str() : "", style, left,
                              top, width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              owner_.Binding().Instance(), nullptr);
    if (!window_) return;
    placed_ = RECT{left, top, left + width, top + height};
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindow::SubclassProc)));
}

SurfaceScale ControlWindow::Scale() const {
    if (control_.Kind() != ControlKind::PictureBox) return owner_.Scale();
    SurfaceScale scale = owner_.Twips();
    scale.Pixels = control_.Scale == forms::ScaleMode::Pixels;
    return scale;
}

void ControlWindow::Apply() {
    if (control_.Kind() == ControlKind::Shape) {
        if (parent_) InvalidateRect(parent_, nullptr, TRUE);
        return;
    }
    if (!window_) return;
    if (AutoSizeLabel()) return;  // the model's Move has applied everything again
    ApplyText();
    HFONT font = owner_.Binding().Fonts().Get(control_.TextFont(), owner_.DpiY());
    if (font != font_) {
        font_ = font;
        // A hidden window paints all of itself when it shows: no redraw before.
        SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), IsWindowVisible(window_));
    }
    if (!coloursApplied_ || foreColor_ != control_.ForeColor() || backColor_ != control_.BackColor()) {
        coloursApplied_ = true;
        foreColor_ = control_.ForeColor();
        backColor_ = control_.BackColor();
        if (IsWindowVisible(window_)) InvalidateRect(window_, nullptr, TRUE);
    }
    const bool shown = (GetWindowLongPtrA(window_, GWL_STYLE) & WS_VISIBLE) != 0;
    const bool enabled = IsWindowEnabled(window_) != FALSE;
    // Disabled or hidden with the focus (Apply pressed from the keyboard disables itself), the
    // focus would sit on nothing and the keyboard would be dead: the next stop takes it first.
    if ((enabled && !control_.Enabled()) || (shown && !control_.Visible())) owner_.FocusLeaving(window_);
    if (enabled != control_.Enabled()) EnableWindow(window_, control_.Enabled());
    ApplyBorder();
    ApplyGeometry();
    if (shown != control_.Visible()) {
        RECT before;
        GetWindowRect(window_, &before);
        MapWindowPoints(HWND_DESKTOP, parent_, reinterpret_cast<POINT*>(&before), 2);
        ShowWindow(window_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
        if (!control_.Visible()) RedrawUnder(before);
    }
    ApplyValue();
    ApplyList();
    ApplyPicture();
}

void ControlWindow::ApplyText() {
    if (!HasText(control_.Kind())) return;
    if (WindowText(window_) == control_.Caption()) return;
    SetWindowTextA(window_, control_.Caption().c_str());
    if (control_.Declaration().Transparent) {
        RECT r;
        GetWindowRect(window_, &r);
        MapWindowPoints(HWND_DESKTOP, parent_, reinterpret_cast<POINT*>(&r), 2);
        RedrawUnder(r);
    }
}

void ControlWindow::ApplyBorder() {
    if (control_.Kind() != ControlKind::Label) return;
    const LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
    if (((style & WS_BORDER) != 0) == control_.Border()) return;
    SetWindowLongPtrA(window_, GWL_STYLE, control_.Border() ? (style | WS_BORDER) : (style & ~WS_BORDER));
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

void ControlWindow::ApplyGeometry() {
    const SurfaceScale twips = owner_.Twips();
    const int left = twips.ToPixelX(control_.Left()), top = twips.ToPixelY(control_.Top());
    RECT target{left, top, left + twips.ToPixelX(control_.Width()), top + twips.ToPixelY(control_.Height())};
    // Only this code moves a control: where it last put it is where it is, without asking Wine.
    const RECT now = placed_;
    const bool combo = control_.Kind() == ControlKind::ComboBox;
    if (combo) {
        if (now.left == target.left && now.top == target.top && now.right == target.right && now.bottom > now.top)
            return;
        target.bottom += kComboListPixels;
    } else if (SameRect(now, target)) {
        return;
    }
    SetWindowPos(window_, nullptr, target.left, target.top, target.right - target.left, target.bottom - target.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    placed_ = target;
    if (control_.Declaration().Transparent) {
        RedrawUnder(now);
        RedrawUnder(target);
    }
}

void ControlWindow::ApplyValue() {
    switch (control_.Kind()) {
        case ControlKind::OptionButton:
        case ControlKind::CheckBox: {
            if (SendMessageA(window_, BM_GETCHECK, 0, 0) != control_.Value())
                SendMessageA(window_, BM_SETCHECK, static_cast<WPARAM>(control_.Value()), 0);
            if (control_.Kind() != ControlKind::CheckBox) {
                // The group's one tab stop goes with its check, also where the button class does not
                // move it itself.
                const LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE);
                const LONG_PTR wanted = control_.Value() == 1 ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
                if (wanted != style) SetWindowLongPtrA(window_, GWL_STYLE, wanted);
            }
            return;
        }
        case ControlKind::HScrollBar: {
            SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_POS, 0, 0, 0, 0, 0};
            GetScrollInfo(window_, SB_CTL, &info);
            const int low = std::min(control_.Min(), control_.Max()), high = std::max(control_.Min(), control_.Max());
            if (info.nMin == low && info.nMax == high && info.nPos == control_.Value()) return;
            info = SCROLLINFO{sizeof(info), SIF_RANGE | SIF_POS, low, high, 0, control_.Value(), 0};
            SetScrollInfo(window_, SB_CTL, &info, TRUE);
            return;
        }
        default: return;
    }
}

void ControlWindow::ApplyList() {
    if (control_.Kind() != ControlKind::ComboBox) return;
    const auto& list = control_.List();
    bool same = SendMessageA(window_, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(list.size());
    for (std::size_t i = 0; same && i < list.size(); ++i) {
        const auto length = SendMessageA(window_, CB_GETLBTEXTLEN, i, 0);
        std::string item(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
        SendMessageA(window_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        same = item == list[i];
    }
    if (!same) {
        SendMessageA(window_, CB_RESETCONTENT, 0, 0);
        for (const auto& item : list) SendMessageA(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    if (SendMessageA(window_, CB_GETCURSEL, 0, 0) != control_.ListIndex())
        SendMessageA(window_, CB_SETCURSEL, static_cast<WPARAM>(control_.ListIndex()), 0);
}

void ControlWindow::ApplyPicture() {
    const auto kind = control_.Kind();
    if ((kind != ControlKind::PictureBox && kind != ControlKind::Image) || pictureShown_ == control_.Picture()) return;
    pictureShown_ = control_.Picture();
    if (kind == ControlKind::Image) {
        // A missing icon shows nothing, as an empty image would.
        icon_ = pictureShown_.empty() ? nullptr : LoadIconA(owner_.Binding().Instance(), pictureShown_.c_str());
        // The caution sign is the system's own, not one of the program's resources.
        if (!icon_ && pictureShown_ == "IDI_WARNING") icon_ = LoadIconA(nullptr, IDI_WARNING);
        InvalidateRect(window_, nullptr, TRUE);
        return;
    }
    bitmap_.reset(pictureShown_.empty() ? nullptr
                                        : static_cast<HBITMAP>(LoadImageA(nullptr, pictureShown_.c_str(), IMAGE_BITMAP,
                                                                          0, 0, LR_LOADFROMFILE)));
    InvalidateRect(window_, nullptr, TRUE);
    BITMAP info{};
    if (control_.Declaration().AutoSize && bitmap_ && GetObjectA(bitmap_.get(), sizeof(info), &info)) {
        const SurfaceScale twips = owner_.Twips();
        control_.Move(control_.Left(), control_.Top(), info.bmWidth * twips.TwipsPerPixelX,
                      info.bmHeight * twips.TwipsPerPixelY);
    }
}

bool ControlWindow::AutoSizeLabel() {
    if (control_.Kind() != ControlKind::Label || !control_.Declaration().AutoSize) return false;
    SIZE text;
    if (!MeasureLabel(text)) return false;
    const SurfaceScale twips = owner_.Twips();
    if (twips.ToPixelX(control_.Width()) == text.cx && twips.ToPixelY(control_.Height()) == text.cy) return false;
    control_.Move(control_.Left(), control_.Top(), text.cx * twips.TwipsPerPixelX, text.cy * twips.TwipsPerPixelY);
    return true;
}

bool ControlWindow::MeasureLabel(SIZE& size) {
    HFONT font = owner_.Binding().Fonts().Get(control_.TextFont(), owner_.DpiY());
    if (font != measuredFont_ || control_.Caption() != measuredCaption_) {
        HDC dc = owner_.Binding().MeasuringDC();
        if (!dc) return false;
        RECT text{0, 0, 0, 0};
        Selected selected(dc, font);
        DrawTextA(dc, control_.Caption().c_str(), -1, &text, DT_CALCRECT | DT_LEFT | DT_TOP);
        measuredFont_ = font;
        measuredCaption_ = control_.Caption();
        measured_ = SIZE{text.right, text.bottom};
    }
    size = measured_;
    return true;
}

void ControlWindow::RedrawUnder(const RECT& rectInParent) {
    // A see-through label leaves its old text behind unless its container paints there again;
    // a hidden container paints all of itself when it shows.
    if (!IsWindowVisible(parent_)) return;
    RedrawWindow(parent_, &rectInParent, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool ControlWindow::PaintsItsOwnField() const {
    // A disabled combo fills its field from the parent's colour but always writes in the grey
    // text colour: on a grey back colour its text would vanish.
    return !control_.Enabled() && !forms::IsSystemColor(control_.BackColor());
}

void ControlWindow::PaintDisabledCombo() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT box;
    GetClientRect(window_, &box);
    DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    RECT arrow = box;
    arrow.left = std::max(box.left, box.right - GetSystemMetrics(SM_CXVSCROLL));
    DrawFrameControl(dc, &arrow, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_INACTIVE);
    RECT field{box.left, box.top, arrow.left, box.bottom};
    FillRect(dc, &field, owner_.Binding().Brushes().Get(ToColorRef(control_.BackColor())));
    const auto& list = control_.List();
    const int chosen = control_.ListIndex();
    if (chosen >= 0 && chosen < static_cast<int>(list.size())) {
        Selected font(dc, font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ToColorRef(control_.ForeColor()));
        field.left += 2;
        DrawTextA(dc, list[static_cast<std::size_t>(chosen)].c_str(), -1, &field,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    }
    EndPaint(window_, &paint);
}

bool ControlWindow::OwnsMouse() const {
    const auto kind = control_.Kind();
    return kind == ControlKind::Label || kind == ControlKind::Image || kind == ControlKind::PictureBox;
}

void ControlWindow::Painted(HDC dc, const RECT& client) {
    if (control_.Kind() == ControlKind::Image) {
        if (icon_) DrawIconEx(dc, 0, 0, icon_, 0, 0, 0, nullptr, DI_NORMAL);
        return;
    }
    if (bitmap_) {
        MemoryDC memory(dc);
        Selected bitmap(memory.Get(), bitmap_.get());
        BITMAP info{};
        GetObjectA(bitmap_.get(), sizeof(info), &info);
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
    }
    DrawFigures(dc, control_.Figures(), Scale(), client, owner_.Binding().Brushes());
}

LRESULT ControlWindow::Original(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(original_, window_, message, wParam, lParam);
}

LRESULT CALLBACK ControlWindow::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const WNDPROC original = self->original_;
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return CallWindowProcA(original, window, message, wParam, lParam);
    }
    if (self->owner_.Detached()) return self->Original(message, wParam, lParam);
    return Guarded(self->owner_.Binding(), [&] { return self->HandleMessage(message, wParam, lParam); });
}

LRESULT ControlWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND self = window_;
    const auto kind = control_.Kind();
    const bool surface = kind == ControlKind::PictureBox || kind == ControlKind::Image;
    switch (message) {
        case WM_NCPAINT:
            // Most controls have no frame: nothing to paint, and Wine would still fetch a window DC.
            if (!HasFrame(self)) return 0;
            break;
        case WM_KEYDOWN:
            if (owner_.KeyDown(this, wParam)) return 0;
            break;
        case WM_CHAR:
            if (owner_.KeyPress(this, wParam)) return 0;
            break;
        case WM_GETDLGCODE:
            // Keys a form hears itself are not the dialog manager's to take.
            return Original(message, wParam, lParam) |
                   (owner_.HearsKeys(this) ? DLGC_WANTALLKEYS | DLGC_WANTCHARS : 0);
        case WM_SETFOCUS: {
            const LRESULT result = Original(message, wParam, lParam);
            if (IsWindow(self)) owner_.ShowDefault();
            return result;
        }
        case WM_ERASEBKGND:
            if (!surface) break;
            {
                RECT client;
                GetClientRect(self, &client);
                forms::Color back = control_.BackColor();
                if (kind == ControlKind::Image) {
                    // An image has no background of its own: its container's shows through.
                    ControlWindow* frame = owner_.Find(control_.Declaration().Container);
                    back = frame ? frame->Model().BackColor() : owner_.Model().BackColor();
                }
                FillRect(reinterpret_cast<HDC>(wParam), &client, owner_.Binding().Brushes().Get(ToColorRef(back)));
            }
            return 1;
        case WM_PAINT:
            if (surface) {
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(self, &paint);
                RECT client;
                GetClientRect(self, &client);
                Painted(dc, client);
                EndPaint(self, &paint);
                return 0;
            }
            if (kind == ControlKind::ComboBox && PaintsItsOwnField()) {
                PaintDisabledCombo();
                return 0;
            }
            if (kind == ControlKind::Frame) {
                const LRESULT result = Original(message, wParam, lParam);
                WindowDC dc(self);
                owner_.PaintShapes(dc.Get(), control_.Name());
                return result;
            }
            break;
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
            // What the controls inside a frame or picture box tell their parent belongs to the form.
            if (kind == ControlKind::Frame || kind == ControlKind::PictureBox)
                return owner_.HandleMessage(message, wParam, lParam);
            break;
        default: break;
    }
    if (!IsMouseMessage(message)) return Original(message, wParam, lParam);

    owner_.Mouse(message, wParam, lParam, Scale(), &control_.MouseDown, &control_.MouseMove, &control_.MouseUp);
    if (!IsWindow(self)) return 0;
    if (message == WM_LBUTTONDBLCLK && control_.DblClick) {
        control_.DblClick();
        if (!IsWindow(self)) return 0;
    }
    if (!OwnsMouse()) return Original(message, wParam, lParam);
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            leftPressed_ = true;
            SetCapture(self);
            break;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: SetCapture(self); break;
        case WM_LBUTTONUP: {
            const bool pressed = leftPressed_;
            leftPressed_ = false;
            if (!ButtonsHeld(wParam)) ReleaseCapture();
            RECT client;
            GetClientRect(self, &client);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (pressed && PtInRect(&client, at)) control_.UserClick();
            break;
        }
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (!ButtonsHeld(wParam)) ReleaseCapture();
            break;
        default: break;
    }
    return 0;
}

// ---------------------------------------------------------------- FormWindow

bool FormWindow::RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXA form{};
    form.cbSize = sizeof(form);
    form.style = CS_DBLCLKS;
    form.lpfnWndProc = &FormWindow::WindowProc;
    form.hInstance = instance;
    form.hCursor = LoadCursor(nullptr, IDC_ARROW);
    form.hIcon = LoadIconA(instance, "IDI_PRODUCT");
    form.lpszClassName = kFormClass;
    WNDCLASSEXA surface = form;
    surface.lpfnWndProc = &DefWindowProcA;  // every surface is subclassed like the standard controls
    surface.hIcon = nullptr;
    surface.lpszClassName = kSurfaceClass;
    // A second binding in the same program finds them registered already.
    const bool formOk = RegisterClassExA(&form) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    const bool surfaceOk = RegisterClassExA(&surface) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return formOk && surfaceOk;
}

FormWindow::~FormWindow() {
    // The binding is going away, perhaps after the forms themselves: touch no model from here on.
    detached_ = true;
    if (window_) DestroyWindow(window_);
}

SurfaceScale FormWindow::Twips() const {
    const auto& screen = form_.Screen();
    return SurfaceScale{screen.TwipsPerPixelX, screen.TwipsPerPixelY, false};
}

SurfaceScale FormWindow::Scale() const {
    SurfaceScale scale = Twips();
    scale.Pixels = form_.Scale == forms::ScaleMode::Pixels;
    return scale;
}

void FormWindow::Prepare() {
    const auto& decl = form_.Declaration();
    RECT outer{0, 0, 0, 0};
    AdjustWindowRectEx(&outer, FormStyle(decl), FALSE, FormExStyle(decl));
    const SurfaceScale twips = Twips();
    form_.SetFrameSize((outer.right - outer.left) * twips.TwipsPerPixelX,
                       (outer.bottom - outer.top) * twips.TwipsPerPixelY);
}

bool FormWindow::Create() {
    const auto& decl = form_.Declaration();
    const SurfaceScale twips = Twips();
    const DWORD style = FormStyle(decl);
    const DWORD exStyle = FormExStyle(decl);
    const int clientWidth = twips.ToPixelX(form_.ScaleWidth()), clientHeight = twips.ToPixelY(form_.ScaleHeight());
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);

    made_ = true;
    creating_ = true;
    CreateWindowExA(exStyle, kFormClass, form_.Caption().c_str(), style, twips.ToPixelX(form_.Left()),
                    twips.ToPixelY(form_.Top()), outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                    binding_.Instance(), this);
    if (!window_) {
        creating_ = false;
        return false;
    }
    // The frame the system really drew, not the one asked for.
    RECT window, client;
    GetWindowRect(window_, &window);
    GetClientRect(window_, &client);
    const int frameWidth = (window.right - window.left) - client.right;
    const int frameHeight = (window.bottom - window.top) - client.bottom;
    if (client.right != clientWidth || client.bottom != clientHeight)
        SetWindowPos(window_, nullptr, 0, 0, clientWidth + frameWidth, clientHeight + frameHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    form_.SetFrameSize(frameWidth * twips.TwipsPerPixelX, frameHeight * twips.TwipsPerPixelY);
    form_.NativeHandle = reinterpret_cast<std::intptr_t>(window_);

    // Frames first, so the controls they hold have a parent.
    int id = 1000;
    for (const bool inFrame : {false, true}) {
        for (auto& control : form_.Controls()) {
            const auto& container = control->Declaration().Container;
            if (container.empty() == inFrame) continue;
            auto made = std::make_unique<ControlWindow>(*this, *control);
            const ControlWindow* frame = inFrame ? Find(container) : nullptr;
            made->Create(frame && frame->Handle() ? frame->Handle() : window_, id++);
            controls_.push_back(std::move(made));
        }
    }
    for (auto& control : controls_) {
        // Group boxes go under everything, so controls merely placed over them stay visible.
        if (control->Kind() == ControlKind::Frame && control->Handle())
            SetWindowPos(control->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (auto& control : controls_) control->Apply();
    // Focus rectangles and underlined access keys as the user's setting and the last input say,
    // as a dialog starts; the dialog manager shows them once the keyboard is used.
    SendMessageA(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
    creating_ = false;
    MatchWindowDpi();
    Apply();
    return true;
}

void FormWindow::Destroy() {
    if (window_) DestroyWindow(window_);
    form_.NativeHandle = 0;
}

ControlWindow* FormWindow::Find(HWND window) const {
    if (!window) return nullptr;
    for (const auto& control : controls_)
        if (control->Handle() == window) return control.get();
    return nullptr;
}

ControlWindow* FormWindow::Find(const forms::Control& control) const {
    for (const auto& made : controls_)
        if (&made->Model() == &control) return made.get();
    return nullptr;
}

ControlWindow* FormWindow::Find(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (const auto& made : controls_)
        if (made->Model().Name() == name &&
            (made->Kind() == ControlKind::Frame || made->Kind() == ControlKind::PictureBox))
            return made.get();
    return nullptr;
}

void FormWindow::Apply() {
    if (!window_ || creating_) return;
    if (WindowText(window_) != form_.Caption()) SetWindowTextA(window_, form_.Caption().c_str());
    if (backColor_ != form_.BackColor()) {
        backColor_ = form_.BackColor();
        InvalidateRect(window_, nullptr, TRUE);
    }
    if (pointer_ != form_.Pointer()) {
        pointer_ = form_.Pointer();
        // Long operations change the pointer without dispatching anything: show it now (and not
        // look for the pointer over a window that is not on the screen).
        POINT at;
        const HWND under = IsWindowVisible(window_) && GetCursorPos(&at) ? WindowFromPoint(at) : nullptr;
        if (under && (under == window_ || IsChild(window_, under))) SetCursor(PointerCursor(pointer_));
    }
    ApplyGeometry();
    ApplyVisibility();
}

void FormWindow::ApplyGeometry() {
    if (IsZoomed(window_) || IsIconic(window_)) return;
    const SurfaceScale twips = Twips();
    const int left = twips.ToPixelX(form_.Left()), top = twips.ToPixelY(form_.Top());
    const RECT target{left, top, left + twips.ToPixelX(form_.Width()), top + twips.ToPixelY(form_.Height())};
    RECT now;
    GetWindowRect(window_, &now);
    if (SameRect(now, target)) return;
    SetWindowPos(window_, nullptr, target.left, target.top, target.right - target.left, target.bottom - target.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::ApplyVisibility() {
    const bool shown = IsWindowVisible(window_) != FALSE;
    if (form_.Visible() == shown) return;
    if (!form_.Visible()) {
        ShowWindow(window_, SW_HIDE);
        return;
    }
    // The model raises Activate for its own Show; the window's activation must not add another.
    showing_ = true;
    const bool maximized = form_.Declaration().State == forms::WindowState::Maximized;
    ShowWindow(window_, maximized ? SW_SHOWMAXIMIZED : SW_SHOW);
    if (maximized && form_.Declaration().Border == forms::BorderStyle::None)
        SetWindowPos(window_, HWND_TOP, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                     SWP_NOACTIVATE);
    showing_ = false;
    UpdateWindow(window_);
}

void FormWindow::ApplyControl(forms::Control& control) {
    if (auto* made = Find(control)) made->Apply();
}

void FormWindow::SyncFromWindow() {
    if (creating_ || !window_ || IsIconic(window_)) return;
    const SurfaceScale twips = Twips();
    RECT now;
    GetWindowRect(window_, &now);
    const int left = twips.ToPixelX(form_.Left()), top = twips.ToPixelY(form_.Top());
    const RECT model{left, top, left + twips.ToPixelX(form_.Width()), top + twips.ToPixelY(form_.Height())};
    if (SameRect(now, model)) return;  // only pixel rounding apart
    form_.Move(now.left * twips.TwipsPerPixelX, now.top * twips.TwipsPerPixelY,
               (now.right - now.left) * twips.TwipsPerPixelX, (now.bottom - now.top) * twips.TwipsPerPixelY);
}

void FormWindow::Drawn(forms::Control* picture, const forms::Figure& figure) {
    HWND target = window_;
    SurfaceScale scale = Scale();
    if (picture) {
        const auto* made = Find(*picture);
        if (!made) return;
        target = made->Handle();
        scale = made->Scale();
    }
    if (!target || !IsWindowVisible(target)) return;  // painted from the list when it shows
    if (!picture && std::holds_alternative<forms::ClearFigure>(figure)) {
        InvalidateRect(target, nullptr, TRUE);  // the shapes come back over the cleared form
        return;
    }
    RECT client;
    GetClientRect(target, &client);
    WindowDC dc(target);
    DrawFigure(dc.Get(), figure, scale, client, binding_.Brushes());
}

void FormWindow::PaintShapes(HDC dc, const std::string& container) {
    const SurfaceScale twips = Twips();
    for (const auto& control : controls_) {
        const auto& model = control->Model();
        if (model.Kind() == ControlKind::Shape && model.Visible() && model.Declaration().Container == container)
            DrawShape(dc, model, twips, binding_.Brushes());
    }
}

void FormWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    DrawFigures(dc, form_.Figures(), Scale(), client, binding_.Brushes());
    PaintShapes(dc, "");
    EndPaint(window_, &paint);
}

LRESULT FormWindow::ControlColour(UINT message, HDC dc, HWND window) {
    ControlWindow* control = Find(window);
    if (!control || control->Kind() == ControlKind::HScrollBar || control->Kind() == ControlKind::ComboBox)
        return DefWindowProcA(window_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window));
    const auto& model = control->Model();
    SetTextColor(dc, ToColorRef(model.ForeColor()));
    if (model.Declaration().Transparent) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    const COLORREF back = ToColorRef(model.BackColor());
    SetBkColor(dc, back);
    return reinterpret_cast<LRESULT>(binding_.Brushes().Get(back));
}

void FormWindow::Command(ControlWindow& control, int code) {
    auto& model = control.Model();
    switch (control.Kind()) {
        case ControlKind::CommandButton:
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
            if (code == BN_CLICKED) model.UserClick();
            return;
        case ControlKind::ComboBox:
            if (code == CBN_SELCHANGE)
                model.UserSelect(static_cast<int>(SendMessageA(control.Handle(), CB_GETCURSEL, 0, 0)));
            return;
        default: return;
    }
}

void FormWindow::Scrolled(ControlWindow& control, int code, int position) {
    auto& model = control.Model();
    const auto& decl = model.Declaration();
    int value = model.Value();
    switch (code) {
        case SB_LINELEFT: value -= decl.SmallChange; break;
        case SB_LINERIGHT: value += decl.SmallChange; break;
        case SB_PAGELEFT: value -= decl.LargeChange; break;
        case SB_PAGERIGHT: value += decl.LargeChange; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: value = position; break;
        case SB_LEFT: value = decl.Min; break;
        case SB_RIGHT: value = decl.Max; break;
        default: return;
    }
    model.UserScroll(value);
}

ControlWindow* FormWindow::Button(bool (*wanted)(const forms::ControlDecl&)) {
    for (const auto& control : controls_) {
        const auto& model = control->Model();
        if (model.Kind() == ControlKind::CommandButton && wanted(model.Declaration()) && model.Visible() &&
            model.Enabled())
            return control.get();
    }
    return nullptr;
}

std::vector<HWND> FormWindow::TabStops() const {
    // In the order the form declares them, frames' contents included, as the programs' tab order.
    std::vector<HWND> stops;
    for (const auto& control : form_.Controls()) {
        const ControlWindow* made = Find(*control);
        const HWND h = made ? made->Handle() : nullptr;
        if (h && (GetWindowLongPtrA(h, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(h) && IsWindowEnabled(h))
            stops.push_back(h);
    }
    return stops;
}

bool FormWindow::StartsGroup(const forms::Control& control) const {
    if (control.Kind() != ControlKind::OptionButton) return true;
    const forms::Control* previous = nullptr;
    for (const auto& other : form_.Controls()) {
        if (other.get() == &control) break;
        if (other->Kind() != ControlKind::Shape && other->Declaration().Container == control.Declaration().Container)
            previous = other.get();
    }
    return !previous || previous->Kind() != ControlKind::OptionButton;
}

bool FormWindow::HearsKeys(ControlWindow* target) {
    const auto hears = [](const auto& events) { return events.KeyDown || events.KeyPress; };
    if (hears(form_) && (form_.Declaration().KeyPreview || !target)) return true;
    return target && hears(target->Model());
}

void FormWindow::FocusLeaving(HWND control) {
    const HWND focus = GetFocus();
    if (!window_ || !focus || (focus != control && !IsChild(control, focus))) return;
    const HWND next = GetNextDlgTabItem(window_, control, FALSE);
    SetFocus(next && next != control && !IsChild(control, next) ? next : window_);
}

ControlWindow* FormWindow::DefaultButton() {
    // Enter presses the focused push button, otherwise the window's default.
    ControlWindow* focused = Find(GetFocus());
    if (focused && focused->Kind() == ControlKind::CommandButton && focused->Model().Visible() &&
        focused->Model().Enabled())
        return focused;
    return Button([](const forms::ControlDecl& d) { return d.Default; });
}

void FormWindow::ShowDefault() {
    if (!window_ || creating_) return;
    const ControlWindow* target = DefaultButton();
    for (const auto& control : controls_) {
        if (control->Kind() != ControlKind::CommandButton || !control->Handle()) continue;
        const LONG_PTR style = GetWindowLongPtrA(control->Handle(), GWL_STYLE);
        const LONG_PTR type = control.get() == target ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if ((style & BS_TYPEMASK) != type) SendMessageA(control->Handle(), BM_SETSTYLE, static_cast<WPARAM>(type), TRUE);
    }
}

bool FormWindow::PreTranslate(MSG& message) {
    if (!window_ || !IsWindowEnabled(window_)) return false;
    const UINT kind = message.message;
    const WPARAM key = message.wParam;
    if (!IsDialogMessageA(window_, &message)) return false;
    Guarded(binding_, [&]() -> LRESULT {
        if (!window_) return 0;  // the key closed the window
        const bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
        if (kind == WM_KEYDOWN && (arrow || key == VK_TAB))
            SendMessageA(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        if (kind == WM_SYSKEYDOWN)
            SendMessageA(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
        // An arrow moves the focus within an option group; the option it lands on is chosen as by a
        // click (the button class of Windows does it on its own focus, Wine's does not).
        ControlWindow* focused = Find(GetFocus());
        if (kind == WM_KEYDOWN && arrow && focused && focused->Kind() == ControlKind::OptionButton &&
            focused->Model().Value() == 0)
            focused->Model().UserClick();
        ShowDefault();
        return 0;
    });
    return true;
}

bool FormWindow::KeyDown(ControlWindow* target, WPARAM& key) {
    int code = static_cast<int>(key);
    const int shift = ShiftState();
    // With KeyPreview the form hears every key first; without it only keys sent to itself.
    if ((form_.Declaration().KeyPreview || !target) && form_.KeyDown) {
        form_.KeyDown(code, shift);
        if (code == 0) return true;
    }
    if (target && target->Model().KeyDown) {
        target->Model().KeyDown(code, shift);
        if (code == 0) return true;
    }
    key = static_cast<WPARAM>(code);
    return false;
}

bool FormWindow::KeyPress(ControlWindow* target, WPARAM& key) {
    int ascii = static_cast<int>(key);
    if ((form_.Declaration().KeyPreview || !target) && form_.KeyPress) {
        form_.KeyPress(ascii);
        if (ascii == 0) return true;
    }
    if (target && target->Model().KeyPress) {
        target->Model().KeyPress(ascii);
        if (ascii == 0) return true;
    }
    key = static_cast<WPARAM>(ascii);
    return false;
}

void FormWindow::Mouse(UINT message, WPARAM wParam, LPARAM lParam, const SurfaceScale& scale,
                       const std::function<void(int, int, double, double)>* down,
                       const std::function<void(int, int, double, double)>* move,
                       const std::function<void(int, int, double, double)>* up) {
    const double x = scale.FromPixelX(GET_X_LPARAM(lParam)), y = scale.FromPixelY(GET_Y_LPARAM(lParam));
    const int shift = ShiftFromMouse(wParam);
    const std::function<void(int, int, double, double)>* handler = nullptr;
    int button = 0;
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: handler = down, button = forms::kLeftButton; break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: handler = down, button = forms::kRightButton; break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: handler = down, button = forms::kMiddleButton; break;
        case WM_LBUTTONUP: handler = up, button = forms::kLeftButton; break;
        case WM_RBUTTONUP: handler = up, button = forms::kRightButton; break;
        case WM_MBUTTONUP: handler = up, button = forms::kMiddleButton; break;
        case WM_MOUSEMOVE: handler = move, button = ButtonsHeld(wParam); break;
        default: return;
    }
    if (handler && *handler) (*handler)(button, shift, x, y);
}

void FormWindow::Activated(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) lastFocus_ = focus;
        return;
    }
    HWND focus = lastFocus_ && IsWindow(lastFocus_) && IsChild(window_, lastFocus_) && IsWindowVisible(lastFocus_) &&
                         IsWindowEnabled(lastFocus_)
                     ? lastFocus_
                     : nullptr;
    if (!focus) {
        const std::vector<HWND> stops = TabStops();
        if (!stops.empty()) focus = stops.front();
    }
    SetFocus(focus ? focus : window_);
    if (showing_ || HIWORD(wParam) != 0) return;
    // Coming back from another of the program's own windows; switching programs is no Activate.
    const HWND previous = reinterpret_cast<HWND>(lParam);
    DWORD process = 0;
    if (previous) GetWindowThreadProcessId(previous, &process);
    if (previous && previous != window_ && process == GetCurrentProcessId()) form_.Activate();
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, binding_.Brushes().Get(ToColorRef(form_.BackColor())));
            return 1;
        }
        case WM_PAINT: Paint(); return 0;
        case WM_COMMAND:
            if (auto* control = Find(reinterpret_cast<HWND>(lParam))) {
                Command(*control, HIWORD(wParam));
                return 0;
            }
            // Escape, from the dialog manager.
            if (lParam == 0 && LOWORD(wParam) == IDCANCEL) {
                if (auto* cancel = Button([](const forms::ControlDecl& d) { return d.Cancel; }))
                    cancel->Model().UserClick();
                return 0;
            }
            break;
        case DM_GETDEFID:
            if (const ControlWindow* button = DefaultButton())
                return MAKELRESULT(GetDlgCtrlID(button->Handle()), DC_HASDEFID);
            return 0;
        case WM_NEXTDLGCTL: {
            // What a dialog's own procedure would do for the dialog manager.
            const HWND next = lParam ? reinterpret_cast<HWND>(wParam)
                                     : GetNextDlgTabItem(window_, GetFocus(), static_cast<BOOL>(wParam != 0));
            if (next) SetFocus(next);
            return 0;
        }
        case WM_GETDLGCODE: return HearsKeys(nullptr) ? DLGC_WANTALLKEYS | DLGC_WANTCHARS : 0;
        case WM_SETFOCUS: ShowDefault(); return 0;
        case WM_HSCROLL:
            if (auto* control = Find(reinterpret_cast<HWND>(lParam))) {
                Scrolled(*control, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return ControlColour(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != SC_CLOSE) break;
            // Alt+F4, the close box, the window menu, the taskbar: the user closes this window. No
            // user reaches a hidden window, or one disabled behind a box, and a command sent from
            // another thread comes from another program.
            if (IsWindowVisible(window_) && IsWindowEnabled(window_) && !(InSendMessageEx(nullptr) & ISMEX_SEND))
                form_.Unload();  // a cancelled Unload keeps the window
            else
                binding_.CloseFromOutside(form_);
            return 0;
        // Only another program sends a bare WM_CLOSE here: the user's close arrives as SC_CLOSE.
        case WM_CLOSE: binding_.CloseFromOutside(form_); return 0;
        case WM_ENDSESSION:
            // Windows ends the process once this returns; what the program must undo happens now.
            if (wParam) binding_.EndSession();
            return 0;
        case WM_SIZE:
        case WM_MOVE: SyncFromWindow(); break;
        case WM_ACTIVATE: Activated(wParam, lParam); return 0;
        case WM_DPICHANGED: ScaleTo(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
        case WM_SETCURSOR:
            if (form_.Pointer() == forms::MousePointer::Hourglass) {
                SetCursor(PointerCursor(forms::MousePointer::Hourglass));
                return TRUE;
            }
            break;
        case WM_KEYDOWN:
            if (KeyDown(nullptr, wParam)) return 0;
            break;
        case WM_CHAR:
            if (KeyPress(nullptr, wParam)) return 0;
            break;
        default:
            if (!IsMouseMessage(message)) break;
            Mouse(message, wParam, lParam, Scale(), &form_.MouseDown, &form_.MouseMove, &form_.MouseUp);
            if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN) {
                if (window_) SetCapture(window_);
            } else if (message != WM_MOUSEMOVE && !ButtonsHeld(wParam) && GetCapture() == window_) {
                ReleaseCapture();
            }
            return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    FormWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    } else {
        self = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (message == WM_GETMINMAXINFO) {  // arrives before WM_NCCREATE
        AnswerMinMax(window, lParam);
        return 0;
    }
    if (message == WM_NCDESTROY && self) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        self = nullptr;
    }
    if (!self || self->detached_) return DefWindowProcA(window, message, wParam, lParam);
    return Guarded(self->binding_, [&] { return self->HandleMessage(message, wParam, lParam); });
}

}  // namespace px::win32
