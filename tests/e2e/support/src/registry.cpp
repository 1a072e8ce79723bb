#include "e2e/registry.hpp"

namespace e2e {

SavedRegistryValues::SavedRegistryValues(HKEY root, std::wstring path, const std::vector<std::wstring>& names)
    : root_(root), path_(std::move(path)) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) key = nullptr;
    for (const auto& name : names) {
        auto& saved = values_[name];
        DWORD type = 0, size = 0;
        if (!key || RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) continue;
        Value value{type, std::vector<BYTE>(size)};
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, value.Data.data(), &size) != ERROR_SUCCESS) continue;
        value.Data.resize(size);
        saved = std::move(value);
    }
    if (key) RegCloseKey(key);
}

SavedRegistryValues::~SavedRegistryValues() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    for (const auto& [name, value] : values_) {
        if (value)
            RegSetValueExW(key, name.c_str(), 0, value->Type, value->Data.data(),
                           static_cast<DWORD>(value->Data.size()));
        else
            RegDeleteValueW(key, name.c_str());
    }
    RegCloseKey(key);
}

bool SavedRegistryValues::Complete() const {
    for (const auto& [name, value] : values_)
        if (!value) return false;
    return true;
}

}  // namespace e2e
