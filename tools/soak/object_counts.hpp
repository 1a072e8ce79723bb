// How many kernel handles, GDI objects and USER objects a running program holds, from outside it.
// Windows answers GetProcessHandleCount and GetGuiResources; Wine answers both with nothing, so
// there the counts come from the system's handle list, the process's own GDI handle table and
// its windows instead.
#pragma once

#include <windows.h>

namespace soak {

struct ObjectCounts {
    long Handles = -1;  // -1: could not be read
    long Gdi = -1;
    long User = -1;
    bool UserAreWindows = false;  // User counts only the process's windows (the fallback)
};

ObjectCounts CountObjects(HANDLE process);

long CountHandles(HANDLE process);
long CountGdiObjects(HANDLE process);
long CountUserObjects(HANDLE process, bool* onlyWindows = nullptr);

}  // namespace soak
