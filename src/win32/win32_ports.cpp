#include "win32/win32_ports.hpp"

#include <string_view>
#include <vector>

#include "shared/bitmap_file.hpp"

namespace px::win32 {

DeviceHandle DeviceApi::Open(const std::string& path) {
    SECURITY_ATTRIBUTES security{};
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle == INVALID_HANDLE_VALUE ? kInvalidDevice : reinterpret_cast<DeviceHandle>(handle);
}

bool DeviceApi::Control(DeviceHandle handle, std::uint32_t code, void* buffer, std::uint32_t size) {
    return ::DeviceIoControl(reinterpret_cast<HANDLE>(handle), code, buffer, size, buffer, size, &bytesReturned_,
                             &overlapped_) != FALSE;
}

void DeviceApi::Close(DeviceHandle handle) { ::CloseHandle(reinterpret_cast<HANDLE>(handle)); }

namespace {
HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }
}  // namespace

long RegistryApi::CreateKey(RegKey hive, const std::string& path, RegKey* key) {
    HKEY opened = nullptr;
    const LONG result = ::RegCreateKeyA(ToHkey(hive), path.c_str(), &opened);
    *key = reinterpret_cast<RegKey>(opened);
    return result;
}

long RegistryApi::QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                             std::uint32_t* size) {
    DWORD valueType = 0;
    DWORD valueSize = *size;
    const LONG result = ::RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, data, &valueSize);
    *type = valueType;
    *size = valueSize;
    return result;
}

long RegistryApi::SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                           std::uint32_t size) {
    return ::RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
}

long RegistryApi::CloseKey(RegKey key) { return ::RegCloseKey(ToHkey(key)); }

static_assert(kBoxYesNo == MB_YESNO && kBoxIconStop == MB_ICONSTOP && kBoxIconQuestion == MB_ICONQUESTION &&
              kBoxIconExclamation == MB_ICONEXCLAMATION && kBoxIconInformation == MB_ICONINFORMATION &&
              kBoxDefaultButton2 == MB_DEFBUTTON2 && kBoxSystemModal == MB_SYSTEMMODAL && kBoxOk == MB_OK);
static_assert(kShowHidden == SW_HIDE && kShowNormal == SW_SHOWNORMAL);

namespace {
BOOL CALLBACK DisableThreadWindow(HWND window, LPARAM list) {
    // EnableWindow answers whether the window was disabled already; those stay as they are.
    if (!::EnableWindow(window, FALSE)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

BOOL CALLBACK FindTopmostThreadWindow(HWND window, LPARAM found) {
    if (!::IsWindowVisible(window) || (::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void EnableAll(const std::vector<HWND>& windows, bool on) {
    for (HWND window : windows)
        if (::IsWindow(window)) ::EnableWindow(window, on ? TRUE : FALSE);
}

// The box being shown, and what it disabled.
struct BoxWatch {
    const std::vector<HWND>* Disabled = nullptr;
    HWND Box = nullptr;
    WNDPROC Original = nullptr;
};
thread_local BoxWatch tBox;

LRESULT CALLBACK WatchedBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC original = tBox.Original;
    if (box != tBox.Box || !original) return ::DefWindowProcA(box, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        tBox.Box = nullptr;
        tBox.Original = nullptr;
        return ::CallWindowProcA(original, box, message, wParam, lParam);
    }
    if (message != WM_COMMAND || !tBox.Disabled) return ::CallWindowProcA(original, box, message, wParam, lParam);
    // An answer: the box hides and Windows activates the next enabled window, which must be ours
    // and not another program's. So ours are enabled before, and disabled again if the box stays.
    const std::vector<HWND>& disabled = *tBox.Disabled;
    EnableAll(disabled, true);
    const LRESULT result = ::CallWindowProcA(original, box, message, wParam, lParam);
    if (::IsWindow(box) && ::IsWindowVisible(box)) EnableAll(disabled, false);
    return result;
}

LRESULT CALLBACK WatchForBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && tBox.Disabled && !tBox.Box) {
        char name[16] = {};
        const HWND window = reinterpret_cast<HWND>(wParam);
        if (::GetClassNameA(window, name, sizeof name) && std::string_view(name) == "#32770") {
            tBox.Box = window;
            tBox.Original = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchedBoxProc)));
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

int UiApi::ShowMessageBox(const std::string& text, const std::string& title, std::uint32_t style) {
    // A system-modal box disables at most its owner, and a task-modal one loses the topmost look.
    // So the box keeps its style and every window of the program is disabled while it is open:
    // otherwise a touch or a key reaches a window whose handler is still waiting for the answer.
    HWND active = ::GetActiveWindow();
    HWND owner = active ? active : boxOwner_ ? boxOwner_() : nullptr;
    // Not in the foreground, a topmost window of ours would cover an unowned box of ours.
    if (!owner)
        ::EnumThreadWindows(::GetCurrentThreadId(), &FindTopmostThreadWindow, reinterpret_cast<LPARAM>(&owner));
    std::vector<HWND> disabled;
    const BoxWatch outer = tBox;
    tBox = BoxWatch{&disabled};
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, &WatchForBox, nullptr, ::GetCurrentThreadId());
    int answer = 0;
    do {
        ::EnumThreadWindows(::GetCurrentThreadId(), &DisableThreadWindow, reinterpret_cast<LPARAM>(&disabled));
        answer = ::MessageBoxA(owner, text.c_str(), title.c_str(), style);
        // Windows ignores Escape on a Yes/No box; Wine closes it with IDCANCEL, which the callers
        // would take for an answer. A question is answered by Yes or No only.
    } while (answer == IDCANCEL && (style & MB_TYPEMASK) == kBoxYesNo);
    if (hook) ::UnhookWindowsHookEx(hook);
    tBox = outer;
    EnableAll(disabled, true);  // also when the box could not be watched
    if (active && ::IsWindow(active) && ::IsWindowVisible(active)) ::SetActiveWindow(active);
    return answer;
}

void UiApi::Beep() { ::MessageBeep(MB_OK); }

int UiApi::ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

unsigned ProcessApi::StartProgram(const std::string& commandLine, int showCommand) {
    return ::WinExec(commandLine.c_str(), static_cast<UINT>(showCommand));
}

void ProcessApi::EndProgram(int exitCode) { ::ExitProcess(static_cast<UINT>(exitCode)); }

std::intptr_t WindowMessageApi::SendWindowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                            std::intptr_t lParam) {
    return ::SendMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

namespace {
HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle FromHwnd(HWND window) { return reinterpret_cast<WindowHandle>(window); }
}  // namespace

WindowSearchApi::WindowSearchApi(const std::string& programName) {
    const std::string name = "Local\\" + programName + ".running";
    marker_ = ::CreateMutexA(nullptr, FALSE, name.c_str());
    previous_ = MarkerTaken(marker_ != nullptr, ::GetLastError());
}

bool WindowSearchApi::MarkerTaken(bool opened, DWORD error) {
    // A copy running elevated made the marker with an administrators-only access list: an
    // ordinary copy is refused it, and that refusal is the running copy.
    return opened ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

WindowSearchApi::~WindowSearchApi() {
    if (marker_) ::CloseHandle(marker_);
}

WindowHandle WindowSearchApi::FirstWindow() { return FromHwnd(::FindWindowA(nullptr, nullptr)); }
WindowHandle WindowSearchApi::NextWindow(WindowHandle window) {
    return FromHwnd(::GetWindow(ToHwnd(window), GW_HWNDNEXT));
}
WindowHandle WindowSearchApi::ParentOf(WindowHandle window) { return FromHwnd(::GetParent(ToHwnd(window))); }
unsigned WindowSearchApi::InstanceWord(WindowHandle window) { return ::GetWindowWord(ToHwnd(window), -6); }
int WindowSearchApi::WindowText(WindowHandle window, char* buffer, int size) {
    return ::GetWindowTextA(ToHwnd(window), buffer, size);
}
int WindowSearchApi::WindowTextLength(WindowHandle window) { return ::GetWindowTextLengthA(ToHwnd(window)); }
void WindowSearchApi::BringToFront(WindowHandle window) {
    // Brought forward while minimized, it would stay a button on the taskbar.
    if (::IsIconic(ToHwnd(window))) ::ShowWindow(ToHwnd(window), SW_RESTORE);
    ::SetForegroundWindow(ToHwnd(window));
    ::BringWindowToTop(ToHwnd(window));
}

bool PictureApi::BitmapSize(const std::string& path, int& width, int& height) {
    // The loader takes a file cut short, or one whose header claims more pixels than it holds,
    // and makes a black or screen-wide picture of it: look at the file first.
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER fileSize{};
    char head[kBitmapHeadBytes];
    DWORD read = 0;
    const bool headRead = ::GetFileSizeEx(file, &fileSize) && ::ReadFile(file, head, sizeof head, &read, nullptr);
    ::CloseHandle(file);
    if (!headRead || !VendorBitmapAcceptable(std::string_view(head, read),
                                             static_cast<std::uint64_t>(fileSize.QuadPart)))
        return false;

    HANDLE image = ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (!image) return false;
    BITMAP info{};
    const bool ok = ::GetObjectA(image, sizeof info, &info) == sizeof info;
    ::DeleteObject(image);
    if (!ok) return false;
    width = info.bmWidth;
    height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    return true;
}

bool FileApi::CanOpenForInput(const std::string& path) {
    // Sharing as a plain reader would: a file another program holds without read sharing fails,
    // and so does a folder (no backup semantics).
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ::SetLastError(ERROR_SUCCESS);
        return false;
    }
    ::CloseHandle(file);
    return true;
}

}  // namespace px::win32
