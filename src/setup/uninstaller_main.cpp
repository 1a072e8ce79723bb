// PXwNTcde: removes the touchscreen software.
#include <windows.h>

#include "form_binding.hpp"
#include "setup_api.hpp"
#include "uninstaller.hpp"
#include "win32_ports.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    px::win32::DeviceApi device;
    px::win32::RegistryApi registry;
    px::win32::UiApi ui;
    px::win32::ProcessApi process;
    px::win32::WindowMessageApi windows;
    px::win32::WindowSearchApi search("PXwNTcde");
    px::win32::FileApi files;
    px::win32::PictureApi pictures;
    px::win32::ClockApi clock;
    px::win32::FormBinding binding;
    px::win32::BindingEvents events(binding);
    px::win32::IniApi ini;
    px::win32::RestartApi restart;
    px::win32::RemovalApi removal;
    px::win32::TextMeasureApi text;

    px::Uninstaller program({device, registry, ui, process, windows, search, files, pictures, events, clock},
                            {ini, restart, removal, text});
    binding.Attach(program.Main());
    binding.Attach(program.Message());
    program.Start();
    return binding.RunMessageLoop();
}
