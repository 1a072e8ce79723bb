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

    // Run without switches, the program has always ended with 0, whatever happened.
    const auto ending = [&](int code) { return quiet || options_.NoRestart ? code : kPostSetupDone; };
    if (!oem_.LoadOemData()) {
        tell(kOemLoadFailureText, kBoxOk);
        message_.Unload();
        return ending(kPostSetupNoOemData);
    }
    int result = kPostSetupDone;
    const std::string oemFile = oem_.InstallPath + "\\setup.oem";
    if (SetupFileExists(ports_.Files, oemFile)) {
        const std::string title = IniValue(ini_, oemFile, "SETUP", "TITLE");
        if (!title.empty()) {
            oem_.VenderName = title;
            if (!oem_.SaveVenderName()) {
                tell("Fail to Set Vender Name!", kBoxOk);
                result = kPostSetupVendorNotStored;
            }
        }
    }
    message_.Unload();
    tell(kSetupFinishedText, kFinalBoxStyle);
    if (options_.NoRestart) return result == kPostSetupDone ? kPostSetupRestartNeeded : result;
    if (!quiet) return ending(RestartSystem(restart_, ports_.Ui, kInstallationTitle) ? result : kPostSetupRestartFailed);
    return StartRestart(restart_).empty() ? result : kPostSetupRestartFailed;
}

}  // namespace px
