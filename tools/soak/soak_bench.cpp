// Soak benchmark (not a test): repeats what users do all day and prints whether handles and
// window objects come back to where they started.
// usage: soak_bench [window rounds=200] [panel starts=100] [arm rounds=1000] [calibrations=50]
//        (under the bench)
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "e2e/message_box.hpp"
#include "e2e/process.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "object_counts.hpp"
#include "service_session.hpp"
#include "standin_client.hpp"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const char kPanel[] = "C:\\Program Files\\TouchScreen\\PXwNTccp.exe";
const char kRbf[] = "C:\\Program Files\\TouchScreen\\PXwNTcrb.exe";
const char kTitle[] = " TouchScreen Control Panel #PX-K17-COM";

struct Counts {
    soak::ObjectCounts Objects;
    long Device = 0;
};

Counts Measure(HANDLE process, px::standin::StandinClient& standin) {
    return {soak::CountObjects(process), static_cast<long>(standin.State().OpenHandles)};
}

std::string Pair(long before, long after) {
    if (before < 0 || after < 0) return "n/a";
    return std::to_string(before) + " -> " + std::to_string(after) + (before == after ? "" : " (!)");
}

void Print(const char* what, const Counts& before, const Counts& after, int rounds, double seconds) {
    std::printf("%-26s rounds %5d  %7.1f ms/round  handles %s  GDI %s  %s %s  device handles %s\n", what, rounds,
                rounds ? seconds * 1000 / rounds : 0.0, Pair(before.Objects.Handles, after.Objects.Handles).c_str(),
                Pair(before.Objects.Gdi, after.Objects.Gdi).c_str(), after.Objects.UserAreWindows ? "windows" : "USER",
                Pair(before.Objects.User, after.Objects.User).c_str(), Pair(before.Device, after.Device).c_str());
    std::fflush(stdout);
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

// Round 0 first, so lazily made fonts and brushes are in the baseline; then rounds 1..rounds, timed
// between two counts. False (and said) when a round failed.
bool Soak(const char* what, const char* firstFailed, HANDLE program, px::standin::StandinClient& standin, int rounds,
          const std::function<bool(int)>& round) {
    if (!round(0)) return std::puts(firstFailed), false;
    const auto before = Measure(program, standin);
    const auto start = Clock::now();
    for (int i = 1; i <= rounds; ++i)
        if (!round(i)) return std::printf("%s: round %d failed\n", what, i), false;
    Print(what, before, Measure(program, standin), rounds, Seconds(start));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int windowRounds = argc > 1 ? std::atoi(argv[1]) : 200;
    const int starts = argc > 2 ? std::atoi(argv[2]) : 100;
    const int arms = argc > 3 ? std::atoi(argv[3]) : 1000;
    const int calibrations = argc > 4 ? std::atoi(argv[4]) : 50;
    px::standin::StandinClient standin;
    standin.Reset();

    // The settings windows, opened from the main window and cancelled.
    {
        auto panel = e2e::Process::Start(kPanel);
        HWND main = VisibleTop(panel.Id(), kTitle);
        if (!main) return std::puts("control panel did not start"), 1;
        const char* buttons[] = {"&Serial Port", "&Virtual Button", "&Feedback Sound", "&Mouse Speed", "&Power Save"};
        const auto cycle = [&](int) {
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
        if (!Soak("settings windows x5", "a settings window did not open or close", panel.Handle(), standin,
                  windowRounds, cycle))
            return 1;
        Click(main, "E&xit");
        panel.WaitForExit(10s);
    }

    // Control panel starts: every copy must hold what the first held, and give the driver back.
    {
        Counts first, last;
        const long deviceBefore = standin.State().OpenHandles;
        const auto start = Clock::now();
        for (int i = 0; i < starts; ++i) {
            auto panel = e2e::Process::Start(kPanel);
            HWND main = VisibleTop(panel.Id(), kTitle);
            if (main && (i == 0 || i == starts - 1)) {
                panel.WaitForInputIdle(5s);
                const auto counts = Measure(panel.Handle(), standin);
                if (i == 0) first = counts;
                if (i == starts - 1) last = counts;
            }
            if (!main || !Click(main, "E&xit") || !panel.WaitForExit(10s))
                return std::printf("start %d failed\n", i + 1), 1;
        }
        first.Device = deviceBefore;
        last.Device = standin.State().OpenHandles;
        Print("control panel starts", first, last, starts, Seconds(start));
    }

    // Four-point calibrations with a finger fed through the stand-in, kept and refused in turn.
    {
        auto block = standin.Block();
        block.ScreenWidth = 1024, block.ScreenHeight = 768;
        standin.WriteBlock(block);
        auto panel = e2e::Process::Start(kPanel);
        HWND main = VisibleTop(panel.Id(), kTitle);
        if (!main) return std::puts("control panel did not start"), 1;
        const auto calibrate = [&](int round) {
            standin.ClearJournal();
            if (!service::OpenCalibration(panel, main, standin)) return false;
            for (const POINT& p : service::kMarkCentres)
                if (!service::HoldUntilCaptured(standin, service::RawX(p.x), service::RawY(p.y))) return false;
            HWND box = e2e::WaitForMessageBox(10s, panel.Id());
            if (!box || !e2e::AnswerMessageBox(box, round % 2 ? IDNO : IDYES)) return false;
            // The main window shows again just before the calibration window goes.
            return e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms) &&
                   e2e::WaitFor([&] { return !e2e::FindTopLevelWindow("Calibration", {panel.Id(), true}); }, 5000ms) &&
                   panel.WaitForInputIdle(5s);
        };
        if (!Soak("calibrations", "calibration did not complete", panel.Handle(), standin, calibrations, calibrate))
            return 1;
        Click(main, "E&xit");
        panel.WaitForExit(10s);
        standin.Reset();
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
        const auto cycle = [&](int) {
            PostMessageA(button->window, BM_CLICK, 0, 0);
            if (!e2e::WaitFor([&] { return standin.State().Rbf.RightClickPending == 1; }, 5000ms)) return false;
            PostMessageA(window, WM_CHAR, 'x', 0);
            return e2e::WaitFor([&] { return standin.State().Rbf.RightClickPending == 0; }, 5000ms) &&
                   e2e::WaitFor([&] { return IsWindowVisible(button->window) != FALSE; }, 5000ms);
        };
        if (!Soak("right button arm/disarm", "arming did not work", rbf.Handle(), standin, arms, cycle)) return 1;
        SendMessageTimeoutA(window, WM_USER, 4110, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        rbf.WaitForExit(10s);
    }
    std::printf("stand-in handles at the end: %u (this tool's own: 1)\n", standin.State().OpenHandles);
    return 0;
}
