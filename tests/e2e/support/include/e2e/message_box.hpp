// Message boxes of the programs under test: read what the user would read, answer as they would.
#pragma once

#include "e2e/wait.hpp"

#include <windows.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

enum class MessageBoxIcon { None, Stop, Question, Exclamation, Information, Unrecognised };
std::string_view ToString(MessageBoxIcon icon);
std::ostream& operator<<(std::ostream& out, MessageBoxIcon icon);

struct MessageBoxInfo {
    HWND window = nullptr;
    DWORD processId = 0;
    std::string title;
    std::string text;
    MessageBoxIcon icon = MessageBoxIcon::None;
    bool topmost = false;     // MB_SYSTEMMODAL boxes are WS_EX_TOPMOST
    std::vector<int> buttons;  // IDs of the buttons the box shows (IDOK, IDYES, ...)
};

// A visible top-level #32770 holding the message static (ID 0xFFFF); processId 0: any process.
HWND FindMessageBox(DWORD processId = 0);
HWND WaitForMessageBox(Milliseconds timeout, DWORD processId = 0);
// Waits up to iconTimeout for the box to be painted when the icon has to be read off the screen.
MessageBoxInfo ReadMessageBox(HWND box, Milliseconds iconTimeout = Milliseconds{3000});
MessageBoxIcon ReadMessageBoxIcon(HWND box, Milliseconds timeout = Milliseconds{3000});
// Presses the button by ID. False when the box does not show that button: Wine's box holds
// hidden buttons of every kind, and pressing one of those would answer what was never asked.
bool AnswerMessageBox(HWND box, int buttonId);

}  // namespace e2e
