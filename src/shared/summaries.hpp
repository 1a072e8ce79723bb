// Names of the coded settings and the one-line summaries the control panel shows.
#pragma once

#include <cstdint>
#include <string>

namespace px {

std::string TouchModeNames(unsigned v);      // 1..4, else empty
std::string FeedbackSoundNames(unsigned v);  // 1..4
std::string AccelerationNames(unsigned v);   // 1..4
std::string BaudRateNames(unsigned v);       // 0..11 (0 has no text)
std::string RightButtonNames(unsigned v);    // 0..1

std::string TouchModeText(unsigned v);
std::string FeedbackSoundText(unsigned v);
std::string AccelerationText(unsigned v);
std::string RightButtonText(unsigned v);
std::string SensitivityText(unsigned v);
std::string PowerDownText(unsigned v);
std::string DurationText(unsigned seconds);
std::string MouseSpeedText(unsigned h, unsigned v, unsigned a, unsigned bypass);
std::string PortLineText(unsigned n, std::uint16_t address, unsigned irq);
std::string SerialPortSummary(unsigned port, std::uint16_t address, unsigned irq, unsigned baudCode);
std::string VirtualButtonSummary(unsigned touchMode, unsigned rightButton);

std::string Hex2(std::uint8_t b);
std::string Hex4(std::uint16_t w);

}  // namespace px
