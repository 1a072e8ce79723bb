// The installation program's progress window on its own, held open until it is killed: the real
// program closes it within moments and then restarts Windows. Not a product program.
#include <windows.h>

#include "setup/progress.hpp"
#include "win32/form_binding.hpp"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    px::forms::Form message = px::MakeMessageForm();
    px::win32::FormBinding binding;
    binding.Attach(message);
    px::ShowProgress(message, "TouchScreen Driver Installation", "Setup is updating your system...");
    return binding.RunMessageLoop();
}
