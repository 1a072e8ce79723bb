// The OEM key the bench installs, saved by a test that damages it and put back when it ends.
#pragma once

#include "e2e/registry.hpp"

namespace bench {

inline constexpr wchar_t kOemKeyPath[] = L"SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
inline constexpr char kOemKeyPathA[] = "SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
inline constexpr const char* kOemValueNames[] = {"VenderName", "InstallPath", "WindowsPath", "SystemPath",
                                                  "HardwareID"};

class SavedOemKey : public e2e::SavedRegistryValues {
public:
    SavedOemKey()
        : SavedRegistryValues(HKEY_LOCAL_MACHINE, kOemKeyPath,
                              {L"VenderName", L"InstallPath", L"WindowsPath", L"SystemPath", L"HardwareID"}) {}
};

}  // namespace bench
