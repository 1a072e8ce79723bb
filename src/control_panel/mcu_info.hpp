// The controller information window: mode, firmware version and code from the driver's block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "forms/form.hpp"
#include "shared/driver_records.hpp"

namespace px {

class ControlPanel;

// "MCU-Version=4.2" reads the version byte's hexadecimal text as a decimal number.
std::string McuVersionText(std::uint8_t version);
std::string McuInfoLine(const DriverParameterBlock& block);

std::unique_ptr<forms::Form> MakeMcuInfoForm();
void InstallMcuInfoWindow(ControlPanel& panel);

}  // namespace px
