// The four-point calibration window.
#pragma once

namespace px {

class ControlPanel;

// The calibration, the test board and the controller information window.
void InstallServiceWindows(ControlPanel& panel);

}  // namespace px
