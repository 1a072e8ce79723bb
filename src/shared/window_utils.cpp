#include "shared/window_utils.hpp"

#include <cmath>
#include <limits>

namespace px {

long RoundHalfEven(double value) {
    // Out-of-range sizes saturate instead of overflowing the conversion.
    constexpr double kLow = static_cast<double>(std::numeric_limits<long>::min());
    constexpr double kHigh = static_cast<double>(std::numeric_limits<long>::max());
    if (!(value > kLow)) return std::numeric_limits<long>::min();
    if (!(value < kHigh)) return std::numeric_limits<long>::max();
    const double floor = std::floor(value);
    const double diff = value - floor;
    double result = floor;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0)) result = floor + 1.0;
    return static_cast<long>(result);
}

TwipsPoint CenterWindow(double screenWidth, double screenHeight, double windowWidth, double windowHeight) {
    const long sw = RoundHalfEven(screenWidth);
    const long sh = RoundHalfEven(screenHeight);
    const long ww = RoundHalfEven(windowWidth);
    const long wh = RoundHalfEven(windowHeight);
    const long upper = RoundHalfEven(static_cast<double>(sh) * 0.85);
    return {sw / 2 - ww / 2, upper / 2 - wh / 2};
}

IconPlacement CenterIcon(double frameInnerWidth, double frameInnerHeight, double iconWidth, double iconHeight) {
    return {(frameInnerWidth - iconWidth) / 2, (frameInnerHeight - iconHeight) / 2};
}

void ShowErrorBox(UiPort& ui, const std::string& text, const std::string& title) {
    ui.Beep();
    ui.ShowMessageBox(text, title, kErrorBoxStyle);
}

int AskYesNo(UiPort& ui, const std::string& text, std::uint32_t extraStyle, const std::string& title) {
    return ui.ShowMessageBox(text, title, kYesNoQuestionStyle | extraStyle);
}

bool FileExists(FilePort& files, const std::string& path) { return files.CanOpenForInput(path); }

// The display count only moves by one per call, so a few thousand calls reach any count Windows
// keeps; the bound only guards against a broken port.
constexpr int kCursorCallLimit = 4096;

void HideCursor(UiPort& ui) {
    for (int i = 0; i < kCursorCallLimit; ++i)
        if (ui.ShowCursor(false) < 0) return;
}

void RestoreCursor(UiPort& ui) {
    for (int i = 0; i < kCursorCallLimit; ++i)
        if (ui.ShowCursor(true) >= 0) return;
}

}  // namespace px
