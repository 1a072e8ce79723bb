// The installation and removal programs' ports, with real Win32 calls.
#pragma once

#include <windows.h>

#include "shared/setup_ports.hpp"

namespace px::win32 {

class RestartApi final : public RestartPort {
public:
    ~RestartApi() override { CloseToken(); }
    bool OpenProcessToken() override;
    std::uint32_t LookupShutdownPrivilege() override;
    std::uint32_t EnableShutdownPrivilege() override;
    bool ExitWindowsReboot() override;
    void CloseToken() override;
    bool RunsAsInteractiveUser() override;
    bool SystemRestart() override;

private:
    HANDLE token_ = nullptr;
    LUID shutdown_{};
};

class IniApi final : public IniPort {
public:
    int GetPrivateProfileString(const std::string& section, const std::string& key, char* buffer, int size,
                                const std::string& file) override;
};

class RemovalApi final : public RemovalPort {
public:
    ~RemovalApi() override;
    std::uint32_t StartProcess(const std::string& commandLine, int showCommand) override;
    ProcessHandle OpenProcess(std::uint32_t processId) override;
    std::uint32_t Wait(ProcessHandle process, std::uint32_t milliseconds) override;
    void CloseProcess(ProcessHandle process) override;
    bool MoveFileEx(const std::string& existing, std::uint32_t flags) override;
    std::uint32_t ExitCode(ProcessHandle process) override;
    bool LockInstallation() override;

private:
    HANDLE lock_ = nullptr;
};

class TextMeasureApi final : public TextMeasurePort {
public:
    double TextWidthTwips(const std::string& text, const forms::Font& font) override;
};

// For the programs that run elevated: Windows' own DLLs come from System32 only, never from the
// program's folder or the current one (a user could have put a look-alike there).
void LoadSystemDllsFromSystem32Only();
bool RunsAsLocalSystem();

}  // namespace px::win32
