#include "e2e/input.hpp"

#include "e2e/handles.hpp"
#include "e2e/wait.hpp"

#include <cstdlib>
#include <vector>

namespace e2e {
namespace {

INPUT Key(WORD virtualKey, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    switch (virtualKey) {
    case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_DIVIDE: case VK_NUMLOCK:
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        break;
    default:
        break;
    }
    if (!down) input.ki.dwFlags |= KEYEVENTF_KEYUP;
    return input;
}

INPUT Unicode(wchar_t unit, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = unit;
    input.ki.dwFlags = KEYEVENTF_UNICODE | (down ? 0 : KEYEVENTF_KEYUP);
    return input;
}

// Rounded up so that the system's scaling back (truncating) lands on the same pixel.
LONG Normalised(int offset, int extent) {
    return static_cast<LONG>((static_cast<long long>(offset) * 65536 + extent - 1) / extent);
}

// Each press carries its own absolute position: under Wine a press that only relies on
// SetCursorPos can land where the pointer was before, when the program under test is still
// catching up on the X pointer events of an earlier move.
INPUT Mouse(POINT at, MouseButton button, bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = Normalised(at.x - GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN));
    input.mi.dy = Normalised(at.y - GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    switch (button) {
    case MouseButton::Left: input.mi.dwFlags |= down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP; break;
    case MouseButton::Right: input.mi.dwFlags |= down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP; break;
    case MouseButton::Middle: input.mi.dwFlags |= down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP; break;
    }
    return input;
}

std::vector<WORD> ModifierKeys(Modifiers modifiers) {
    std::vector<WORD> keys;
    if (modifiers.shift) keys.push_back(VK_SHIFT);
    if (modifiers.ctrl) keys.push_back(VK_CONTROL);
    if (modifiers.alt) keys.push_back(VK_MENU);
    return keys;
}

bool Send(std::vector<INPUT> inputs) {
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// Wine fills a mouse message's MK_SHIFT/MK_CONTROL from the key state at the moment the program
// takes the message from its queue, not when it was queued: released in the same breath, the
// modifiers are often gone by then. So they stay down a while, as a hand would hold them.
constexpr DWORD kModifierSettleMs = 50;
constexpr DWORD kPointerSettleMs = 100;
constexpr DWORD kModifierHoldMs = 300;

bool SendWithModifiers(Modifiers modifiers, const std::vector<INPUT>& action) {
    const std::vector<WORD> keys = ModifierKeys(modifiers);
    std::vector<INPUT> press, release;
    for (WORD key : keys) press.push_back(Key(key, true));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) release.push_back(Key(*key, false));
    if (keys.empty()) return Send(action);
    const bool pressed = Send(press);
    if (pressed) Sleep(kModifierSettleMs);
    const bool acted = pressed && Send(action);
    if (acted) Sleep(kModifierHoldMs);
    const bool released = Send(release);
    return pressed && acted && released;
}

// Two presses on one spot within the double-click time arrive as a double-click; a test that
// clicks twice means two clicks, so the second waits the double-click time out.
void AvoidDoubleClick(POINT point, MouseButton button) {
    static POINT lastPoint{};
    static MouseButton lastButton = MouseButton::Left;
    static DWORD lastTime = 0;
    const DWORD now = GetTickCount();
    const DWORD limit = GetDoubleClickTime();
    if (lastTime != 0 && button == lastButton && now - lastTime <= limit &&
        std::abs(point.x - lastPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(point.y - lastPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK)) {
        Sleep(limit - (now - lastTime) + 50);
    }
    lastPoint = point;
    lastButton = button;
    lastTime = GetTickCount();
}

std::wstring ToUnits(std::string_view utf8) { return Widen(utf8); }

}  // namespace

POINT CenterOf(const RECT& rect) {
    return {rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
}

void PostButtonClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

bool BringToForeground(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    return WaitFor([&] { return GetForegroundWindow() == window; }, Milliseconds{2000});
}

HWND FocusedWindow() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(0, &info) ? info.hwndFocus : nullptr;
}

bool MouseClick(POINT screenPoint, MouseButton button, Modifiers modifiers) {
    AvoidDoubleClick(screenPoint, button);
    // Move first and let the program take the pointer events the move causes: under Wine an
    // X pointer crossing resyncs the key state from X, which knows nothing of our modifiers.
    INPUT move = Mouse(screenPoint, button, true);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    if (!SetCursorPos(screenPoint.x, screenPoint.y) || !Send({move})) return false;
    Sleep(kPointerSettleMs);
    return SendWithModifiers(modifiers, {Mouse(screenPoint, button, true), Mouse(screenPoint, button, false)});
}

bool MouseClickControl(HWND control, MouseButton button, Modifiers modifiers) {
    RECT rect{};
    if (!GetWindowRect(control, &rect)) return false;
    return MouseClick(CenterOf(rect), button, modifiers);
}

bool PressKey(WORD virtualKey, Modifiers modifiers) {
    return SendWithModifiers(modifiers, {Key(virtualKey, true), Key(virtualKey, false)});
}

bool TypeText(std::string_view utf8) {
    std::vector<INPUT> inputs;
    for (wchar_t unit : ToUnits(utf8)) {
        inputs.push_back(Unicode(unit, true));
        inputs.push_back(Unicode(unit, false));
    }
    return Send(std::move(inputs));
}

bool PostMouseClick(HWND window, POINT clientPoint, MouseButton button, Modifiers modifiers) {
    if (modifiers.alt) return false;
    WPARAM keys = 0;
    if (modifiers.shift) keys |= MK_SHIFT;
    if (modifiers.ctrl) keys |= MK_CONTROL;
    UINT down = WM_LBUTTONDOWN, up = WM_LBUTTONUP;
    WPARAM held = MK_LBUTTON;
    if (button == MouseButton::Right) { down = WM_RBUTTONDOWN; up = WM_RBUTTONUP; held = MK_RBUTTON; }
    if (button == MouseButton::Middle) { down = WM_MBUTTONDOWN; up = WM_MBUTTONUP; held = MK_MBUTTON; }
    const LPARAM where = MAKELPARAM(clientPoint.x, clientPoint.y);
    return PostMessageW(window, down, keys | held, where) && PostMessageW(window, up, keys, where);
}

void PostKey(HWND window, WORD virtualKey) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(window, WM_KEYDOWN, virtualKey, scan | 1);
    // Key-up carries the previous-state and transition bits.
    PostMessageW(window, WM_KEYUP, virtualKey, scan | 1 | (LPARAM{1} << 30) | (LPARAM{1} << 31));
}

void PostText(HWND window, std::string_view utf8) {
    for (wchar_t unit : ToUnits(utf8)) PostMessageW(window, WM_CHAR, unit, 1);
}

}  // namespace e2e
