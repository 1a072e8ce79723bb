// The control panel's hub: one summary line per settings group beside the button that opens it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "forms/form.hpp"
#include "shared/about_window.hpp"
#include "shared/driver_channel.hpp"
#include "shared/registry_store.hpp"
#include "shared/suite_ports.hpp"

namespace px {

inline constexpr char kControlPanelTitle[] = " TouchScreen Control Panel #PX-K17-COM";
inline constexpr char kControlPanelProgram[] = "PXwNTccp";

// Right-button press on Exit or Serial Port with exactly these keys held opens the service windows.
inline constexpr int kServiceKeys = forms::kShiftMask | forms::kCtrlMask;

forms::Form MakeMainForm();

class ControlPanel {
public:
    explicit ControlPanel(SuitePorts ports);
    ControlPanel(const ControlPanel&) = delete;
    ControlPanel& operator=(const ControlPanel&) = delete;

    // Shows the main window; its load may end the program (second copy, no OEM data, no driver).
    void Start();

    forms::Form& Main() { return main_; }
    forms::Form& About() { return about_; }
    forms::Form& Support() { return support_; }
    DriverChannel& Channel() { return channel_; }
    const OemRecord& Oem() const { return oem_; }
    const std::string& LogoPath() const { return logoPath_; }
    SuitePorts& Ports() { return ports_; }

    // The other windows of the program register here; a button whose window is not
    // registered does nothing.
    forms::Form& AddWindow(std::unique_ptr<forms::Form> window);
    forms::Form* Window(const std::string& name);
    // Every window, the main window first: what the binding attaches.
    std::vector<forms::Form*> Windows();

    // Shows the main window again when a window it opened goes.
    void ReturnToMainWindow();
    // The main window's summary lines, written from the block as the driver returned it: all of
    // them at load, one after a settings window commits its group.
    enum class Summary { SerialPort, SleepTime, VirtualButton, FeedbackSound, Sensitivity, MouseSpeed };
    void ShowSummaries();
    void ShowSummary(Summary line);
    // The header the settings and information windows copy from the main window.
    WindowHeader Header();

    // Logoff, shutdown or a close from another program: each open window undoes what must not
    // outlive the program, then it ends (driver closed, exit code 0).
    void EndSession();

    enum class Order { ShowThenHide, HideThenShow };
    void Open(forms::Form& window, Order order);
    void Open(const std::string& window, Order order);

private:
    void LoadMain();
    void Wire();
    void EndProgram();

    SuitePorts ports_;
    DriverChannel channel_;
    OemRecord oem_;
    std::string logoPath_;
    forms::Form main_;
    forms::Form about_;
    forms::Form support_;
    std::vector<std::unique_ptr<forms::Form>> windows_;
};

// Adds the program's other windows (settings, calibration, test, controller information).
void InstallControlPanelWindows(ControlPanel& panel);

}  // namespace px
