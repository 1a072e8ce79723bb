// Registry values as a test found them, put back exactly when it ends.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Keeps each named value's type and bytes (the key itself is made if it has gone); on
// destruction writes them back and deletes the ones that were absent.
class SavedRegistryValues {
public:
    SavedRegistryValues(HKEY root, std::wstring path, const std::vector<std::wstring>& names);
    ~SavedRegistryValues();
    SavedRegistryValues(const SavedRegistryValues&) = delete;
    SavedRegistryValues& operator=(const SavedRegistryValues&) = delete;

    // Every named value was there.
    bool Complete() const;

private:
    struct Value {
        DWORD Type = 0;
        std::vector<BYTE> Data;
    };
    HKEY root_;
    std::wstring path_;
    std::map<std::wstring, std::optional<Value>> values_;
};

}  // namespace e2e
