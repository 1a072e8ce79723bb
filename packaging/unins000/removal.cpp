#include "removal.hpp"

#include <algorithm>
#include <cctype>

namespace px::unins {

namespace {
const char* const kPrograms[] = {"PXwNTccp.exe", "PXwNTcao.exe", "PXwNTcrb.exe", "PXwNTcdi.exe", "PXwNTcde.exe"};

std::string Upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::toupper(c); });
    return out;
}
}  // namespace

std::vector<Step> RemovalSteps(const ProductPlaces& places, bool silent) {
    const std::string& folder = places.Folder;
    std::vector<Step> steps;
    steps.push_back({StepKind::Service, kServiceName, {}});
    steps.push_back({StepKind::File, places.SystemFolder + "\\drivers\\PXWNTCOM.sys", {}});
    for (const char* program : kPrograms) steps.push_back({StepKind::File, folder + "\\" + program, {}});
    steps.push_back({StepKind::File, folder + "\\setup.oem", {}});
    steps.push_back({StepKind::RegistryValue, kRunKey, kRunValue});
    steps.push_back({StepKind::RegistryKey, kOemKey, {}});
    steps.push_back({StepKind::RegistryKeyIfEmpty, "SOFTWARE\\Veldrant\\TouchScreen", {}});
    steps.push_back({StepKind::RegistryKeyIfEmpty, "SOFTWARE\\Veldrant", {}});
    steps.push_back({StepKind::RegistryKey, kUninstallEntryKey, {}});
    if (!silent) steps.push_back({StepKind::File, places.WindowsFolder + "\\PXwNTcde.exe", {}});
    steps.push_back({StepKind::AtRestart, folder + "\\unins000.exe", {}});
    steps.push_back({StepKind::AtRestart, folder, {}});
    return steps;
}

std::vector<std::string> RunRemoval(const std::vector<Step>& steps, RemovalPort& port) {
    std::vector<std::string> left;
    for (const Step& step : steps) {
        switch (step.Kind) {
        case StepKind::Service:
            if (port.RemoveService(step.Target) == Outcome::Failed) left.push_back("service " + step.Target);
            break;
        case StepKind::File:
            // A running program or a loaded driver holds its file until the restart.
            if (port.RemoveFile(step.Target) == Outcome::Failed && !port.DeleteAtRestart(step.Target))
                left.push_back(step.Target);
            break;
        case StepKind::AtRestart:
            if (!port.DeleteAtRestart(step.Target)) left.push_back(step.Target);
            break;
        case StepKind::RegistryValue:
            if (port.DeleteValue(step.Target, step.Name) == Outcome::Failed)
                left.push_back("HKLM\\" + step.Target + " " + step.Name);
            break;
        case StepKind::RegistryKey:
            if (port.DeleteKey(step.Target) == Outcome::Failed) left.push_back("HKLM\\" + step.Target);
            break;
        case StepKind::RegistryKeyIfEmpty:
            if (port.KeyIsEmpty(step.Target) && port.DeleteKey(step.Target) == Outcome::Failed)
                left.push_back("HKLM\\" + step.Target);
            break;
        }
    }
    return left;
}

bool IsSilent(std::string_view commandLine) {
    const std::string upper = Upper(commandLine);
    std::size_t at = 0;
    while ((at = upper.find("/SILENT", at)) != std::string::npos) {
        const std::size_t end = at + 7;
        const bool startsWord = at == 0 || upper[at - 1] == ' ' || upper[at - 1] == '\t' || upper[at - 1] == '"';
        const bool endsWord = end == upper.size() || upper[end] == ' ' || upper[end] == '\t' || upper[end] == '"';
        if (startsWord && endsWord) return true;
        at = end;
    }
    return false;
}

std::string FolderOf(std::string_view filePath) {
    const std::size_t slash = filePath.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string() : std::string(filePath.substr(0, slash));
}

int RunUninstall(std::string_view commandLine, const ProductPlaces& places, RemovalPort& port,
                 DialogPort& dialog) {
    const bool silent = IsSilent(commandLine);
    if (!silent &&
        !dialog.AskYesNo("Are you sure you want to remove TouchScreen drivers and utilities from your computer?"))
        return 0;
    const std::vector<std::string> left = RunRemoval(RemovalSteps(places, silent), port);
    if (!silent) {
        if (left.empty()) {
            dialog.Tell("TouchScreen drivers and utilities were removed. The rest goes when Windows restarts.",
                        false);
        } else {
            std::string text = "These parts of TouchScreen could not be removed:";
            for (const std::string& item : left) text += "\r\n" + item;
            dialog.Tell(text, true);
        }
    }
    return left.empty() ? 0 : 1;
}

}  // namespace px::unins
