// PXwNTcde: asks, closes the right-button program, runs the removal program, restarts.
#pragma once

#include <functional>
#include <string>

#include "setup/progress.hpp"
#include "shared/driver_channel.hpp"
#include "shared/registry_store.hpp"
#include "shared/setup_ports.hpp"
#include "shared/suite_ports.hpp"

namespace px {

inline constexpr char kRemovalTitle[] = "TouchScreen Software Removal";
inline constexpr char kRemovalProduct[] = "TouchScreen V.K306.COM";
inline constexpr char kRemovalCompleteText[] =
    "Removal is complete to uninstall TouchScreen drivers and utilities.\r\n\r\n"
    "The Windows must be restarted.";
inline constexpr std::uint32_t kRemovalFailureStyle = kBoxSystemModal | kBoxIconExclamation;
inline constexpr std::uint32_t kRemovalCompleteStyle = kBoxSystemModal | kBoxIconInformation;

forms::Form MakeRemovalForm();

// The removal program's command line; the folder is quoted because it usually holds blanks.
std::string RemovalCommandLine(const std::string& installPath);

struct SetupPorts {
    IniPort& Ini;
    RestartPort& Restart;
    RemovalPort& Removal;
    TextMeasurePort& Text;
};

class Uninstaller {
public:
    Uninstaller(SuitePorts ports, SetupPorts setup);
    // Shows the question; the buttons do the rest.
    void Start();

    forms::Form& Main() { return main_; }
    forms::Form& Message() { return message_; }
    const OemRecord& Oem() const { return oem_; }

private:
    void LoadMain();
    void Layout();
    void Remove();
    // Runs the removal program; true when it ended within the ten seconds.
    bool RunRemovalProgram();
    void Fail(const std::string& reason);
    void End();

    SuitePorts ports_;
    SetupPorts setup_;
    DriverChannel channel_;
    OemRecord oem_;
    forms::Form main_;
    forms::Form message_;
};

}  // namespace px
