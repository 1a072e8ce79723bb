// Benchmark (not a test): time from starting the control panel, and the start-up program, to
// their main window being visible with its texts in place and painted, beside the same figure
// for a bare one-window Win32 program; then each program's private memory once started.
// usage: control_panel_bench_startup [runs]   (under the bench, stand-in installed)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "e2e/process.hpp"
#include "e2e/windows.hpp"
#include "mouse_settings.hpp"
#include "standin_client.hpp"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string kFolder = "C:\\Program Files\\TouchScreen\\";
constexpr char kPanelTitle[] = " TouchScreen Control Panel #PX-K17-COM";
constexpr char kStartupTitle[] = " TouchScreen System Startup #PX-K17-COM";
constexpr char kRemovalTitle[] = "TouchScreen Software Removal";
constexpr char kBareTitle[] = "Bare Window";
constexpr char kSerialPortLine[] = "COM1, Port=03F8, IRQ=4, (9600,N,8,1)";

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Texts are read from the window manager's copy (GetWindowText on another process's window sends
// nothing), so looking does not make the starting program answer messages in the middle of its
// start, and costs every program the same.
std::string TextOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

HWND VisibleWindow(DWORD processId, const char* caption) {
    HWND found = nullptr;
    e2e::ForEachTopLevel([&](HWND window) {
        if (e2e::WindowProcessId(window) != processId || !IsWindowVisible(window) || TextOf(window) != caption)
            return true;
        found = window;
        return false;
    });
    return found;
}

HWND AnyWindow(DWORD processId) {
    HWND found = nullptr;
    e2e::ForEachTopLevel([&](HWND window) {
        if (e2e::WindowProcessId(window) != processId) return true;
        found = window;
        return false;
    });
    return found;
}

bool HasVisibleChild(HWND parent, const char* text) {
    bool found = false;
    e2e::ForEachChild(parent, [&](HWND child) {
        found = IsWindowVisible(child) && TextOf(child) == text;
        return !found;
    });
    return found;
}

struct Started {
    e2e::Process Program;
    HWND Window = nullptr;
    double Ms = -1;
};

// Milliseconds until the window is visible, ready(window) holds and the program has come back to
// its message queue (so it has painted what it showed), or -1.
Started TimeStart(const std::string& program, const char* caption,
                  const std::function<bool(HWND)>& ready = [](HWND) { return true; }) {
    const auto start = Clock::now();
    Started run{e2e::Process::Start(program)};
    const auto deadline = start + 20s;
    while (Clock::now() < deadline) {
        run.Window = VisibleWindow(run.Program.Id(), caption);
        if (run.Window && ready(run.Window)) break;
        run.Window = nullptr;
        Sleep(2);
    }
    DWORD_PTR answer = 0;
    if (run.Window && SendMessageTimeoutA(run.Window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer))
        run.Ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return run;
}

void Close(Started& run) {
    if (run.Window) PostMessageA(run.Window, WM_CLOSE, 0, 0);
    if (!run.Program.WaitForExit(10s)) run.Program.Kill();
}

// Private bytes in KB, or -1 where Wine does not say.
long PrivateKb(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters) ||
        (counters.PrivateUsage == 0 && counters.PagefileUsage == 0))
        return -1;
    // Windows gives both the same figure; Wine only the second.
    return static_cast<long>((counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage) / 1024);
}

std::string Kb(long kb) { return kb < 0 ? "n/a" : std::to_string(kb); }

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 31;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self);
    folder.resize(folder.find_last_of('\\'));
    const std::string bare = folder + "\\bare_window.exe";
    // The start-up program writes the user's double-click area at every start.
    bench::SavedDoubleClickArea savedArea;

    const auto panelReady = [](HWND w) { return HasVisibleChild(w, kSerialPortLine); };
    std::vector<double> panelTimes, startupTimes, bareTimes;
    // The first start of each fills caches the later ones find warm: not counted.
    for (int i = -1; i < runs; ++i) {
        // Each in turn goes first: a program's start is slower while the one before is still
        // being torn down, and none should always be the one that pays for it.
        double b = -1, p = -1, s = -1;
        for (int k = 0; k < 3; ++k) {
            switch ((i + 3 + k) % 3) {
                case 0: {
                    Started run = TimeStart(bare, kBareTitle);
                    b = run.Ms;
                    Close(run);
                    break;
                }
                case 1: {
                    Started run = TimeStart(kFolder + "PXwNTccp.exe", kPanelTitle, panelReady);
                    p = run.Ms;
                    Close(run);
                    break;
                }
                default: {
                    // It ends by itself after its second on the screen.
                    Started run = TimeStart(kFolder + "PXwNTcao.exe", kStartupTitle);
                    s = run.Ms;
                    if (!run.Program.WaitForExit(10s)) run.Program.Kill();
                    break;
                }
            }
            Sleep(100);
        }
        if (p < 0 || s < 0 || b < 0) {
            std::printf("run %d did not reach a visible window\n", i + 1);
            return 1;
        }
        if (i < 0) continue;
        panelTimes.push_back(p);
        startupTimes.push_back(s);
        bareTimes.push_back(b);
    }
    const double mp = Median(panelTimes), ms = Median(startupTimes), mb = Median(bareTimes);
    std::printf("start to visible window, median of %d runs (ms): control panel %.1f, bare window %.1f, ratio %.2f\n",
                runs, mp, mb, mp / mb);
    std::printf("start to visible window, median of %d runs (ms): start-up program %.1f, bare window %.1f, ratio %.2f\n",
                runs, ms, mb, ms / mb);

    // Memory once each program shows its window (the installation program is left out: it
    // restarts Windows, which ends every program of the bench).
    Started b = TimeStart(bare, kBareTitle);
    const long bareKb = PrivateKb(b.Program.Handle());
    Close(b);
    Started p = TimeStart(kFolder + "PXwNTccp.exe", kPanelTitle, panelReady);
    const long panelKb = PrivateKb(p.Program.Handle());
    Close(p);
    Started s = TimeStart(kFolder + "PXwNTcao.exe", kStartupTitle);
    const long startupKb = PrivateKb(s.Program.Handle());
    if (!s.Program.WaitForExit(10s)) s.Program.Kill();
    // The right-button program's window may stay hidden until it is wanted: idle is enough.
    auto rbf = e2e::Process::Start(kFolder + "PXwNTcrb.exe");
    const long rbfKb = rbf.WaitForInputIdle(10s) ? PrivateKb(rbf.Handle()) : -1;
    // Asked to close, it also gives up its registration with the driver.
    if (HWND window = AnyWindow(rbf.Id())) PostMessageA(window, WM_USER, 4110, 0);
    if (!rbf.WaitForExit(10s)) rbf.Kill();
    px::standin::StandinClient().Reset();  // no registration left behind either way
    // Nothing is removed before its question is answered.
    Started u = TimeStart(kFolder + "PXwNTcde.exe", kRemovalTitle);
    const long removalKb = PrivateKb(u.Program.Handle());
    u.Program.Kill();
    std::printf("private memory after start (KB): bare window %s, control panel %s, start-up program %s, "
                "right-button program %s, uninstaller %s, installation program not run\n",
                Kb(bareKb).c_str(), Kb(panelKb).c_str(), Kb(startupKb).c_str(), Kb(rbfKb).c_str(),
                Kb(removalKb).c_str());
    return 0;
}
