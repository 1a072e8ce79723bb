// A small window for the e2e support library's self-test to drive: every click, key and mouse
// press it receives is appended to its log box, where the test reads it back.
//   --exit-code N  code returned when Quit is pressed (default 42)
//   --hidden       create the main window without showing it
//   --print TEXT   no window: write TEXT to standard output, "note" to standard error, exit
#include "sample_layout.hpp"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

DWORD exitCode = sample::kDefaultExitCode;
HWND mainWindow = nullptr;

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (; *text; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

void Log(const std::wstring& line) {
    HWND log = GetDlgItem(mainWindow, sample::txtLog);
    if (!log) return;
    const int end = GetWindowTextLengthW(log);
    SendMessageW(log, EM_SETSEL, end, end);
    SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>((line + L"\r\n").c_str()));
}

std::wstring Held(bool shift, bool ctrl) {
    std::wstring held;
    auto add = [&](bool on, const wchar_t* name) {
        if (!on) return;
        if (!held.empty()) held += L' ';
        held += name;
    };
    add(shift, L"shift");
    add(ctrl, L"ctrl");
    add(GetKeyState(VK_MENU) < 0, L"alt");
    return L"[" + held + L"]";
}

std::wstring Hex(WPARAM value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%02X", static_cast<unsigned>(value));
    return text;
}

LRESULT CALLBACK PadProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const wchar_t* button = nullptr;
    const wchar_t* direction = nullptr;
    switch (message) {
    case WM_LBUTTONDOWN: button = L"left"; direction = L"down"; break;
    case WM_LBUTTONUP: button = L"left"; direction = L"up"; break;
    case WM_RBUTTONDOWN: button = L"right"; direction = L"down"; break;
    case WM_RBUTTONUP: button = L"right"; direction = L"up"; break;
    case WM_MBUTTONDOWN: button = L"middle"; direction = L"down"; break;
    case WM_MBUTTONUP: button = L"middle"; direction = L"up"; break;
    case WM_LBUTTONDBLCLK: button = L"left"; direction = L"dblclk"; break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        Log((message == WM_KEYDOWN ? L"keydown " : L"syskeydown ") + Hex(wParam) + L" " +
            Held(GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0));
        break;
    case WM_CHAR:
        Log(L"char " + Hex(wParam));
        return 0;
    default:
        break;
    }
    if (button) {
        if (wcscmp(direction, L"down") == 0) SetFocus(window);
        Log(std::wstring(L"mouse ") + button + L" " + direction + L" " +
            std::to_wstring(static_cast<short>(LOWORD(lParam))) + L"," +
            std::to_wstring(static_cast<short>(HIWORD(lParam))) + L" " +
            Held((wParam & MK_SHIFT) != 0, (wParam & MK_CONTROL) != 0));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void OnButton(HWND window, int id) {
    wchar_t text[64];
    GetDlgItemTextW(window, id, text, 64);
    Log(std::wstring(L"click ") + text);
    for (const auto& box : sample::kBoxes) {
        if (box.button != id) continue;
        const int answer = MessageBoxW(window, Widen(box.text).c_str(), Widen(box.title).c_str(), box.type);
        Log(L"answer " + Widen(box.title) + L" " + std::to_wstring(answer));
    }
    if (id == sample::cmdQuit) PostQuitMessage(static_cast<int>(exitCode));
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam != 0) OnButton(window, LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int PrintMode(const wchar_t* text) {
    const std::string line = [&] {
        std::string narrow;
        for (const wchar_t* c = text; *c; ++c) narrow += static_cast<char>(*c);
        return narrow + "\n";
    }();
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), "note\n", 5, &written, nullptr);
    return static_cast<int>(exitCode);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    bool hidden = false;
    const wchar_t* print = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (wcscmp(argv[i], L"--exit-code") == 0 && i + 1 < argc) exitCode = wcstoul(argv[++i], nullptr, 10);
        else if (wcscmp(argv[i], L"--hidden") == 0) hidden = true;
        else if (wcscmp(argv[i], L"--print") == 0 && i + 1 < argc) print = argv[++i];
    }
    if (print) return PrintMode(print);

    WNDCLASSW mainClass{};
    mainClass.lpfnWndProc = MainProc;
    mainClass.hInstance = instance;
    mainClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    mainClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    mainClass.lpszClassName = L"E2ESampleMain";
    RegisterClassW(&mainClass);
    WNDCLASSW padClass{};
    padClass.style = CS_DBLCLKS;  // so a click taken for a double-click shows in the log
    padClass.lpfnWndProc = PadProc;
    padClass.hInstance = instance;
    padClass.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    padClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    const std::wstring padClassName = Widen(sample::kPadClass);
    padClass.lpszClassName = padClassName.c_str();
    RegisterClassW(&padClass);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, sample::kClientWidth, sample::kClientHeight};
    AdjustWindowRect(&frame, style, FALSE);
    mainWindow = CreateWindowExW(0, mainClass.lpszClassName, Widen(sample::kCaption).c_str(), style, 60, 60,
                                 frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                 instance, nullptr);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (const auto& control : sample::kControls) {
        HWND child = CreateWindowExW(control.exStyle, Widen(control.className).c_str(), Widen(control.text).c_str(),
                                     WS_CHILD | control.style, control.x, control.y, control.width,
                                     control.height, mainWindow,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }

    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    Log(std::wstring(L"exe ") + path);
    GetCurrentDirectoryW(MAX_PATH, path);
    Log(std::wstring(L"cwd ") + path);
    LocalFree(argv);

    if (!hidden) ShowWindow(mainWindow, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
