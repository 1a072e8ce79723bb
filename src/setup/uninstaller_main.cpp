// PXwNTcde: removes the touchscreen software.
#include <windows.h>

#include "setup/uninstaller.hpp"
#include "win32/setup_api.hpp"
#include "win32/win32_suite.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    px::win32::LoadSystemDllsFromSystem32Only();
    px::win32::Win32Suite suite("PXwNTcde");
    px::win32::IniApi ini;
    px::win32::RestartApi restart;
    px::win32::RemovalApi removal;
    px::win32::TextMeasureApi text;
    px::Uninstaller program(suite.Ports(), {ini, restart, removal, text});
    suite.binding.Attach(program.Main());
    suite.binding.Attach(program.Message());
    program.Start();
    return suite.binding.RunMessageLoop();
}
