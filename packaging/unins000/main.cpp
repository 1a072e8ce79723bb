// unins000.exe: Win32 side of the removal program (ports over the service manager, files and
// the 64-bit registry view, message boxes) and its entry point.
#include <windows.h>
#include <sddl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <memory>
#include <type_traits>
#include <vector>

#include "removal.hpp"
#include "shared/close_signal.hpp"
#include "shared/command_switch.hpp"
#include "shared/driver_records.hpp"

namespace px::unins {
namespace {

struct ServiceCloser {
    void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using ServiceHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, ServiceCloser>;

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

constexpr REGSAM kView = KEY_WOW64_64KEY;

class Win32Removal final : public MachinePort {
public:
    Outcome RemoveService(const std::string& name) override {
        ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
        if (!manager) return Outcome::Failed;
        ServiceHandle service(
            OpenServiceA(manager.get(), name.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
        if (!service) return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST ? Outcome::Absent : Outcome::Failed;
        SERVICE_STATUS status{};
        ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
        // The driver file can only be deleted once the driver has unloaded; PXwNTcde gives us
        // ten seconds in all, so wait at most three here.
        for (int i = 0; i < 60; ++i) {
            if (!QueryServiceStatus(service.get(), &status) || status.dwCurrentState == SERVICE_STOPPED) break;
            Sleep(50);
        }
        if (!DeleteService(service.get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE)
            return Outcome::Failed;
        return Outcome::Removed;
    }

    Outcome RemoveFile(const std::string& path) override {
        if (DeleteFileA(path.c_str())) return Outcome::Removed;
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Outcome::Absent : Outcome::Failed;
    }

    bool DeleteAtRestart(const std::string& path) override {
        return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    }

    Outcome DeleteValue(const std::string& key, const std::string& name) override {
        HKEY raw = nullptr;
        LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE | kView, &raw);
        if (result == ERROR_FILE_NOT_FOUND) return Outcome::Absent;
        if (result != ERROR_SUCCESS) return Outcome::Failed;
        Key opened(raw);
        result = RegDeleteValueA(opened.get(), name.c_str());
        if (result == ERROR_FILE_NOT_FOUND) return Outcome::Absent;
        return result == ERROR_SUCCESS ? Outcome::Removed : Outcome::Failed;
    }

    Outcome DeleteKey(const std::string& key) override {
        const LONG result = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), kView, 0);
        if (result == ERROR_FILE_NOT_FOUND) return Outcome::Absent;
        return result == ERROR_SUCCESS ? Outcome::Removed : Outcome::Failed;
    }

    bool KeyIsEmpty(const std::string& key) override {
        HKEY raw = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | kView, &raw) != ERROR_SUCCESS)
            return false;
        Key opened(raw);
        DWORD subkeys = 0, values = 0;
        if (RegQueryInfoKeyA(opened.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                             nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        return subkeys == 0 && values == 0;
    }
};

class MessageBoxDialog final : public DialogPort {
public:
    bool AskYesNo(const std::string& text) override {
        return MessageBoxA(nullptr, text.c_str(), kTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    }
    void Tell(const std::string& text, bool warning) override {
        MessageBoxA(nullptr, text.c_str(), kTitle, MB_OK | (warning ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
    }
};

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

class Win32Programs final : public ProgramsPort {
public:
    std::optional<std::int32_t> RegisteredRightButton() override {
        Handle device(CreateFileA(px::kDevicePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (device.get() == INVALID_HANDLE_VALUE) return std::nullopt;
        px::RbfWindowRecord record{};
        DWORD returned = 0;
        if (!DeviceIoControl(device.get(), px::IOCTL_TOUCH_GET_RBF_WINDOW, &record, sizeof record, &record,
                             sizeof record, &returned, nullptr))
            return std::nullopt;
        return record.RbfWindow;
    }

    void SendRightButtonClose(std::int32_t window) override {
        // A registration left by a killed copy names a dead window: the call returns at once.
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(reinterpret_cast<HWND>(static_cast<std::intptr_t>(window)), px::kWmUser, px::kRbfClose,
                            0, SMTO_ABORTIFHUNG, 5000, &answer);
    }

    std::vector<std::uint32_t> Running(const std::string& exeName) override {
        std::vector<std::uint32_t> ids;
        Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (snapshot.get() == INVALID_HANDLE_VALUE) return ids;
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
            if (lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
        return ids;
    }

    // Called back with the system's calling convention, which on 32-bit x86 no lambda has.
    static BOOL CALLBACK PostCloseIfOwnedBy(HWND window, LPARAM id) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == static_cast<DWORD>(id) && IsWindowVisible(window)) PostMessageA(window, WM_CLOSE, 0, 0);
        return TRUE;
    }

    void AskToClose(std::uint32_t processId) override {
        EnumWindows(&PostCloseIfOwnedBy, static_cast<LPARAM>(processId));
    }

    void SignalClose(bool set) override {
        if (!set) {
            if (signal_) ResetEvent(signal_.get());
            signal_.reset();
            return;
        }
        // Made here when no program has made it yet, with the access the programs give it.
        SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (ConvertStringSecurityDescriptorToSecurityDescriptorA(px::kCloseSignalAccess, SDDL_REVISION_1,
                                                                 &descriptor, nullptr))
            attributes.lpSecurityDescriptor = descriptor;
        signal_.reset(CreateEventExA(&attributes, px::kCloseSignalName, CREATE_EVENT_MANUAL_RESET,
                                     EVENT_MODIFY_STATE | SYNCHRONIZE));
        if (descriptor) LocalFree(descriptor);
        if (signal_) SetEvent(signal_.get());
    }

    bool WaitForEnd(std::uint32_t processId, unsigned milliseconds) override {
        Handle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
        if (!process) return true;  // already gone
        return WaitForSingleObject(process.get(), milliseconds) == WAIT_OBJECT_0;
    }

    std::uint64_t NowMs() override { return GetTickCount64(); }

private:
    Handle signal_;
};

std::string Narrow(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// Drops the restart's deletions of what the package is about to write again; renames and
// everybody else's entries stay as they are.
void CancelPendingDeletions(const ProductPlaces& places) {
    constexpr wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    constexpr wchar_t kValue[] = L"PendingFileRenameOperations";
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | kView, &raw) !=
        ERROR_SUCCESS)
        return;
    Key key(raw);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), kValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key.get(), kValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return;
    // Pairs of source and target; a deletion's target is empty, so empty strings count here.
    std::vector<std::wstring> entries;
    const wchar_t* end = data.data() + size / sizeof(wchar_t);
    for (const wchar_t* at = data.data(); at < end;) {
        const std::wstring entry(at);
        at += entry.size() + 1;
        if (at > end || (entry.empty() && entries.size() % 2 == 0)) break;  // the list's closing NUL
        entries.push_back(entry);
    }
    std::vector<wchar_t> kept;
    bool cancelled = false;
    for (std::size_t i = 0; i + 1 < entries.size(); i += 2) {
        if (DeletionOfReinstalledFile(Narrow(entries[i]), Narrow(entries[i + 1]), places)) {
            cancelled = true;
            continue;
        }
        for (const auto& entry : {entries[i], entries[i + 1]}) {
            kept.insert(kept.end(), entry.begin(), entry.end());
            kept.push_back(L'\0');
        }
    }
    if (!cancelled) return;
    if (kept.empty()) {
        RegDeleteValueW(key.get(), kValue);
        return;
    }
    kept.push_back(L'\0');
    RegSetValueExW(key.get(), kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                   static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
}

bool RunningAsSystem() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    Handle token(raw);
    alignas(TOKEN_USER) BYTE buffer[256] = {};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size)) return false;
    return IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, WinLocalSystemSid) != FALSE;
}

// A deployment tool runs the package as the system account, whose session nobody sees: the
// right-button program belongs in the session of the user at the console.
bool StartRightButton(const std::string& folder) {
    std::string line = "\"" + folder + "\\PXwNTcrb.exe\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;  // as its other starters pass it
    PROCESS_INFORMATION info{};
    BOOL started = FALSE;
    using QueryUserToken = BOOL(WINAPI*)(ULONG, PHANDLE);
    HMODULE wts = RunningAsSystem() ? LoadLibraryA("wtsapi32.dll") : nullptr;
    const auto query = wts ? reinterpret_cast<QueryUserToken>(reinterpret_cast<void*>(GetProcAddress(wts, "WTSQueryUserToken"))) : nullptr;
    HANDLE user = nullptr;
    if (query && query(WTSGetActiveConsoleSessionId(), &user)) {
        char desktop[] = "winsta0\\default";
        startup.lpDesktop = desktop;
        started = CreateProcessAsUserA(user, nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                       folder.c_str(), &startup, &info);
        CloseHandle(user);
    } else {
        started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                                 &info);
    }
    if (wts) FreeLibrary(wts);
    if (!started) return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

std::string WithoutTrailingSlash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

ProductPlaces FindPlaces() {
    char buffer[MAX_PATH + 1] = {};
    ProductPlaces places;
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    places.Folder = FolderOf(std::string(buffer, length));
    places.WindowsFolder = WithoutTrailingSlash(std::string(buffer, GetWindowsDirectoryA(buffer, MAX_PATH)));
    places.SystemFolder = WithoutTrailingSlash(std::string(buffer, GetSystemDirectoryA(buffer, MAX_PATH)));
    if (SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, buffer) == S_OK)
        places.StartMenuFolder = WithoutTrailingSlash(buffer);
    return places;
}

}  // namespace
}  // namespace px::unins

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const std::string arguments = commandLine ? commandLine : "";
    px::unins::Win32Removal removal;
    px::unins::MessageBoxDialog dialog;
    px::unins::Win32Programs programs;
    px::unins::ProductPlaces places = px::unins::FindPlaces();
    if (px::HasSwitch(arguments, "/PREPARE")) {
        // Run by the package from its own temporary folder: the folder to install is named.
        places.Folder = px::unins::FolderAfter(arguments, "/PREPARE");
        if (places.Folder.empty()) return 4;
        const auto closed = px::unins::ClosePrograms(programs);
        px::unins::CancelPendingDeletions(places);
        return px::unins::PrepareExitCode(closed);
    }
    if (px::HasSwitch(arguments, "/RIGHTBUTTON")) {
        const std::string folder = px::unins::FolderAfter(arguments, "/RIGHTBUTTON");
        return !folder.empty() && px::unins::StartRightButton(folder) ? 0 : 1;
    }
    // Without our own folder every file step would aim at the root of the current drive.
    if (places.Folder.empty()) return 2;
    return px::unins::RunUninstall(arguments, places, removal, dialog, programs);
}
