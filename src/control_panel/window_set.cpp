#include "control_panel/calibration.hpp"
#include "control_panel/main_window.hpp"
#include "control_panel/settings/settings_windows.hpp"

namespace px {

// One line per window module of the control panel.
void InstallControlPanelWindows(ControlPanel& panel) {
    InstallSettingsWindows(panel);
    InstallServiceWindows(panel);
}

}  // namespace px
