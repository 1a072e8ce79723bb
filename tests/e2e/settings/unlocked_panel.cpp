// The control panel with the two buttons it hides as delivered (Setup, Touch Sensitivity) made
// available, so the tests can reach the windows behind them. Not a product program.
#include <windows.h>

#include "form_binding.hpp"
#include "main_window.hpp"
#include "win32_ports.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    px::win32::DeviceApi device;
    px::win32::RegistryApi registry;
    px::win32::UiApi ui;
    px::win32::ProcessApi process;
    px::win32::WindowMessageApi windows;
    px::win32::WindowSearchApi search("settings_unlocked_panel");
    px::win32::FileApi files;
    px::win32::PictureApi pictures;
    px::win32::ClockApi clock;
    px::win32::FormBinding binding;
    px::win32::BindingEvents events(binding);

    px::ControlPanel panel({device, registry, ui, process, windows, search, files, pictures, events, clock});
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
