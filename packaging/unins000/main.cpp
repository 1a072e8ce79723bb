// unins000.exe: Win32 side of the removal program (ports over the service manager, files and
// the 64-bit registry view, message boxes) and its entry point.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <userenv.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

#include "removal.hpp"
#include "shared/bitmap_file.hpp"
#include "shared/close_signal.hpp"
#include "shared/command_switch.hpp"
#include "shared/driver_records.hpp"
#include "shared/setup_exit_codes.hpp"
#include "win32/close_signal.hpp"
#include "win32/setup_api.hpp"

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

struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// The log of one run, a new file that nobody else can have prepared: see OpenRunLog.
class RunLog {
public:
    void Adopt(HANDLE file) { file_.reset(file); }
    void Line(const std::string& text) {
        if (!file_ || file_.get() == INVALID_HANDLE_VALUE) return;
        const std::string line = text + "\r\n";
        DWORD written = 0;
        WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }

private:
    Handle file_;
};

class MessageBoxDialog final : public DialogPort {
public:
    explicit MessageBoxDialog(RunLog& log) : log_(log) {}
    bool AskYesNo(const std::string& text) override {
        return MessageBoxA(nullptr, text.c_str(), kTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
    }
    void Tell(const std::string& text, bool warning) override {
        MessageBoxA(nullptr, text.c_str(), kTitle, MB_OK | (warning ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
    }
    void Note(const std::string& text) override { log_.Line(text); }

private:
    RunLog& log_;
};

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
        signal_.reset(px::win32::OpenCloseSignal(EVENT_MODIFY_STATE | SYNCHRONIZE));
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
    const auto read = [&]() -> std::optional<std::vector<wchar_t>> {
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key.get(), kValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != REG_MULTI_SZ)
            return std::nullopt;
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
        if (RegQueryValueExW(key.get(), kValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        data.resize(size / sizeof(wchar_t));
        return data;
    };
    // The list is one value that others write too: it is written back only when it is still
    // what was read, so that an entry added meanwhile is not lost.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto data = read();
        if (!data) return;
        // Pairs of source and target; a deletion's target is empty, so empty strings count here.
        std::vector<std::wstring> entries;
        const wchar_t* end = data->data() + data->size();
        for (const wchar_t* at = data->data(); at < end;) {
            const std::wstring entry(at, std::find(at, end, L'\0'));
            at += entry.size() + 1;
            if (entry.empty() && entries.size() % 2 == 0) break;  // the list's closing NUL
            entries.push_back(entry);
        }
        if (entries.size() % 2 != 0) return;  // not a list of pairs: not ours to rewrite
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
        if (read() != data) continue;
        if (kept.empty()) {
            RegDeleteValueW(key.get(), kValue);
            return;
        }
        kept.push_back(L'\0');
        RegSetValueExW(key.get(), kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                       static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
        return;
    }
}

HMODULE LoadSystemLibrary(const char* name) {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(folder, length) + "\\" + name;
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

template <typename Function>
Function SystemFunction(HMODULE library, const char* name) {
    return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

// The token of the user at the screen, with that user's ordinary rights; nullptr when there is
// none to be had (nobody logged on, no shell), and the logon program starts the button then.
Handle InteractiveUserToken(bool asSystem) {
    HANDLE token = nullptr;
    if (asSystem) {
        // A deployment tool's system account: the user of the console session.
        HMODULE wts = LoadSystemLibrary("wtsapi32.dll");
        using QueryUserToken = BOOL(WINAPI*)(ULONG, PHANDLE);
        const auto query = SystemFunction<QueryUserToken>(wts, "WTSQueryUserToken");
        if (query && !query(WTSGetActiveConsoleSessionId(), &token)) token = nullptr;
        if (wts) FreeLibrary(wts);
        return Handle(token);
    }
    // An administrator's elevated run: the shell of our own session runs with the user's rights.
    DWORD shellId = 0;
    if (HWND shell = GetShellWindow()) GetWindowThreadProcessId(shell, &shellId);
    if (shellId == 0) {
        // No shell window registered (a shell starting up or another shell): explorer.exe of this
        // session, when it runs.
        DWORD session = 0, theirs = 0;
        ProcessIdToSessionId(GetCurrentProcessId(), &session);
        Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = snapshot.get() != INVALID_HANDLE_VALUE && Process32First(snapshot.get(), &entry);
             more && shellId == 0; more = Process32Next(snapshot.get(), &entry))
            if (lstrcmpiA(entry.szExeFile, "explorer.exe") == 0 && ProcessIdToSessionId(entry.th32ProcessID, &theirs) &&
                theirs == session)
                shellId = entry.th32ProcessID;
    }
    if (shellId == 0) return Handle(nullptr);
    Handle shellProcess(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellId));
    HANDLE shellToken = nullptr;
    if (!shellProcess || !OpenProcessToken(shellProcess.get(), TOKEN_DUPLICATE | TOKEN_QUERY, &shellToken))
        return Handle(nullptr);
    Handle owned(shellToken);
    if (!DuplicateTokenEx(owned.get(), TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY | TOKEN_ADJUST_DEFAULT |
                                           TOKEN_ADJUST_SESSIONID,
                          nullptr, SecurityImpersonation, TokenPrimary, &token))
        token = nullptr;
    return Handle(token);
}

std::wstring Wide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(size > 0 ? size : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), size);
    out.resize(out.size() - 1);
    return out;
}

// Started again after an upgrade only as the user at the screen, never with our rights: elevated,
// the control panel could no longer hide, show or close it; as the system account it would sit
// in session 0, where nobody sees it.
bool StartRightButton(const std::string& folder) {
    const bool asSystem = px::win32::RunsAsLocalSystem();
    const Handle user = InteractiveUserToken(asSystem);
    if (!user) return false;
    std::wstring line = L"\"" + Wide(folder) + L"\\PXwNTcrb.exe\"";
    const std::wstring directory = Wide(folder);
    wchar_t desktop[] = L"winsta0\\default";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;  // as its other starters pass it
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION info{};
    BOOL started = FALSE;
    if (asSystem) {
        // Otherwise it would inherit the system account's environment.
        HMODULE userenv = LoadSystemLibrary("userenv.dll");
        using MakeEnvironment = BOOL(WINAPI*)(LPVOID*, HANDLE, BOOL);
        using FreeEnvironment = BOOL(WINAPI*)(LPVOID);
        const auto make = SystemFunction<MakeEnvironment>(userenv, "CreateEnvironmentBlock");
        const auto free = SystemFunction<FreeEnvironment>(userenv, "DestroyEnvironmentBlock");
        void* environment = nullptr;
        if (make && !make(&environment, user.get(), FALSE)) environment = nullptr;
        started = CreateProcessAsUserW(user.get(), nullptr, line.data(), nullptr, nullptr, FALSE,
                                       CREATE_UNICODE_ENVIRONMENT, environment, directory.c_str(), &startup, &info);
        if (environment && free) free(environment);
        if (userenv) FreeLibrary(userenv);
    } else {
        started = CreateProcessWithTokenW(user.get(), 0, nullptr, line.data(), 0, nullptr, directory.c_str(),
                                          &startup, &info);
    }
    if (!started) return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

// Takes ownership and sets the access of a folder through a handle, so that a link put in its
// place meanwhile is never followed; a folder that is itself a link is refused.
bool SecureFolder(const std::wstring& path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &raw, nullptr)) return false;
    const std::unique_ptr<void, decltype(&LocalFree)> descriptor(raw, &LocalFree);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, raw, FALSE};
    if (CreateDirectoryW(path.c_str(), &attributes)) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    Handle folder(CreateFileW(path.c_str(), READ_CONTROL | WRITE_DAC | WRITE_OWNER, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                              nullptr));
    if (folder.get() == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION facts{};
    if (!GetFileInformationByHandle(folder.get(), &facts) || !(facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (facts.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    PSID owner = nullptr;
    GetSecurityDescriptorDacl(raw, &present, &dacl, &defaulted);
    GetSecurityDescriptorOwner(raw, &owner, &defaulted);
    if (SetSecurityInfo(folder.get(), SE_FILE_OBJECT,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                        owner, nullptr, dacl, nullptr) != ERROR_SUCCESS)
        return false;
    // What a user left inside stays theirs (an owner may always change its access) unless it is
    // taken over too: everything below gets the same owner and only the inherited access.
    std::wstring name = path;
    return TreeResetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                       owner, nullptr, dacl, nullptr, FALSE, nullptr, ProgressInvokeNever,
                                       nullptr) == ERROR_SUCCESS;
}

// Administrators and the system account only; the owner is the administrators' group, so that a
// user who made the folder first keeps no say over it.
constexpr wchar_t kAdministratorsOnly[] = L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
// What Program Files gives its folders: users read and run.
constexpr wchar_t kLikeProgramFiles[] = L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
constexpr std::size_t kLogsKept = 10;

std::wstring LogFolder() {
    wchar_t data[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, data) != S_OK) return L"";
    return std::wstring(data) + L"\\TouchScreen\\Logs";
}

// The log folder made (or taken back) with administrators-only access, and only the newest runs'
// logs kept; "" when it cannot be had.
std::wstring PrepareLogFolder() {
    const std::wstring logs = LogFolder();
    if (logs.empty() || !SecureFolder(logs.substr(0, logs.rfind(L'\\')), kAdministratorsOnly) ||
        !SecureFolder(logs, kAdministratorsOnly))
        return L"";
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((logs + L"\\*.log").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    // Names begin with their time: the oldest sort first. One place stays for this run.
    std::sort(names.begin(), names.end());
    for (std::size_t i = 0; i + kLogsKept <= names.size(); ++i) DeleteFileW((logs + L"\\" + names[i]).c_str());
    return logs;
}

// A new file for this run: CREATE_NEW never opens what is already there, a link included.
HANDLE OpenRunLog(const char* kind) {
    const std::wstring logs = PrepareLogFolder();
    if (logs.empty()) return INVALID_HANDLE_VALUE;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char stamp[32] = {};
    std::snprintf(stamp, sizeof stamp, "%04u%02u%02u-%02u%02u%02u-", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    const std::wstring name =
        L"\\" + Wide(stamp) + Wide(kind) + L"-" + std::to_wstring(GetCurrentProcessId()) + L".log";
    return CreateFileW((logs + name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string Stamp() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

std::string KnownFolder(int id) {
    char buffer[MAX_PATH] = {};
    return SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, buffer) == S_OK ? buffer : "";
}

// The installation folder made, or given the access Program Files would give it. Exit code for
// the package: 0 done (or nothing needed), 1 refused, 2 the access could not be set.
int ProtectFolder(const std::string& folder, const ProductPlaces& places) {
    FolderFacts facts;
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    facts.Exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (facts.Exists) {
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name != "." && name != "..") facts.Empty = false;
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        facts.HoldsOurCopy = GetFileAttributesA((folder + "\\unins000.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    std::vector<std::string> programFolders;
    for (const int id : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86})
        if (const std::string known = KnownFolder(id); !known.empty()) programFolders.push_back(known);
    switch (ProtectionFor(folder, programFolders, places.WindowsFolder, facts)) {
    case FolderProtection::Inherited:
        return 0;
    case FolderProtection::Refuse:
        return 1;
    case FolderProtection::Protect:
        break;
    }
    return SecureFolder(Wide(folder), kLikeProgramFiles) ? 0 : 2;
}

// A vendor's file is taken only when it is a plain file; a bitmap only when the control panel
// would show it.
bool VendorFileAcceptable(const std::string& path) {
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION facts{};
    if (!GetFileInformationByHandle(file.get(), &facts) ||
        (facts.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return false;
    const std::string upper = [&] {
        std::string u = path;
        std::transform(u.begin(), u.end(), u.begin(), [](unsigned char c) { return std::toupper(c); });
        return u;
    }();
    if (upper.size() < 4 || upper.compare(upper.size() - 4, 4, ".BMP") != 0) return true;
    char head[kBitmapHeadBytes];
    DWORD read = 0;
    if (!ReadFile(file.get(), head, sizeof head, &read, nullptr)) return false;
    const std::uint64_t size = (static_cast<std::uint64_t>(facts.nFileSizeHigh) << 32) | facts.nFileSizeLow;
    return VendorBitmapAcceptable(std::string_view(head, read), size);
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
    px::win32::LoadSystemDllsFromSystem32Only();
    const std::string arguments = commandLine ? commandLine : "";
    px::unins::RunLog log;
    px::unins::Win32Removal removal;
    px::unins::MessageBoxDialog dialog(log);
    px::unins::Win32Programs programs;
    px::unins::ProductPlaces places = px::unins::FindPlaces();
    // The package's helper steps, run from its temporary folder; each names what it works on.
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
    if (px::HasSwitch(arguments, "/LOGFOLDER")) return px::unins::PrepareLogFolder().empty() ? px::kExitFailed : 0;
    if (px::HasSwitch(arguments, "/PROTECT")) {
        const std::string folder = px::unins::FolderAfter(arguments, "/PROTECT");
        return folder.empty() ? 1 : px::unins::ProtectFolder(folder, places);
    }
    if (px::HasSwitch(arguments, "/VENDORFILE"))
        return px::unins::VendorFileAcceptable(px::unins::FolderAfter(arguments, "/VENDORFILE")) ? 0 : 1;

    // Without our own folder every file step would aim at the root of the current drive.
    if (places.Folder.empty()) return px::kExitFailed;
    // PXwNTcde holds the installation lock while it runs us silently.
    const bool silent = px::unins::IsSilent(arguments);
    log.Adopt(px::unins::OpenRunLog("Removal"));
    log.Line("TouchScreen removal, " + px::unins::Stamp() + ", command line: " + arguments);
    px::unins::Handle lock;
    if (!silent) {
        lock.reset(CreateMutexA(nullptr, TRUE, px::kInstallationMutex));
        if (!lock || GetLastError() == ERROR_ALREADY_EXISTS) {
            log.Line("another installation or removal of TouchScreen is running");
            log.Line("result: " + std::to_string(px::kExitBusy));
            return px::kExitBusy;
        }
    }
    const int result = px::unins::RunUninstall(arguments, places, removal, dialog, programs);
    log.Line("result: " + std::to_string(result));
    return result;
}
