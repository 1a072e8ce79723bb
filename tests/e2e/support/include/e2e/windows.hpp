// Finding the windows and controls of the programs under test, from outside their process.
#pragma once

#include "e2e/wait.hpp"

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

struct WindowFilter {
    DWORD processId = 0;         // 0: any process
    bool includeHidden = false;  // a program may create its main window hidden first
};

// Visit every top-level window, or every descendant of parent, until visit returns false.
void ForEachTopLevel(const std::function<bool(HWND)>& visit);
void ForEachChild(HWND parent, const std::function<bool(HWND)>& visit);

// Exact caption match; nullptr when none.
HWND FindTopLevelWindow(std::string_view caption, const WindowFilter& filter = {});
HWND WaitForTopLevelWindow(std::string_view caption, Milliseconds timeout,
                           const WindowFilter& filter = {});
bool WaitForWindowGone(HWND window, Milliseconds timeout);

std::string WindowText(HWND window);  // WM_GETTEXT, so it reads edit contents too
std::string ClassName(HWND window);
DWORD WindowProcessId(HWND window);

struct ControlInfo {
    HWND window = nullptr;
    std::string className;
    std::string text;
    int id = 0;
    bool visible = false;  // IsWindowVisible: hidden parents hide it too
    bool enabled = false;
    RECT screenRect{};
    RECT parentClientRect{};  // relative to the parent's client area, as the program placed it
    DWORD style = 0;
    DWORD exStyle = 0;
};

ControlInfo DescribeControl(HWND control);
// Every descendant of parent, in EnumChildWindows order.
std::vector<ControlInfo> ListControls(HWND parent);
// Text is compared exactly, mnemonic '&' included; class names ignore case as Windows does.
std::optional<ControlInfo> FindControlByText(HWND parent, std::string_view text);
std::optional<ControlInfo> FindControlByClass(HWND parent, std::string_view className,
                                              std::size_t index = 0);
std::optional<ControlInfo> FindControlById(HWND parent, int id);

}  // namespace e2e
