// The control panel started against the stand-in, with what the calibration tests and the
// benchmark share: opening the calibration, playing a finger, reading the codes it sent.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "e2e/input.hpp"
#include "e2e/process.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "standin_client.hpp"

namespace service {

using namespace std::chrono_literals;

inline constexpr char kProgram[] = "C:\\Program Files\\TouchScreen\\PXwNTccp.exe";
inline constexpr char kTitle[] = " TouchScreen Control Panel #PX-K17-COM";
inline constexpr std::uint32_t kGetReport = 0xF2030;
inline constexpr std::uint32_t kCalibrationCode = 0xF2040;

// The bench panel: raw X = 64 + 7/8 px, raw Y = 80 + 11/10 py (integer parts), and the centres
// of the four cross marks on the 1024 x 768 bench screen, in the order the run asks for them.
inline std::int16_t RawX(int px) { return static_cast<std::int16_t>(64 + px * 7 / 8); }
inline std::int16_t RawY(int py) { return static_cast<std::int16_t>(80 + py * 11 / 10); }
inline constexpr POINT kMarkCentres[] = {{15, 15}, {1006, 15}, {1006, 750}, {15, 750}};

inline constexpr char kCompleteText[] =
    "CALIBRATION IS COMPLETE.\r\rFor test, touch on the screen and check cursor position.\r"
    "To save new calibration, click Yes button.\rTo restore old calibration, click No button.";

inline std::vector<std::int32_t> CodesSent(px::standin::StandinClient& standin) {
    std::vector<std::int32_t> codes;
    for (const auto& entry : standin.Journal()) {
        if (entry.Code != kCalibrationCode) continue;
        std::int32_t code = 0;
        std::memcpy(&code, entry.Input, sizeof code);
        for (std::uint32_t i = 0; i < entry.Repeat; ++i) codes.push_back(code);
    }
    return codes;
}

inline std::uint64_t ReportPolls(px::standin::StandinClient& standin) {
    std::uint64_t polls = 0;
    for (const auto& entry : standin.Journal())
        if (entry.Code == kGetReport) polls += entry.Repeat;
    return polls;
}

// Clicks Calibration (posted: the whole run happens inside the click) and waits until the run
// polls the driver. Returns the calibration window.
inline HWND OpenCalibration(const e2e::Process& process, HWND main, px::standin::StandinClient& standin) {
    auto button = e2e::FindControlByText(main, "&Calibration");
    if (!button) return nullptr;
    e2e::PostButtonClick(button->window);
    HWND window = e2e::WaitForTopLevelWindow("Calibration", 10s, {process.Id(), false});
    if (!window) return nullptr;
    const auto before = ReportPolls(standin);
    if (!e2e::WaitFor([&] { return ReportPolls(standin) > before + 10; }, 5000ms)) return nullptr;
    return window;
}

// A finger held on one spot until the program takes it (one more code 5), then lifted.
inline bool HoldUntilCaptured(px::standin::StandinClient& standin, std::int16_t x, std::int16_t y) {
    const auto captured = [&] {
        const auto codes = CodesSent(standin);
        return static_cast<std::size_t>(std::count(codes.begin(), codes.end(), 5));
    };
    const auto before = captured();
    standin.Touch(x, y);
    bool taken = false;
    for (int i = 0; i < 40 && !taken; ++i) {
        Sleep(50);
        standin.Move(x, y);  // a new report at the same place
        taken = e2e::WaitFor([&] { return captured() > before; }, 100ms);
    }
    standin.Lift();
    // The run must see the lift before the next touch, or it would still wait for it.
    const auto polls = ReportPolls(standin);
    e2e::WaitFor([&] { return ReportPolls(standin) > polls + 20; }, 2000ms);
    return taken;
}

}  // namespace service
