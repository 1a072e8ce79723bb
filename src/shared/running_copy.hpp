#pragma once

#include <string>

#include "shared/ports.hpp"

namespace px {

// The first top-level window, hidden ones included, whose title is exactly the caption sought;
// 0 when there is none.
WindowHandle FindRunningCopy(WindowSearchPort& windows, WindowHandle exclude, const std::string& caption);

}  // namespace px
