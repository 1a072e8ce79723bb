// PXwNTcdi: run by the setup package as its last step.
#include <windows.h>

#include "setup/post_setup.hpp"
#include "win32/setup_api.hpp"
#include "win32/win32_suite.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    px::win32::LoadSystemDllsFromSystem32Only();
    px::win32::Win32Suite suite("PXwNTcdi");
    px::win32::IniApi ini;
    px::win32::RestartApi restart;
    px::PostSetup program(suite.Ports(), ini, restart, px::ParsePostSetupOptions(commandLine ? commandLine : ""));
    suite.binding.Attach(program.Message());
    return program.Run();
}
