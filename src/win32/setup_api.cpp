#include "win32/setup_api.hpp"

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

ProcessHandle RemovalApi::OpenProcess(std::uint32_t processId) {
    return reinterpret_cast<ProcessHandle>(::OpenProcess(SYNCHRONIZE, FALSE, processId));
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

}  // namespace px::win32
