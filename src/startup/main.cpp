// PXwNTcao: the logon start-up program.
#include <windows.h>

#include "startup/startup.hpp"
#include "win32/display_api.hpp"
#include "win32/form_binding.hpp"
#include "win32/win32_ports.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    px::win32::DeviceApi device;
    px::win32::RegistryApi registry;
    px::win32::UiApi ui;
    px::win32::ProcessApi process;
    px::win32::WindowMessageApi windows;
    px::win32::WindowSearchApi search(px::kStartupProgram);
    px::win32::ClockApi clock;
    px::win32::DisplayApi display;
    px::win32::FormBinding binding;
    px::win32::BindingEvents events(binding);

    px::StartupProgram program({device, registry, ui, process, windows, search, events, clock, display});
    binding.Attach(program.Main());
    binding.Attach(program.About());
    program.Run();
    return 0;
}
