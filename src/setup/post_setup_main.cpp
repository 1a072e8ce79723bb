// PXwNTcdi: run by the setup package as its last step.
#include <windows.h>

#include "form_binding.hpp"
#include "post_setup.hpp"
#include "setup_api.hpp"
#include "win32_ports.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    px::win32::DeviceApi device;
    px::win32::RegistryApi registry;
    px::win32::UiApi ui;
    px::win32::ProcessApi process;
    px::win32::WindowMessageApi windows;
    px::win32::WindowSearchApi search("PXwNTcdi");
    px::win32::FileApi files;
    px::win32::PictureApi pictures;
    px::win32::ClockApi clock;
    px::win32::FormBinding binding;
    px::win32::BindingEvents events(binding);
    px::win32::IniApi ini;
    px::win32::RestartApi restart;

    px::PostSetup program({device, registry, ui, process, windows, search, files, pictures, events, clock}, ini,
                          restart);
    binding.Attach(program.Message());
    program.Run();
    return 0;
}
