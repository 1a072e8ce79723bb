#include "post_setup.hpp"

#include <vector>

#include "window_utils.hpp"

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

PostSetup::PostSetup(SuitePorts ports, IniPort& ini, RestartPort& restart)
    : ports_(ports), ini_(ini), restart_(restart), oem_(ports.Registry), message_(MakeMessageForm()) {}

void PostSetup::Run() {
    Hourglass hourglass(message_);
    hourglass.Busy();
    ShowProgress(message_, kInstallationTitle, "Setup is updating your system...");
    hourglass.Normal();

    if (!oem_.LoadOemData()) {
        ports_.Ui.ShowMessageBox(kOemLoadFailureText, kInstallationTitle, kBoxOk);
        message_.Unload();
        return;
    }
    const std::string oemFile = oem_.InstallPath + "\\setup.oem";
    if (SetupFileExists(ports_.Files, oemFile)) {
        const std::string title = IniValue(ini_, oemFile, "SETUP", "TITLE");
        if (!title.empty()) {
            oem_.VenderName = title;
            if (!oem_.SaveVenderName())
                ports_.Ui.ShowMessageBox("Fail to Set Vender Name!", kInstallationTitle, kBoxOk);
        }
    }
    message_.Unload();
    ports_.Ui.ShowMessageBox(kSetupFinishedText, kInstallationTitle, kFinalBoxStyle);
    RestartSystem(restart_, ports_.Ui, kInstallationTitle);
}

}  // namespace px
