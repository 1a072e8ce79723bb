// The sample window, as one table: the sample app builds itself from it and the self-test
// checks what it finds against it.
#pragma once

#include <windows.h>

namespace sample {

inline constexpr char kCaption[] = "E2E Sample Window";
inline constexpr char kPadClass[] = "E2ESamplePad";
inline constexpr int kClientWidth = 420;
inline constexpr int kClientHeight = 330;
inline constexpr DWORD kDefaultExitCode = 42;

enum ControlId : int {
    cmdStopBox = 101,
    cmdQuestionBox,
    cmdWarningBox,
    cmdInfoBox,
    cmdCount,
    cmdDisabled,
    cmdHidden,
    cmdQuit,
    txtTyping,
    padMouse,
    txtLog,
};

struct ControlSpec {
    int id;
    const char* className;
    const char* text;
    int x, y, width, height;
    DWORD style;  // besides WS_CHILD
    DWORD exStyle = 0;
};

inline constexpr ControlSpec kControls[] = {
    {cmdStopBox, "Button", "&Stop box", 10, 10, 110, 26, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {cmdQuestionBox, "Button", "&Question box", 10, 42, 110, 26, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {cmdWarningBox, "Button", "&Warning box", 10, 74, 110, 26, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {cmdInfoBox, "Button", "&Info box", 10, 106, 110, 26, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {cmdCount, "Button", "Count", 130, 10, 80, 26, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {cmdDisabled, "Button", "Disabled", 130, 42, 80, 26, WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON},
    {cmdHidden, "Button", "Hidden", 130, 74, 80, 26, BS_PUSHBUTTON},
    {cmdQuit, "Button", "Quit", 130, 106, 80, 26, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {txtTyping, "Edit", "", 10, 142, 200, 24, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {padMouse, kPadClass, "pad", 230, 10, 180, 156, WS_VISIBLE | WS_BORDER},
    {txtLog, "Edit", "", 10, 176, 400, 144,
     WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, WS_EX_CLIENTEDGE},
};

struct BoxSpec {
    int button;
    const char* title;
    const char* text;
    UINT type;
};

inline constexpr BoxSpec kBoxes[] = {
    {cmdStopBox, "Sample Alarm", "The sample alarm went off.", MB_YESNO | MB_ICONSTOP | MB_SYSTEMMODAL},
    {cmdQuestionBox, "Sample Question", "Carry on with the sample?", MB_YESNO | MB_ICONQUESTION},
    {cmdWarningBox, "Sample Warning", "The sample is about to warn you.", MB_OKCANCEL | MB_ICONEXCLAMATION},
    {cmdInfoBox, "Sample Note", "The sample has nothing to say.", MB_OK | MB_ICONINFORMATION},
};

}  // namespace sample
