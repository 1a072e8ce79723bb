#include "shared/summaries.hpp"

#include <array>
#include <cstdio>

namespace px {
namespace {

template <std::size_t N>
std::string Lookup(const std::array<const char*, N>& table, unsigned v) {
    return v < N ? table[v] : "";
}

const std::array<const char*, 5> kTouchModes{"", "Stream Mode", "Lift Off Mode", "Touch Down Mode",
                                             "Drag Drop Mode"};
// "&&" is how a label shows one "&".
const std::array<const char*, 5> kFeedbackSounds{"", "Silence ( No Sound )", "Touch Down Only", "Lift Off Only",
                                                 "Both Touch Down && Lift Off"};
const std::array<const char*, 5> kAccelerations{"", "Slow", "Medium", "Fast", "Off"};
const std::array<const char*, 12> kBaudRates{"",      "1200",  "2400",  "4800",  "9600",  "14400",
                                             "19200", "28800", "38400", "57600", "76800", "115200"};
const std::array<const char*, 2> kRightButtons{"Disable", "Enable"};

std::string Invalid(unsigned v) { return "Invalid#" + std::to_string(v); }

std::string OneToFour(std::string (*names)(unsigned), unsigned v) {
    return (v == 0 || v > 4) ? Invalid(v) : names(v);
}

}  // namespace

std::string TouchModeNames(unsigned v) { return Lookup(kTouchModes, v); }
std::string FeedbackSoundNames(unsigned v) { return Lookup(kFeedbackSounds, v); }
std::string AccelerationNames(unsigned v) { return Lookup(kAccelerations, v); }
std::string BaudRateNames(unsigned v) { return Lookup(kBaudRates, v); }
std::string RightButtonNames(unsigned v) { return Lookup(kRightButtons, v); }

std::string TouchModeText(unsigned v) { return OneToFour(TouchModeNames, v); }
std::string FeedbackSoundText(unsigned v) { return OneToFour(FeedbackSoundNames, v); }
std::string AccelerationText(unsigned v) { return OneToFour(AccelerationNames, v); }
std::string RightButtonText(unsigned v) { return v > 1 ? Invalid(v) : RightButtonNames(v); }

std::string SensitivityText(unsigned v) {
    return "Level " + std::to_string(127 - static_cast<int>(v));
}

std::string DurationText(unsigned seconds) {
    const unsigned minutes = seconds / 60;
    const unsigned rest = seconds % 60;
    std::string text;
    if (minutes != 0) text += " " + std::to_string(minutes) + " Min. ";
    if (rest != 0) text += " " + std::to_string(rest) + " Sec.";
    return text;
}

std::string PowerDownText(unsigned v) {
    if (v == 0) return "Disable Power Down Function";
    return "Power Down When Idel " + DurationText(10 * v);  // "Idel": the text the users know
}

std::string MouseSpeedText(unsigned h, unsigned v, unsigned a, unsigned bypass) {
    if (bypass != 0) return "Enable Bypass Mode";
    return "HS=" + std::to_string(5 * h) + "%, VS=" + std::to_string(5 * v) +
           "%, Acceleration=" + AccelerationText(a);
}

std::string PortLineText(unsigned n, std::uint16_t address, unsigned irq) {
    if (address == 0 && irq == 0) return "COM" + std::to_string(n) + "..None.";
    return "COM" + std::to_string(n) + ", Port=" + Hex4(address) + "h, IRQ=" + std::to_string(irq);
}

std::string SerialPortSummary(unsigned port, std::uint16_t address, unsigned irq, unsigned baudCode) {
    // The rate table ends at 11; a larger code is shown as itself rather than read past the table.
    const std::string rate = baudCode < kBaudRates.size() ? BaudRateNames(baudCode) : Invalid(baudCode);
    return "COM" + std::to_string(port) + ", Port=" + Hex4(address) + ", IRQ=" + std::to_string(irq) + ", (" +
           rate + ",N,8,1)";
}

std::string VirtualButtonSummary(unsigned touchMode, unsigned rightButton) {
    return TouchModeText(touchMode) + " (RBF=" + RightButtonText(rightButton) + ")";
}

std::string Hex2(std::uint8_t b) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(b));
    return text;
}

std::string Hex4(std::uint16_t w) {
    char text[5];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(w));
    return text;
}

}  // namespace px
