// PXwNTcdi: the last step of installation: the vendor name from setup.oem, then a restart.
#pragma once

#include <string>

#include "progress.hpp"
#include "registry_store.hpp"
#include "setup_ports.hpp"
#include "suite_ports.hpp"

namespace px {

inline constexpr char kInstallationTitle[] = "TouchScreen Driver Installation";
inline constexpr char kSetupFinishedText[] =
    "Setup has finished installing TouchScreen drivers and utilities on your computer.\r\n\r\n"
    "The Windows must be restarted.";
inline constexpr std::uint32_t kFinalBoxStyle = kBoxSystemModal | kBoxIconInformation;

// Value of a key of an INI file: cut at its first NUL, trailing blanks removed, "" when absent.
std::string IniValue(IniPort& ini, const std::string& file, const std::string& section, const std::string& key);
// FileExists after dropping one trailing "\".
bool SetupFileExists(FilePort& files, std::string path);

class PostSetup {
public:
    PostSetup(SuitePorts ports, IniPort& ini, RestartPort& restart);
    // The whole run; returns when the program should end.
    void Run();

    forms::Form& Message() { return message_; }
    const OemRecord& Oem() const { return oem_; }

private:
    SuitePorts ports_;
    IniPort& ini_;
    RestartPort& restart_;
    OemRecord oem_;
    forms::Form message_;
};

}  // namespace px
