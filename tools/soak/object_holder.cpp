// Holds a known number of handles, GDI objects and windows for object_counts_tests to count
// from outside. Its window "object holder ready" takes WM_APP with n: make n more of each, then
// the caption becomes "object holder n"; and WM_APP + 1: free them all, "object holder freed".
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::vector<HANDLE> events;
std::vector<HBRUSH> brushes;
std::vector<HWND> windows;

void MakeObjects(WPARAM n) {
    for (WPARAM i = 0; i < n; ++i) {
        events.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
        windows.push_back(
            CreateWindowExA(0, "STATIC", "held", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    }
}

void FreeObjects() {
    for (HWND window : windows) DestroyWindow(window);
    for (HBRUSH brush : brushes) DeleteObject(brush);
    for (HANDLE event : events) CloseHandle(event);
    windows.clear(), brushes.clear(), events.clear();
}

LRESULT CALLBACK HolderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        MakeObjects(wParam);
        SetWindowTextA(window, ("object holder " + std::to_string(wParam)).c_str());
        return 0;
    }
    if (message == WM_APP + 1) {
        FreeObjects();
        SetWindowTextA(window, "object holder freed");
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main() {
    WNDCLASSA holderClass{};
    holderClass.lpfnWndProc = HolderProc;
    holderClass.lpszClassName = "ObjectHolder";
    RegisterClassA(&holderClass);
    // Whatever the first window, brush and event make once per process is made before counting.
    DestroyWindow(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    DeleteObject(CreateSolidBrush(RGB(1, 1, 1)));
    CloseHandle(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    CreateWindowExA(0, "ObjectHolder", "object holder ready", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                    nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
