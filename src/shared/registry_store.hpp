// The registry layer every program carries, and the OEM record built on it.
#pragma once

#include <string>

#include "shared/ports.hpp"

namespace px {

inline constexpr char kOemBasePath[] = "SOFTWARE\\Veldrant\\TouchScreen";
inline constexpr char kOemSubPath[] = "PX-K17-COM";
inline constexpr char kOemLoadFailureText[] = "Fail to load data from Register File!";

class RegistryStore {
public:
    explicit RegistryStore(RegistryPort& registry) : registry_(registry) {}

    // Creates the key when it is missing. A leading "\" is taken off the caller's sub path.
    bool OpenRegistryKey(RegKey hive, const std::string& basePath, std::string& subPath, RegKey& key);
    bool CloseRegistryKey(RegKey key);
    // Only REG_SZ counts; the text is cut before its first NUL. Leaves text alone on failure.
    bool ReadRegistryString(RegKey key, const std::string& valueName, std::string& text);
    bool WriteRegistryString(RegKey key, const std::string& valueName, const std::string& text);

private:
    RegistryPort& registry_;
};

// The installation data under HKLM\SOFTWARE\Veldrant\TouchScreen\PX-K17-COM.
class OemRecord {
public:
    explicit OemRecord(RegistryPort& registry) : store_(registry) {}

    void SetOemLocation(RegKey hive, const std::string& basePath, const std::string& subPath);
    // Reads all five values, even after one has failed; true only when every read worked.
    bool LoadOemData();
    bool SaveVenderName();

    std::string VenderName;
    std::string InstallPath;
    std::string WindowsPath;
    std::string SystemPath;
    std::string HardwareID;

private:
    RegistryStore store_;
    RegKey hive_ = kHkeyLocalMachine;
    std::string basePath_;
    std::string subPath_;
};

}  // namespace px
