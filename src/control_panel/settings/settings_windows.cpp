#include "control_panel/settings/settings_windows.hpp"

namespace px {

void InstallSettingsWindows(ControlPanel& panel) {
    panel.AddWindow(MakeSerialPortWindow(panel));
    panel.AddWindow(MakeComPortSetupWindow(panel));
    panel.AddWindow(MakeVirtualButtonWindow(panel));
    panel.AddWindow(MakeFeedbackSoundWindow(panel));
    panel.AddWindow(MakeMouseSpeedWindow(panel));
    panel.AddWindow(MakeSensitivityWindow(panel));
    panel.AddWindow(MakeSleepTimeWindow(panel));
}

}  // namespace px
