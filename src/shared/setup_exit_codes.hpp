// Exit codes of the setup package, its removal program and the post-setup program, in the
// convention deployment tools already read from Windows Installer packages.
#pragma once

namespace px {

inline constexpr int kExitDone = 0;
inline constexpr int kExitRestartNeeded = 3010;   // ERROR_SUCCESS_REBOOT_REQUIRED
inline constexpr int kExitRestartStarted = 1641;  // ERROR_SUCCESS_REBOOT_INITIATED
inline constexpr int kExitCancelled = 1602;       // ERROR_INSTALL_USEREXIT
inline constexpr int kExitFailed = 1603;          // ERROR_INSTALL_FAILURE
inline constexpr int kExitBusy = 1618;            // ERROR_INSTALL_ALREADY_RUNNING
inline constexpr int kExitUnsupported = 1633;     // ERROR_INSTALL_PLATFORM_UNSUPPORTED
inline constexpr int kExitNewerInstalled = 1638;  // ERROR_PRODUCT_VERSION

// Held by whoever installs or removes the product, machine-wide; the package names it too.
inline constexpr char kInstallationMutex[] = "Global\\TouchScreen PX-K17-COM installation";

// Whether a removal program's exit code means its work is done (a restart may finish it).
inline constexpr bool RemovalSucceeded(unsigned long code) {
    return code == kExitDone || code == kExitRestartNeeded;
}

}  // namespace px
