#include "shared/running_copy.hpp"

namespace px {

WindowHandle FindRunningCopy(WindowSearchPort& windows, WindowHandle exclude, const std::string& caption) {
    constexpr int kTitleBuffer = 128;
    // Bounded so that a window list changing under the walk cannot keep it going for ever.
    constexpr int kMaxWindows = 100000;
    WindowHandle window = windows.FirstWindow();
    for (int seen = 0; window != 0 && seen < kMaxWindows; ++seen, window = windows.NextWindow(window)) {
        if (window == exclude) continue;
        if (windows.ParentOf(window) != 0 || windows.InstanceWord(window) != 0) continue;
        char title[kTitleBuffer] = {};
        int count = windows.WindowText(window, title, kTitleBuffer);
        const int length = windows.WindowTextLength(window);
        if (count < 0) count = 0;
        if (count > kTitleBuffer - 1) count = kTitleBuffer - 1;
        if (length > 0 && std::string(title, static_cast<std::size_t>(count)) == caption) return window;
    }
    return 0;
}

}  // namespace px
