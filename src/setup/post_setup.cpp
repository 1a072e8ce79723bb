#include "setup/post_setup.hpp"

#include <vector>

#include "shared/command_switch.hpp"
#include "shared/window_utils.hpp"

namespace px {

std::string IniValue(IniPort& ini, const std::string& file, const std::string& section, const std::string& key) {
    constexpr int kBuffer = 255;
    std::vector<char> buffer(kBuffer, ' ');
    const int count = ini.GetPrivateProfileString(section, key, buffer.data(), kBuffer, file);
    if (count <= 0) return "";
    std::string value(buffer.begin(), buffer.end());
    if (const auto nul = value.find('\0'); nul != std::string::npos) value.resize(nul);
    while (!value.empty() && value.back() == ' ') value.pop_back();
    return value;
}

bool SetupFileExists(FilePort& files, std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return FileExists(files, path);
}

PostSetupOptions ParsePostSetupOptions(std::string_view commandLine) {
    return {HasSwitch(commandLine, "/QUIET"), HasSwitch(commandLine, "/NORESTART")};
}

PostSetup::PostSetup(SuitePorts ports, IniPort& ini, RestartPort& restart, PostSetupOptions options)
    : ports_(ports), ini_(ini), restart_(restart), options_(options), oem_(ports.Registry), message_(MakeMessageForm()) {}

int PostSetupExitCode(const PostSetupOutcome& outcome) {
    if (!outcome.OemLoaded || !outcome.VendorStored) return kExitFailed;
    if (!outcome.RestartAsked) return kExitRestartNeeded;
    // A refused restart leaves the installation done and the restart to the administrator.
    return outcome.RestartStarted ? kExitRestartStarted : kExitRestartNeeded;
}

int PostSetup::Run() {
    const bool quiet = options_.Quiet;
    // Quiet runs come from a deployment tool, often as the system account: a box there is on no
    // one's screen and would never be answered.
    const auto tell = [&](const std::string& text, std::uint32_t style) {
        if (!quiet) ports_.Ui.ShowMessageBox(text, kInstallationTitle, style);
    };
    if (!quiet) {
        Hourglass hourglass(message_);
        hourglass.Busy();
        ShowProgress(message_, kInstallationTitle, "Setup is updating your system...");
        hourglass.Normal();
    }

    PostSetupOutcome outcome;
    outcome.RestartAsked = !options_.NoRestart;
    // Run without switches, the program has always ended with 0, whatever happened.
    const auto ending = [&] { return quiet || options_.NoRestart ? PostSetupExitCode(outcome) : kExitDone; };
    if (!oem_.LoadOemData()) {
        tell(kOemLoadFailureText, kBoxOk);
        message_.Unload();
        outcome.OemLoaded = false;
        return ending();
    }
    const std::string oemFile = oem_.InstallPath + "\\setup.oem";
    if (SetupFileExists(ports_.Files, oemFile)) {
        const std::string title = IniValue(ini_, oemFile, "SETUP", "TITLE");
        if (!title.empty()) {
            oem_.VenderName = title;
            if (!oem_.SaveVenderName()) {
                tell("Fail to Set Vender Name!", kBoxOk);
                outcome.VendorStored = false;
            }
        }
    }
    message_.Unload();
    // A quiet run that failed leaves the machine up: the tool reads the failure and may retry.
    if (quiet && !outcome.VendorStored) return ending();
    tell(kSetupFinishedText, kFinalBoxStyle);
    if (options_.NoRestart) return ending();
    outcome.RestartStarted =
        quiet ? StartRestart(restart_).empty() : RestartSystem(restart_, ports_.Ui, kInstallationTitle);
    return ending();
}

}  // namespace px
