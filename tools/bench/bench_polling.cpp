// Benchmark, not a test: how many report requests a second the calibration loop issues against
// the stand-in, waiting for a touch (events handled between polls) and with a finger moving on
// a mark (no events between polls), beside the floor: a bare GET_REPORT loop in this process,
// measured in the same rounds while the calibration stands still at its Escape question.
// Run under the bench: calibration_bench_polling.exe [seconds per figure and round] [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "e2e/message_box.hpp"
#include "service_session.hpp"

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

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

// The same request back to back from here, as fast as the stand-in answers.
double FloorPerSecond(px::standin::StandinClient& standin, double seconds) {
    const auto run = px::standin::PollGetReport(standin, seconds);
    return run.Requests ? run.Requests / run.Seconds : 0;
}

// Escape stops the run at its question (no polls while it is open); the floor is measured then,
// and No lets the run go on.
double FloorWhileAsked(const e2e::Process& process, HWND window, px::standin::StandinClient& standin,
                       double seconds) {
    e2e::PostKey(window, VK_ESCAPE);
    HWND box = e2e::WaitForMessageBox(std::chrono::seconds(10), process.Id());
    if (!box) return 0;
    const double floor = FloorPerSecond(standin, seconds);
    e2e::AnswerMessageBox(box, IDNO);
    const auto polls = service::ReportPolls(standin);
    e2e::WaitFor([&] { return service::ReportPolls(standin) > polls + 10; }, std::chrono::milliseconds(5000));
    return floor;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    px::standin::StandinClient standin;
    standin.Reset();
    auto process = e2e::Process::Start(service::kProgram);
    HWND main = e2e::WaitForTopLevelWindow(service::kTitle, std::chrono::seconds(10), {process.Id(), false});
    HWND window = main ? service::OpenCalibration(process, main, standin) : nullptr;
    if (!window) {
        std::fprintf(stderr, "the calibration window did not open\n");
        return 1;
    }
    // Round by round, so that a neighbour's load on the machine weighs on all three alike.
    std::vector<double> floors, waiting, moving;
    for (int i = 0; i < rounds; ++i) {
        floors.push_back(FloorWhileAsked(process, window, standin, seconds));
        waiting.push_back(PollsPerSecond(standin, seconds, false));
        moving.push_back(PollsPerSecond(standin, seconds, true));
    }
    const double floor = Median(floors);
    std::printf("calibration GET_REPORT requests/s, median of %d rounds of %.1f s: bare loop %.0f, "
                "waiting for a touch %.0f (ratio %.2f), finger moving %.0f (ratio %.2f)\n",
                rounds, seconds, floor, Median(waiting), Median(waiting) / floor, Median(moving),
                Median(moving) / floor);
    e2e::PostKey(window, VK_ESCAPE);
    if (HWND box = e2e::WaitForMessageBox(std::chrono::seconds(10), process.Id())) e2e::AnswerMessageBox(box, IDYES);
    e2e::WaitForWindowGone(window, std::chrono::seconds(10));
    process.Kill();
    standin.Reset();
    return 0;
}
