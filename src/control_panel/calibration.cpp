#include "calibration.hpp"

#include "main_window.hpp"
#include "mcu_info.hpp"

namespace px {

void InstallServiceWindows(ControlPanel& panel) { InstallMcuInfoWindow(panel); }

}  // namespace px
