// What the installation and removal programs need beyond the suite's ports.
#pragma once

#include <cstdint>
#include <string>

#include "forms/form.hpp"

namespace px {

// The four steps of a restart with the shutdown privilege; each reports what Windows said.
class RestartPort {
public:
    virtual ~RestartPort() = default;
    virtual bool OpenProcessToken() = 0;  // own process, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY
    // LookupPrivilegeValueA for "SeShutdownPrivilege"; returns GetLastError right after.
    virtual std::uint32_t LookupShutdownPrivilege() = 0;
    // AdjustTokenPrivileges enabling it; returns GetLastError right after (1300: not granted).
    virtual std::uint32_t EnableShutdownPrivilege() = 0;
    virtual bool ExitWindowsReboot() = 0;  // ExitWindowsEx(EWX_REBOOT, 0)
    virtual void CloseToken() = 0;
    // ExitWindowsEx may succeed without restarting anything when the caller is not the user at
    // the screen (the system account, session 0): such a caller asks for the restart through
    // InitiateSystemShutdownEx instead.
    virtual bool RunsAsInteractiveUser() = 0;
    virtual bool SystemRestart() = 0;
};

class IniPort {
public:
    virtual ~IniPort() = default;
    // GetPrivateProfileStringA with default "": copies at most size - 1 characters and a NUL,
    // returns the count copied.
    virtual int GetPrivateProfileString(const std::string& section, const std::string& key, char* buffer,
                                        int size, const std::string& file) = 0;
};

inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitAbandoned = 128;
inline constexpr std::uint32_t kWaitTimeout = 258;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFFu;
inline constexpr std::uint32_t kMoveFileDelayUntilReboot = 4;

using ProcessHandle = std::intptr_t;

class RemovalPort {
public:
    virtual ~RemovalPort() = default;
    // Starts the command line with the given show command; the process id, or 0.
    virtual std::uint32_t StartProcess(const std::string& commandLine, int showCommand) = 0;
    // OpenProcess with SYNCHRONIZE; 0 when it cannot be opened.
    virtual ProcessHandle OpenProcess(std::uint32_t processId) = 0;
    virtual std::uint32_t Wait(ProcessHandle process, std::uint32_t milliseconds) = 0;
    virtual std::uint32_t ExitCode(ProcessHandle process) = 0;  // of an ended process
    virtual void CloseProcess(ProcessHandle process) = 0;
    virtual bool MoveFileEx(const std::string& existing, std::uint32_t flags) = 0;
    // Takes the machine-wide installation mutex for the rest of the run; false while another
    // installation or removal holds it.
    virtual bool LockInstallation() = 0;
};

class TextMeasurePort {
public:
    virtual ~TextMeasurePort() = default;
    virtual double TextWidthTwips(const std::string& text, const forms::Font& font) = 0;
};

}  // namespace px
