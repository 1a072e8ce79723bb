#include <gtest/gtest.h>

#include "fakes.hpp"
#include "shared/pause.hpp"

namespace px {
namespace {

TEST(Pause, EndsAtTheRoundedStartPlusNSecondsHandlingEventsMeanwhile) {
    struct Case {
        std::uint64_t StartMs;
        int Seconds;
        std::uint64_t EndMs;  // the first moment the pause may end
    };
    const Case cases[] = {
        {1000, 1, 2000},
        {1499, 1, 2000},   // rounded down: half a second short
        {1500, 1, 3000},   // a half rounds to even: 2
        {2500, 1, 3000},   // ... and here also to 2
        {2501, 3, 6000},
        {86'399'700, 1, 86'401'000},  // across midnight, where the time of day would wrap to 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.StartMs);
        fakes::FakeClock clock;
        fakes::FakeEvents events;
        clock.Now = c.StartMs;
        std::uint64_t lastEventAt = 0;
        events.OnEvents = [&](int) { lastEventAt = clock.Now; };
        Pause(events, clock, c.Seconds);
        EXPECT_GE(clock.Now, c.EndMs);
        EXPECT_LT(lastEventAt, c.EndMs);
        EXPECT_GE(lastEventAt + 50, c.EndMs);  // events kept their turn to the end
        EXPECT_GT(events.Calls, 1);
    }
}

TEST(Pause, AClockThatJumpsPastTheEndStopsItAtOnce) {
    fakes::FakeClock clock;
    fakes::FakeEvents events;
    clock.Now = 5000;
    events.OnEvents = [&](int) { clock.Now += 10'000; };
    Pause(events, clock, 1);
    EXPECT_EQ(events.Calls, 1);
}

}  // namespace
}  // namespace px
