// Polling with a deadline: the programs under test run in other processes, so every check
// of their state is "look again until it holds or time runs out".
#pragma once

#include <windows.h>

#include <chrono>

namespace e2e {

using Milliseconds = std::chrono::milliseconds;
inline constexpr Milliseconds kPollInterval{20};

// Calls probe() until its result converts to true or the timeout passes; returns the last
// result, so a probe returning HWND or std::optional hands back what it found.
template <class Probe>
auto WaitFor(Probe&& probe, Milliseconds timeout) -> decltype(probe()) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        auto result = probe();
        if (result || std::chrono::steady_clock::now() >= deadline) return result;
        Sleep(static_cast<DWORD>(kPollInterval.count()));
    }
}

}  // namespace e2e
