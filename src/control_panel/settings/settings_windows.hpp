// The six settings windows of the control panel and the COM port set-up window.
#pragma once

#include <memory>

#include "control_panel/main_window.hpp"
#include "forms/form.hpp"

namespace px {

std::unique_ptr<forms::Form> MakeSerialPortWindow(ControlPanel& panel);
std::unique_ptr<forms::Form> MakeComPortSetupWindow(ControlPanel& panel);
std::unique_ptr<forms::Form> MakeVirtualButtonWindow(ControlPanel& panel);
std::unique_ptr<forms::Form> MakeFeedbackSoundWindow(ControlPanel& panel);
std::unique_ptr<forms::Form> MakeMouseSpeedWindow(ControlPanel& panel);
std::unique_ptr<forms::Form> MakeSensitivityWindow(ControlPanel& panel);
std::unique_ptr<forms::Form> MakeSleepTimeWindow(ControlPanel& panel);

// Registers all seven with the main window, which opens them from its buttons.
void InstallSettingsWindows(ControlPanel& panel);

}  // namespace px
