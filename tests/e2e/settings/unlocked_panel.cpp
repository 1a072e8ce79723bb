// The control panel with the two buttons it hides as delivered (Setup, Touch Sensitivity) made
// available, so the tests can reach the windows behind them. Not a product program.
#include <windows.h>

#include "control_panel/main_window.hpp"
#include "win32/win32_suite.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    px::win32::Win32Suite suite("settings_unlocked_panel");
    auto& binding = suite.binding;
    px::ControlPanel panel(suite.Ports());
    for (px::forms::Form* form : panel.Windows()) binding.Attach(*form);
    px::forms::Form& serial = *panel.Window("frmSerialPort");
    auto load = serial.Load;
    serial.Load = [&serial, load] {
        load();
        serial["cmdSetup"].SetVisible(true);
        serial["cmdSetup"].SetEnabled(true);
    };
    panel.Start();
    panel.Main()["cmdSensivitity"].SetVisible(true);
    panel.Main()["cmdSensivitity"].SetEnabled(true);
    const int code = binding.RunMessageLoop();
    panel.Channel().CloseDriver();
    return code;
}
