// Benchmark, not a test: how many report requests a second the calibration loop issues against
// the stand-in, waiting for a touch (events handled between polls) and with a finger moving on
// a mark (no events between polls). Run under the bench: calibration_bench_polling.exe [seconds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "e2e/message_box.hpp"
#include "service_session.hpp"

namespace {

double PollsPerSecond(px::standin::StandinClient& standin, double seconds, bool fingerMoving) {
    standin.ClearJournal();
    const DWORD start = GetTickCount();
    std::int16_t x = 200;
    if (fingerMoving) standin.Touch(x, 300);
    while (GetTickCount() - start < seconds * 1000) {
        Sleep(40);
        if (fingerMoving) standin.Move(++x, 300);  // never still: never captured
    }
    const DWORD elapsed = GetTickCount() - start;
    const auto polls = service::ReportPolls(standin);
    if (fingerMoving) standin.Lift();
    return polls * 1000.0 / elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2;
    px::standin::StandinClient standin;
    standin.Reset();
    auto process = e2e::Process::Start(service::kProgram);
    HWND main = e2e::WaitForTopLevelWindow(service::kTitle, std::chrono::seconds(10), {process.Id(), false});
    HWND window = main ? service::OpenCalibration(process, main, standin) : nullptr;
    if (!window) {
        std::fprintf(stderr, "the calibration window did not open\n");
        return 1;
    }
    const double waiting = PollsPerSecond(standin, seconds, false);
    const double moving = PollsPerSecond(standin, seconds, true);
    std::printf("calibration GET_REPORT requests/s over %.1f s: waiting for a touch %.0f, finger moving %.0f\n",
                seconds, waiting, moving);
    e2e::PostKey(window, VK_ESCAPE);
    if (HWND box = e2e::WaitForMessageBox(std::chrono::seconds(10), process.Id())) e2e::AnswerMessageBox(box, IDYES);
    e2e::WaitForWindowGone(window, std::chrono::seconds(10));
    process.Kill();
    standin.Reset();
    return 0;
}
