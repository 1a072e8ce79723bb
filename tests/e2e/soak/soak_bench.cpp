// Soak benchmark (not a test): repeats what users do all day and prints whether handles and
// window objects come back to where they started.
// usage: soak_bench [window rounds=200] [panel starts=100] [arm rounds=1000]   (under the bench)
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "e2e/process.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "standin_client.hpp"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const char kPanel[] = "C:\\Program Files\\TouchScreen\\PXwNTccp.exe";
const char kRbf[] = "C:\\Program Files\\TouchScreen\\PXwNTcrb.exe";
const char kTitle[] = " TouchScreen Control Panel #PX-K17-COM";

// Zero means "not reported": a running GUI program always holds handles and GDI objects, but
// Wine answers these queries for other processes with nothing.
struct Counts {
    DWORD Handles = 0, Gdi = 0, User = 0;
    SIZE_T PrivateKb = 0;
    unsigned Device = 0;
};

Counts Measure(HANDLE process, px::standin::StandinClient& standin) {
    Counts c;
    if (!GetProcessHandleCount(process, &c.Handles)) c.Handles = 0;
    c.Gdi = GetGuiResources(process, GR_GDIOBJECTS);
    c.User = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        c.PrivateKb = memory.PrivateUsage / 1024;
    c.Device = standin.State().OpenHandles;
    return c;
}

std::string Pair(unsigned long long before, unsigned long long after) {
    if (before == 0 && after == 0) return "n/a";
    return std::to_string(before) + " -> " + std::to_string(after);
}

void Print(const char* what, const Counts& before, const Counts& after, int rounds, double seconds) {
    std::printf("%-24s rounds %5d  %7.1f ms/round  handles %s  GDI %s  USER %s  private KB %s  device handles %s\n",
                what, rounds, rounds ? seconds * 1000 / rounds : 0.0, Pair(before.Handles, after.Handles).c_str(),
                Pair(before.Gdi, after.Gdi).c_str(), Pair(before.User, after.User).c_str(),
                Pair(before.PrivateKb, after.PrivateKb).c_str(), Pair(before.Device, after.Device).c_str());
}

bool Click(HWND parent, const char* caption) {
    auto button = e2e::FindControlByText(parent, caption);
    if (!button) return false;
    SendMessageA(button->window, BM_CLICK, 0, 0);
    return true;
}

HWND VisibleTop(DWORD pid, const char* caption) {
    return e2e::WaitForTopLevelWindow(caption, 5s, {pid, false});
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

}  // namespace

int main(int argc, char** argv) {
    const int windowRounds = argc > 1 ? std::atoi(argv[1]) : 200;
    const int starts = argc > 2 ? std::atoi(argv[2]) : 100;
    const int arms = argc > 3 ? std::atoi(argv[3]) : 1000;
    px::standin::StandinClient standin;
    standin.Reset();

    // The settings windows, opened from the main window and cancelled.
    {
        auto panel = e2e::Process::Start(kPanel);
        HWND main = VisibleTop(panel.Id(), kTitle);
        if (!main) return std::puts("control panel did not start"), 1;
        const char* buttons[] = {"&Serial Port", "&Virtual Button", "&Feedback Sound", "&Mouse Speed", "&Power Save"};
        // One round first, so lazily made fonts and brushes are in the baseline.
        const auto cycle = [&] {
            for (const char* button : buttons) {
                Click(main, button);
                HWND window = nullptr;
                e2e::WaitFor(
                    [&] {
                        window = IsWindowVisible(main) ? nullptr : e2e::FindTopLevelWindow(kTitle, {panel.Id(), false});
                        return window != nullptr;
                    },
                    5000ms);
                if (!window || !(Click(window, "&Cancel") || Click(window, "&OK"))) return false;
                if (!e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms)) return false;
            }
            return true;
        };
        if (!cycle()) return std::puts("a settings window did not open or close"), 1;
        const auto before = Measure(panel.Handle(), standin);
        const auto start = Clock::now();
        for (int i = 0; i < windowRounds; ++i)
            if (!cycle()) return std::printf("round %d failed\n", i + 1), 1;
        Print("settings windows x5", before, Measure(panel.Handle(), standin), windowRounds, Seconds(start));
        Click(main, "E&xit");
        panel.WaitForExit(10s);
    }

    // Control panel starts.
    {
        const auto before = Measure(GetCurrentProcess(), standin);
        const auto start = Clock::now();
        for (int i = 0; i < starts; ++i) {
            auto panel = e2e::Process::Start(kPanel);
            HWND main = VisibleTop(panel.Id(), kTitle);
            if (!main || !Click(main, "E&xit") || !panel.WaitForExit(10s))
                return std::printf("start %d failed\n", i + 1), 1;
        }
        Print("control panel starts", before, Measure(GetCurrentProcess(), standin), starts, Seconds(start));
    }

    // Right-button program: arm by its button, disarm by a key press on it.
    {
        auto rbf = e2e::Process::Start(kRbf);
        HWND window = nullptr;
        e2e::WaitFor(
            [&] {
                const auto record = standin.State().Rbf;
                window = record.RbfWindow == -1 ? nullptr : reinterpret_cast<HWND>(static_cast<INT_PTR>(record.RbfWindow));
                return window != nullptr && IsWindowVisible(window);
            },
            10000ms);
        auto button = window ? e2e::FindControlByClass(window, "Button") : std::nullopt;
        if (!button) return std::puts("right-button program did not show its button"), 1;
        const auto cycle = [&] {
            PostMessageA(button->window, BM_CLICK, 0, 0);
            if (!e2e::WaitFor([&] { return standin.State().Rbf.RightClickPending == 1; }, 5000ms)) return false;
            PostMessageA(window, WM_CHAR, 'x', 0);
            return e2e::WaitFor([&] { return standin.State().Rbf.RightClickPending == 0; }, 5000ms) &&
                   e2e::WaitFor([&] { return IsWindowVisible(button->window) != FALSE; }, 5000ms);
        };
        if (!cycle()) return std::puts("arming did not work"), 1;
        const auto before = Measure(rbf.Handle(), standin);
        const auto start = Clock::now();
        for (int i = 0; i < arms; ++i)
            if (!cycle()) return std::printf("arm %d failed\n", i + 1), 1;
        Print("right button arm/disarm", before, Measure(rbf.Handle(), standin), arms, Seconds(start));
        SendMessageTimeoutA(window, WM_USER, 4110, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        rbf.WaitForExit(10s);
    }
    std::printf("stand-in handles at the end: %u (this tool's own: 1)\n", standin.State().OpenHandles);
    return 0;
}
