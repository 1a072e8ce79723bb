// PXwNTccp: the touchscreen control panel.
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
    px::win32::WindowSearchApi search(px::kControlPanelProgram);
    px::win32::FileApi files;
    px::win32::PictureApi pictures;
    px::win32::ClockApi clock;
    px::win32::FormBinding binding;
    px::win32::BindingEvents events(binding);

    px::ControlPanel panel({device, registry, ui, process, windows, search, files, pictures, events, clock});
    for (px::forms::Form* form : panel.Windows()) binding.Attach(*form);
    panel.Start();
    const int code = binding.RunMessageLoop();
    // The close box unloads the main window without Exit's explicit end.
    panel.Channel().CloseDriver();
    return code;
}
