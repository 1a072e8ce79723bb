#include "e2e/windows.hpp"

#include "e2e/handles.hpp"

#include <functional>

namespace e2e {
namespace {

constexpr UINT kTextTimeoutMs = 2000;

bool SameClass(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(),
                                                  static_cast<int>(a.size()), b.data(),
                                                  static_cast<int>(b.size())) == CSTR_EQUAL;
}

BOOL CALLBACK Visit(HWND window, LPARAM context) {
    return (*reinterpret_cast<const std::function<bool(HWND)>*>(context))(window) ? TRUE : FALSE;
}

}  // namespace

void ForEachTopLevel(const std::function<bool(HWND)>& visit) { EnumWindows(Visit, reinterpret_cast<LPARAM>(&visit)); }

void ForEachChild(HWND parent, const std::function<bool(HWND)>& visit) {
    EnumChildWindows(parent, Visit, reinterpret_cast<LPARAM>(&visit));
}

std::string WindowText(HWND window) {
    DWORD_PTR length = 0;
    // SendMessageTimeout: a program stuck in a loop must fail the test, not hang it.
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied))
        return {};
    text.resize(copied);
    return Narrow(text);
}

std::string ClassName(HWND window) {
    wchar_t name[256];
    const int length = GetClassNameW(window, name, 256);
    return Narrow(std::wstring_view(name, length > 0 ? static_cast<std::size_t>(length) : 0));
}

DWORD WindowProcessId(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

HWND FindTopLevelWindow(std::string_view caption, const WindowFilter& filter) {
    HWND found = nullptr;
    ForEachTopLevel([&](HWND window) {
        if (!filter.includeHidden && !IsWindowVisible(window)) return true;
        if (filter.processId != 0 && WindowProcessId(window) != filter.processId) return true;
        if (WindowText(window) != caption) return true;
        found = window;
        return false;
    });
    return found;
}

HWND WaitForTopLevelWindow(std::string_view caption, Milliseconds timeout, const WindowFilter& filter) {
    return WaitFor([&] { return FindTopLevelWindow(caption, filter); }, timeout);
}

bool WaitForWindowGone(HWND window, Milliseconds timeout) {
    return WaitFor([&] { return !IsWindow(window); }, timeout);
}

ControlInfo DescribeControl(HWND control) {
    ControlInfo info;
    info.window = control;
    info.className = ClassName(control);
    info.text = WindowText(control);
    info.id = GetDlgCtrlID(control);
    info.visible = IsWindowVisible(control) != FALSE;
    info.enabled = IsWindowEnabled(control) != FALSE;
    GetWindowRect(control, &info.screenRect);
    info.parentClientRect = info.screenRect;
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&info.parentClientRect), 2);
    info.style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
    info.exStyle = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_EXSTYLE));
    return info;
}

std::vector<ControlInfo> ListControls(HWND parent) {
    std::vector<HWND> children;
    ForEachChild(parent, [&](HWND child) {
        children.push_back(child);
        return true;
    });
    std::vector<ControlInfo> controls;
    controls.reserve(children.size());
    for (HWND child : children) controls.push_back(DescribeControl(child));
    return controls;
}

std::optional<ControlInfo> FindControlByText(HWND parent, std::string_view text) {
    for (auto& control : ListControls(parent))
        if (control.text == text) return control;
    return std::nullopt;
}

std::optional<ControlInfo> FindControlByClass(HWND parent, std::string_view className, std::size_t index) {
    for (auto& control : ListControls(parent))
        if (SameClass(control.className, className) && index-- == 0) return control;
    return std::nullopt;
}

std::optional<ControlInfo> FindControlById(HWND parent, int id) {
    for (auto& control : ListControls(parent))
        if (control.id == id) return control;
    return std::nullopt;
}

}  // namespace e2e
