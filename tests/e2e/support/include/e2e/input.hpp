// Driving the programs under test: real input (what a user's hand does) and posted messages
// (delivered to one window whatever is in front of it).
#pragma once

#include <windows.h>

#include <string_view>

namespace e2e {

enum class MouseButton { Left, Right, Middle };

struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

POINT CenterOf(const RECT& rect);

// BM_CLICK, posted: a click that opens a modal box must not block the test.
void PostButtonClick(HWND button);

// Real input. The mouse goes to whatever window is under the point; keys go to the focus of
// the foreground window. Modifiers are held down around the action and released after it.
// Return false when SendInput did not take every event.
bool BringToForeground(HWND window);
// The window with the keyboard focus in the foreground program; nullptr when none.
HWND FocusedWindow();
bool MouseClick(POINT screenPoint, MouseButton button = MouseButton::Left, Modifiers modifiers = {});
bool MouseClickControl(HWND control, MouseButton button = MouseButton::Left,
                       Modifiers modifiers = {});
bool PressKey(WORD virtualKey, Modifiers modifiers = {});
bool TypeText(std::string_view utf8);

// Posted messages. Mouse modifiers travel as MK_SHIFT/MK_CONTROL in wParam; there is no MK_
// flag for Alt and a posted message cannot change the receiver's key state, so alt = true is
// refused (returns false): use MouseClick for Alt.
bool PostMouseClick(HWND window, POINT clientPoint, MouseButton button = MouseButton::Left,
                    Modifiers modifiers = {});
// WM_KEYDOWN + WM_KEYUP; the receiver's TranslateMessage may still make a WM_CHAR of it.
void PostKey(HWND window, WORD virtualKey);
// WM_CHAR per UTF-16 unit.
void PostText(HWND window, std::string_view utf8);

}  // namespace e2e
