// The OEM key the bench installs, saved by a test that damages it and put back when it ends.
#pragma once

#include "e2e/registry.hpp"

#include <string>

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

// The ways a value can be damaged; the load fails only on a value's absence or type.
enum class OemDamage { Missing, ExpandSz, Dword, Empty, Long };
struct OemDamageCase {
    OemDamage Kind;
    const char* Label;
    bool Fatal;
};
inline constexpr OemDamageCase kOemDamages[] = {{OemDamage::Missing, "missing", true},
                                                {OemDamage::ExpandSz, "REG_EXPAND_SZ", true},
                                                {OemDamage::Dword, "REG_DWORD", true},
                                                {OemDamage::Empty, "empty", false},
                                                {OemDamage::Long, "5000 characters", false}};

// More than the 4 KB any fixed buffer of a reader would hold.
inline std::string LongOemText() { return std::string(5000, 'V'); }

inline bool DamageOemValue(const char* name, OemDamage damage) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kOemKeyPathA, &key) != ERROR_SUCCESS) return false;
    const std::string longText = LongOemText();
    const DWORD number = 1;
    const char expand[] = "%SystemRoot%";
    LSTATUS status = ERROR_SUCCESS;
    switch (damage) {
        case OemDamage::Missing: status = RegDeleteValueA(key, name); break;
        case OemDamage::ExpandSz:
            status = RegSetValueExA(key, name, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand), sizeof expand);
            break;
        case OemDamage::Dword:
            status = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
            break;
        case OemDamage::Empty:
            status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
            break;
        case OemDamage::Long:
            status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(longText.c_str()),
                                    static_cast<DWORD>(longText.size() + 1));
            break;
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace bench
