#include "calibration.hpp"
#include "main_window.hpp"
#include "settings_windows.hpp"

namespace px {

// One line per window module of the control panel.
void InstallControlPanelWindows(ControlPanel& panel) {
    InstallSettingsWindows(panel);
    InstallServiceWindows(panel);
}

}  // namespace px
