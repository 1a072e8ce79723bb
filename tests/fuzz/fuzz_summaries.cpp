// Every summary text over any driver block: never a crash, and each text keeps its shape.
#include <cstring>

#include "control_panel/mcu_info.hpp"
#include "fuzz_input.hpp"
#include "shared/driver_records.hpp"
#include "shared/summaries.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    px::DriverParameterBlock b{};
    std::memcpy(&b, data, size < sizeof b ? size : sizeof b);

    const auto serial = px::SerialPortSummary(b.ComPort, b.PortAddress, b.PortIrq, b.BaudCode);
    FUZZ_CHECK(serial.rfind("COM", 0) == 0 && serial.size() > 7 &&
               serial.compare(serial.size() - 7, 7, ",N,8,1)") == 0);
    for (unsigned n = 1; n <= 4; ++n) {
        const auto& e = b.ComTable[n - 1];
        const auto line = px::PortLineText(n, e.IoAddress, e.Irq);
        FUZZ_CHECK(line.rfind("COM" + std::to_string(n), 0) == 0);
    }
    for (unsigned v : {unsigned(b.TouchMode), unsigned(b.FeedbackSound), unsigned(b.Acceleration)}) {
        const bool inRange = v >= 1 && v <= 4;
        FUZZ_CHECK(inRange == (px::TouchModeText(v).rfind("Invalid#", 0) != 0));
        FUZZ_CHECK(!px::FeedbackSoundText(v).empty() && !px::AccelerationText(v).empty());
    }
    FUZZ_CHECK((b.RightButton > 1) == (px::RightButtonText(b.RightButton).rfind("Invalid#", 0) == 0));
    FUZZ_CHECK(px::SensitivityText(b.Sensitivity) == "Level " + std::to_string(127 - int(b.Sensitivity)));
    const auto power = px::PowerDownText(b.PowerDownTime);
    FUZZ_CHECK(b.PowerDownTime == 0 ? power == "Disable Power Down Function"
                                    : power.rfind("Power Down When Idel  ", 0) == 0);
    const auto speed = px::MouseSpeedText(b.HSpeed, b.VSpeed, b.Acceleration, b.Bypass);
    FUZZ_CHECK(b.Bypass != 0 ? speed == "Enable Bypass Mode" : speed.rfind("HS=", 0) == 0);
    FUZZ_CHECK(!px::VirtualButtonSummary(b.TouchMode, b.RightButton).empty());
    FUZZ_CHECK(px::Hex2(b.McuVersion).size() == 2 && px::Hex4(b.PortAddress).size() == 4);
    FUZZ_CHECK(!px::McuInfoLine(b).empty());
    return 0;
}
