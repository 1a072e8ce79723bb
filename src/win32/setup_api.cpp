#include "win32/setup_api.hpp"

#include "shared/setup_exit_codes.hpp"

#include <cmath>
#include <vector>

namespace px::win32 {

bool RestartApi::OpenProcessToken() {
    return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token_) != FALSE;
}

std::uint32_t RestartApi::LookupShutdownPrivilege() {
    // Cleared first: a successful call need not reset the last error, and a stale code would
    // read as a failure.
    ::SetLastError(ERROR_SUCCESS);
    ::LookupPrivilegeValueA("", "SeShutdownPrivilege", &shutdown_);
    return ::GetLastError();
}

std::uint32_t RestartApi::EnableShutdownPrivilege() {
    // Room for two entries, as the record always had; one is filled in.
    struct {
        DWORD Count;
        LUID_AND_ATTRIBUTES Privileges[2];
    } wanted{}, previous{};
    wanted.Count = 1;
    wanted.Privileges[0].Luid = shutdown_;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    DWORD returned = 0;
    ::SetLastError(ERROR_SUCCESS);
    ::AdjustTokenPrivileges(token_, FALSE, reinterpret_cast<PTOKEN_PRIVILEGES>(&wanted), sizeof previous,
                            reinterpret_cast<PTOKEN_PRIVILEGES>(&previous), &returned);
    return ::GetLastError();
}

bool RestartApi::ExitWindowsReboot() { return ::ExitWindowsEx(EWX_REBOOT, 0) != FALSE; }

bool RestartApi::RunsAsInteractiveUser() {
    DWORD session = 0;
    if (::ProcessIdToSessionId(::GetCurrentProcessId(), &session) && session == 0) return false;
    return !RunsAsLocalSystem();
}

bool RestartApi::SystemRestart() {
    // No warning period: nobody is there to read it, and the caller's work is done.
    return ::InitiateSystemShutdownExA(nullptr, nullptr, 0, FALSE, TRUE,
                                       SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION |
                                           SHTDN_REASON_FLAG_PLANNED) != FALSE;
}

void RestartApi::CloseToken() {
    if (token_) ::CloseHandle(token_);
    token_ = nullptr;
}

int IniApi::GetPrivateProfileString(const std::string& section, const std::string& key, char* buffer, int size,
                                    const std::string& file) {
    return static_cast<int>(::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer,
                                                       static_cast<DWORD>(size), file.c_str()));
}

std::uint32_t RemovalApi::StartProcess(const std::string& commandLine, int showCommand) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION info{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return 0;
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return info.dwProcessId;
}

RemovalApi::~RemovalApi() {
    if (lock_) ::CloseHandle(lock_);
}

ProcessHandle RemovalApi::OpenProcess(std::uint32_t processId) {
    // Its exit code too: an ended removal program may have failed.
    return reinterpret_cast<ProcessHandle>(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
}

std::uint32_t RemovalApi::ExitCode(ProcessHandle process) {
    DWORD code = 0;
    if (!::GetExitCodeProcess(reinterpret_cast<HANDLE>(process), &code)) return ::GetLastError();
    return code;
}

bool RemovalApi::LockInstallation() {
    if (lock_) return true;
    HANDLE mutex = ::CreateMutexA(nullptr, TRUE, kInstallationMutex);
    if (!mutex) return false;  // made by another with access we lack: it is busy too
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    lock_ = mutex;
    return true;
}

std::uint32_t RemovalApi::Wait(ProcessHandle process, std::uint32_t milliseconds) {
    return ::WaitForSingleObject(reinterpret_cast<HANDLE>(process), milliseconds);
}

void RemovalApi::CloseProcess(ProcessHandle process) { ::CloseHandle(reinterpret_cast<HANDLE>(process)); }

bool RemovalApi::MoveFileEx(const std::string& existing, std::uint32_t flags) {
    return ::MoveFileExA(existing.c_str(), nullptr, flags) != FALSE;
}

double TextMeasureApi::TextWidthTwips(const std::string& text, const forms::Font& font) {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    const int height = -static_cast<int>(std::lround(font.Size * ::GetDeviceCaps(screen, LOGPIXELSY) / 72.0));
    HFONT handle = ::CreateFontA(height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, font.Italic, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH, font.Name.c_str());
    HGDIOBJ old = ::SelectObject(screen, handle);
    SIZE size{};
    ::GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(screen, old);
    ::DeleteObject(handle);
    ::ReleaseDC(nullptr, screen);
    return size.cx * 1440.0 / (dpi > 0 ? dpi : 96);
}

void LoadSystemDllsFromSystem32Only() {
    // Windows 7 has the call only with its 2011 loader update: look it up.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const auto set = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (set) set(0x00000800);  // LOAD_LIBRARY_SEARCH_SYSTEM32
}

bool RunsAsLocalSystem() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    alignas(TOKEN_USER) BYTE buffer[256] = {};
    DWORD size = 0;
    const bool read = ::GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) != FALSE;
    ::CloseHandle(token);
    return read && ::IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, WinLocalSystemSid) != FALSE;
}

}  // namespace px::win32
