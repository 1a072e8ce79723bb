// PXwNTcrb: the right-button function window.
#include <windows.h>

#include "right_button/right_button.hpp"
#include "win32/close_signal.hpp"
#include "win32/display_api.hpp"
#include "win32/rbf_window_api.hpp"
#include "win32/win32_ports.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    px::win32::DeviceApi device;
    px::win32::UiApi ui;
    px::win32::ProcessApi process;
    px::win32::WindowMessageApi windows;
    px::win32::DisplayApi display;
    px::win32::MessagePump pump;
    px::win32::RbfWindowApi window(instance);
    // Its window never takes the activation, and the program is started hidden: its boxes
    // belong to its window, or Windows would hide the first of them.
    ui.SetBoxOwner([&window] { return window.Handle(); });

    px::RightButtonProgram program({device, ui, process, windows, pump, display, window});
    if (!program.Start()) return 0;
    // Another program's close in any session is answered as its close message would be.
    px::win32::CloseSignalWatch closeSignal([&program] { program.CloseRequested(); });
    return pump.Run();
}
