// How fast a program can poll IOCTL_TOUCH_GET_REPORT through the stand-in: from one process,
// then from two at once. usage: standin_bench_getreport [SECONDS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "standin_client.hpp"

namespace {

using px::standin::StandinClient;

// Returns the number of successful requests in `seconds`.
DWORD Poll(double seconds) {
    StandinClient client;
    return static_cast<DWORD>(px::standin::PollGetReport(client, seconds).Requests);
}

// Child: waits for the common start, polls, and reports its count as the exit code.
int Child(const char* startName, double seconds) {
    HANDLE start = OpenEventA(SYNCHRONIZE, FALSE, startName);
    if (!start || WaitForSingleObject(start, 30000) != WAIT_OBJECT_0) return 0;
    CloseHandle(start);
    return static_cast<int>(Poll(seconds));
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 4 && std::string(argv[1]) == "--child") return Child(argv[2], std::atof(argv[3]));
        const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
        if (seconds <= 0) {
            std::fprintf(stderr, "usage: standin_bench_getreport [SECONDS]\n");
            return 2;
        }

        const DWORD single = Poll(seconds);
        std::printf("one process:   %8.0f GET_REPORT requests/s\n", single / seconds);

        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof(self));
        const std::string startName = "pxstandin_bench_" + std::to_string(GetCurrentProcessId());
        HANDLE start = CreateEventA(nullptr, TRUE, FALSE, startName.c_str());
        PROCESS_INFORMATION children[2]{};
        for (auto& child : children) {
            STARTUPINFOA startup{};
            startup.cb = sizeof(startup);
            std::string command = "\"" + std::string(self) + "\" --child " + startName + " " + std::to_string(seconds);
            if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                &child)) {
                std::fprintf(stderr, "cannot start a second process (error %lu)\n", GetLastError());
                return 1;
            }
        }
        Sleep(300);  // both children are waiting on the event by now
        SetEvent(start);
        DWORD total = 0;
        for (int i = 0; i < 2; ++i) {
            WaitForSingleObject(children[i].hProcess, INFINITE);
            DWORD calls = 0;
            GetExitCodeProcess(children[i].hProcess, &calls);
            std::printf("two at once #%d: %7.0f GET_REPORT requests/s\n", i + 1, calls / seconds);
            total += calls;
            CloseHandle(children[i].hProcess);
            CloseHandle(children[i].hThread);
        }
        std::printf("two at once, together: %8.0f requests/s\n", total / seconds);
        CloseHandle(start);
        return 0;
    } catch (const px::standin::StandinError& error) {
        std::fprintf(stderr, "standin_bench_getreport: %s\n", error.what());
        return 1;
    }
}
