#include "shared/pause.hpp"

#include "shared/window_utils.hpp"

namespace px {

namespace {
// Short enough that a double-click or a repaint is not held up, long enough not to spin a core.
constexpr unsigned kPollMs = 10;
}  // namespace

void Pause(EventLoopPort& events, ClockPort& clock, int seconds) {
    // A monotonic clock: the time of day would wrap to 0 at midnight and never reach the end.
    const long start = RoundHalfEven(static_cast<double>(clock.NowMs()) / 1000.0);
    const long long end = (static_cast<long long>(start) + seconds) * 1000;
    while (static_cast<long long>(clock.NowMs()) < end) {
        events.DoEvents();
        clock.Sleep(kPollMs);
    }
}

}  // namespace px
