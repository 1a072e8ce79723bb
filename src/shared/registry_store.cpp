#include "shared/registry_store.hpp"

#include <vector>

namespace px {

bool RegistryStore::OpenRegistryKey(RegKey hive, const std::string& basePath, std::string& subPath, RegKey& key) {
    if (basePath.empty()) return false;
    if (!subPath.empty() && subPath.front() == '\\') subPath.erase(0, 1);
    const std::string path = subPath.empty() ? basePath : basePath + "\\" + subPath;
    return registry_.CreateKey(hive, path, &key) == kErrorSuccess;
}

bool RegistryStore::CloseRegistryKey(RegKey key) { return registry_.CloseKey(key) == kErrorSuccess; }

bool RegistryStore::ReadRegistryString(RegKey key, const std::string& valueName, std::string& text) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (registry_.QueryValue(key, valueName, &type, nullptr, &size) != kErrorSuccess) return false;
    if (type != kRegSz) return false;
    std::vector<std::uint8_t> buffer(size, ' ');
    // The second call needs a real pointer even for an empty value.
    std::uint8_t empty = 0;
    if (registry_.QueryValue(key, valueName, &type, buffer.empty() ? &empty : buffer.data(), &size) !=
        kErrorSuccess)
        return false;
    if (size < buffer.size()) buffer.resize(size);
    std::string value(buffer.begin(), buffer.end());
    if (const auto nul = value.find('\0'); nul != std::string::npos) value.resize(nul);
    text = value;
    return true;
}

bool RegistryStore::WriteRegistryString(RegKey key, const std::string& valueName, const std::string& text) {
    if (key == 0) return false;
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return registry_.SetValue(key, valueName, kRegSz, data.data(), static_cast<std::uint32_t>(data.size())) ==
           kErrorSuccess;
}

void OemRecord::SetOemLocation(RegKey hive, const std::string& basePath, const std::string& subPath) {
    hive_ = hive;
    basePath_ = basePath;
    subPath_ = subPath;
}

bool OemRecord::LoadOemData() {
    SetOemLocation(kHkeyLocalMachine, kOemBasePath, kOemSubPath);
    RegKey key = 0;
    if (!store_.OpenRegistryKey(hive_, basePath_, subPath_, key)) return false;
    bool all = true;
    // "Vender": the value name setups and other programs already use.
    all = store_.ReadRegistryString(key, "VenderName", VenderName) && all;
    all = store_.ReadRegistryString(key, "InstallPath", InstallPath) && all;
    all = store_.ReadRegistryString(key, "WindowsPath", WindowsPath) && all;
    all = store_.ReadRegistryString(key, "SystemPath", SystemPath) && all;
    all = store_.ReadRegistryString(key, "HardwareID", HardwareID) && all;
    store_.CloseRegistryKey(key);
    return all;
}

bool OemRecord::SaveVenderName() {
    RegKey key = 0;
    if (!store_.OpenRegistryKey(hive_, basePath_, subPath_, key)) return false;
    const bool written = store_.WriteRegistryString(key, "VenderName", VenderName);
    const bool closed = store_.CloseRegistryKey(key);
    return written && closed;
}

}  // namespace px
