// Benchmark (not a test): time from starting the control panel to its main window being visible
// with its summaries filled, beside the same figure for a bare one-window Win32 program.
// usage: control_panel_bench_startup [runs]   (under the bench, stand-in installed)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "e2e/process.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Milliseconds until ready() holds for the program's window, or -1.
template <typename Ready>
double TimeStart(const std::string& program, const char* caption, Ready ready) {
    const auto start = Clock::now();
    auto process = e2e::Process::Start(program);
    HWND window = nullptr;
    const bool ok = e2e::WaitFor(
        [&] {
            window = e2e::FindTopLevelWindow(caption, {process.Id(), false});
            return window != nullptr && ready(window);
        },
        20000ms);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (!process.WaitForExit(10s)) process.Kill();
    return ok ? ms : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self);
    folder.resize(folder.find_last_of('\\'));
    const std::string panel = "C:\\Program Files\\TouchScreen\\PXwNTccp.exe";
    const std::string bare = folder + "\\bare_window.exe";

    std::vector<double> panelTimes, bareTimes;
    for (int i = 0; i < runs; ++i) {
        const double p = TimeStart(panel, " TouchScreen Control Panel #PX-K17-COM", [](HWND w) {
            auto line = e2e::FindControlByText(w, "COM1, Port=03F8, IRQ=4, (9600,N,8,1)");
            return IsWindowVisible(w) && line && line->visible;
        });
        const double b = TimeStart(bare, "Bare Window", [](HWND w) { return IsWindowVisible(w) != FALSE; });
        if (p < 0 || b < 0) {
            std::printf("run %d did not reach a visible window\n", i + 1);
            return 1;
        }
        panelTimes.push_back(p);
        bareTimes.push_back(b);
    }
    const double mp = Median(panelTimes), mb = Median(bareTimes);
    std::printf("start to visible window, median of %d runs (ms): control panel %.1f, bare window %.1f, ratio %.2f\n",
                runs, mp, mb, mp / mb);
    return 0;
}
