// The pause routine: the start-up program's second on screen, the uninstaller's waits.
#pragma once

#include "shared/ports.hpp"

namespace px {

// Waits n whole seconds, counted from the nearest whole second (ties to even), so it lasts
// between n - 1/2 and n + 1/2 seconds; window events keep being handled meanwhile.
void Pause(EventLoopPort& events, ClockPort& clock, int seconds);

}  // namespace px
