// PXwNTccp: the touchscreen control panel.
#include <windows.h>

#include "control_panel/main_window.hpp"
#include "win32/close_signal.hpp"
#include "win32/win32_suite.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    px::win32::Win32Suite suite(px::kControlPanelProgram);
    px::ControlPanel panel(suite.Ports());
    for (px::forms::Form* form : panel.Windows()) suite.binding.Attach(*form);
    // A session end and a close from another program end the program alike, with what each open
    // window must undo first.
    suite.binding.SessionEnding = [&panel] { panel.EndSession(); };
    px::win32::CloseSignalWatch closeSignal([&suite] { suite.binding.EndSession(); });
    panel.Start();
    const int code = suite.binding.RunMessageLoop();
    // The close box unloads the main window without Exit's explicit end.
    panel.Channel().CloseDriver();
    return code;
}
