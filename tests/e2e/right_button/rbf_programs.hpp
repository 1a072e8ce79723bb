// Starting the right-button program the way the suite does, and making sure none outlives a test.
#pragma once

#include <windows.h>

#include <string>

namespace rbf_e2e {

inline const char kRbfProgram[] = "C:\\Program Files\\TouchScreen\\PXwNTcrb.exe";
inline const char kRbfCaption[] = " C-RBF";
inline const char kRbfClass[] = "PxRbfWindow";  // also the hidden window of a copy that is ending

// A program started with show command 0, as WinExec in the control panel and the start-up
// program does; killed when the object goes if it still runs.
class HiddenStart {
public:
    explicit HiddenStart(const std::string& exePath) {
        STARTUPINFOA startup{sizeof(startup)};
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        std::string commandLine = "\"" + exePath + "\"";
        CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_);
        if (info_.hThread) CloseHandle(info_.hThread);
    }
    ~HiddenStart() {
        if (!info_.hProcess) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 0xDEAD);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
    }
    HiddenStart(const HiddenStart&) = delete;
    HiddenStart& operator=(const HiddenStart&) = delete;

    bool Started() const { return info_.hProcess != nullptr; }
    DWORD Id() const { return info_.dwProcessId; }
    bool Ended(DWORD milliseconds) const {
        return info_.hProcess && WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0;
    }

private:
    PROCESS_INFORMATION info_{};
};

// Ends every right-button program still running, hidden ones too; the start-up program starts
// one that no test holds.
inline void KillRightButtonPrograms() {
    for (int round = 0; round < 10; ++round) {
        HWND found = nullptr;
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            char className[32] = {};
            GetClassNameA(w, className, sizeof className);
            if (std::string(className) == kRbfClass) found = w;
        }
        if (!found) return;
        DWORD id = 0;
        GetWindowThreadProcessId(found, &id);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (!process) return;
        TerminateProcess(process, 0xDEAD);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

}  // namespace rbf_e2e
