// PXwNTcdi: the last step of installation: the vendor name from setup.oem, then a restart.
#pragma once

#include <string>
#include <string_view>

#include "setup/progress.hpp"
#include "shared/setup_exit_codes.hpp"
#include "shared/registry_store.hpp"
#include "shared/setup_ports.hpp"
#include "shared/suite_ports.hpp"

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

// Run without arguments by an interactive setup. A silent setup adds "/QUIET" (no window, no
// box), and "/NORESTART" when the administrator restarts later.
struct PostSetupOptions {
    bool Quiet = false;
    bool NoRestart = false;
};
PostSetupOptions ParsePostSetupOptions(std::string_view commandLine);

// Exit codes (setup_exit_codes.hpp), for the setup package that waits on a quiet run; 0 whatever
// happened when run without switches, as it always was.
struct PostSetupOutcome {
    bool OemLoaded = true;
    bool VendorStored = true;
    bool RestartAsked = true;     // false with /NORESTART
    bool RestartStarted = false;  // Windows took the request
};
int PostSetupExitCode(const PostSetupOutcome& outcome);

class PostSetup {
public:
    PostSetup(SuitePorts ports, IniPort& ini, RestartPort& restart, PostSetupOptions options = {});
    // The whole run; returns the exit code when the program should end.
    int Run();

    forms::Form& Message() { return message_; }
    const OemRecord& Oem() const { return oem_; }

private:
    SuitePorts ports_;
    IniPort& ini_;
    RestartPort& restart_;
    PostSetupOptions options_;
    OemRecord oem_;
    forms::Form message_;
};

}  // namespace px
