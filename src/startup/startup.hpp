// PXwNTcao: at each logon, the double-click area, the screen size for the driver and the
// right-button program when its function is on; about one second on screen, then it ends.
#pragma once

#include "forms/form.hpp"
#include "shared/about_window.hpp"
#include "shared/display_port.hpp"
#include "shared/driver_channel.hpp"
#include "shared/ports.hpp"
#include "shared/registry_store.hpp"

namespace px {

inline constexpr char kStartupTitle[] = " TouchScreen System Startup #PX-K17-COM";
inline constexpr char kStartupProgram[] = "PXwNTcao";
// "Clock" as the users have always read it.
inline constexpr char kDoubleClickFailureText[] = "Fail to setup Double Clock Size!";
inline constexpr char kStartupDriverFailureText[] = "Fail to open TouchScreen Driver! (PXWNTCOM.sys)";
inline constexpr char kRbfStartFailureText[] = "Fail to initialize Right Button Function!";
inline constexpr char kMouseBasePath[] = "Control Panel";
inline constexpr char kMouseSubPath[] = "Mouse";
inline constexpr char kDoubleClickSize[] = "32";
inline constexpr int kDoubleClickPixels = 32;

forms::Form MakeStartupForm();

struct StartupPorts {
    DevicePort& Device;
    RegistryPort& Registry;
    UiPort& Ui;
    ProcessPort& Process;
    WindowMessagePort& Windows;
    WindowSearchPort& Search;
    EventLoopPort& Events;
    ClockPort& Clock;
    DisplayPort& Display;
};

class StartupProgram {
public:
    explicit StartupProgram(StartupPorts ports);
    StartupProgram(const StartupProgram&) = delete;
    StartupProgram& operator=(const StartupProgram&) = delete;

    // The whole start-up sequence; returns when the program is to end.
    void Run();

    forms::Form& Main() { return main_; }
    forms::Form& About() { return about_; }
    DriverChannel& Channel() { return channel_; }
    const OemRecord& Oem() const { return oem_; }

private:
    void LoadMain();
    bool SetDoubleClickArea();
    void EndProgram();
    void Finish();

    StartupPorts ports_;
    DriverChannel channel_;
    OemRecord oem_;
    bool ended_ = false;
    bool finishing_ = false;
    forms::Form main_;
    forms::Form about_;
};

}  // namespace px
