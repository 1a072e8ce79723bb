// The user's double-click area, which the start-up program writes at every logon.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "e2e/registry.hpp"

namespace bench {

inline constexpr char kMouseKey[] = "Control Panel\\Mouse";

// The value's text when it is a string; type gets its registry type.
inline std::optional<std::string> MouseValue(const char* name, DWORD* type = nullptr) {
    char data[64] = {};
    DWORD size = sizeof data, valueType = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kMouseKey, name, RRF_RT_ANY, &valueType, data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type) *type = valueType;
    if (valueType != REG_SZ) return std::nullopt;
    return std::string(data);
}

inline void SetMouseValue(const char* name, const std::string& text) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kMouseKey, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

class SavedDoubleClickArea : public e2e::SavedRegistryValues {
public:
    SavedDoubleClickArea()
        : SavedRegistryValues(HKEY_CURRENT_USER, L"Control Panel\\Mouse",
                              {L"DoubleClickWidth", L"DoubleClickHeight"}) {}
};

}  // namespace bench
