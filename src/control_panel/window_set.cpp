#include "calibration.hpp"
#include "main_window.hpp"

namespace px {

// One line per window module of the control panel.
void InstallControlPanelWindows(ControlPanel& panel) {
    InstallServiceWindows(panel);
}

}  // namespace px
