#include "removal.hpp"

#include <algorithm>
#include <cctype>
#include <utility>

#include "shared/command_switch.hpp"
#include "shared/setup_exit_codes.hpp"

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
    // The vendor's files, installed when they came beside the package.
    for (const char* file : {"setup.oem", "PXVender.Bmp", "PXVender.Cut"})
        steps.push_back({StepKind::File, folder + "\\" + file, {}});
    if (!places.StartMenuFolder.empty())
        steps.push_back({StepKind::File, places.StartMenuFolder + "\\" + kShortcutName, {}});
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

std::vector<std::string> RunRemoval(const std::vector<Step>& steps, MachinePort& port, bool* restartNeeded) {
    std::vector<std::string> left;
    bool scheduled = false;
    const auto atRestart = [&](const std::string& target) {
        if (port.DeleteAtRestart(target))
            scheduled = true;
        else
            left.push_back(target);
    };
    for (const Step& step : steps) {
        switch (step.Kind) {
        case StepKind::Service:
            if (port.RemoveService(step.Target) == Outcome::Failed) left.push_back("service " + step.Target);
            break;
        case StepKind::File:
            // A running program or a loaded driver holds its file until the restart.
            if (port.RemoveFile(step.Target) == Outcome::Failed) atRestart(step.Target);
            break;
        case StepKind::AtRestart:
            atRestart(step.Target);
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
    if (restartNeeded) *restartNeeded = scheduled;
    return left;
}

ClosedPrograms ClosePrograms(ProgramsPort& programs) {
    ClosedPrograms closed;
    if (const auto window = programs.RegisteredRightButton(); window && *window != -1) {
        closed.RightButtonRan = true;
        programs.SendRightButtonClose(*window);
    }
    // The signal reaches every session; the window messages reach this one's copies of versions
    // that do not watch it.
    programs.SignalClose(true);
    std::vector<std::pair<const char*, std::uint32_t>> asked;
    for (const char* program : {"PXwNTcrb.exe", "PXwNTccp.exe", "PXwNTcao.exe"}) {
        for (const std::uint32_t id : programs.Running(program)) {
            if (std::string_view(program) == "PXwNTcrb.exe") closed.RightButtonRan = true;
            // The right-button program ends by itself once it has had its close message.
            if (programs.WaitForEnd(id, 0)) continue;
            programs.AskToClose(id);
            asked.emplace_back(program, id);
        }
    }
    const std::uint64_t deadline = programs.NowMs() + kCloseWaitMs;
    for (const auto& [program, id] : asked) {
        const std::uint64_t now = programs.NowMs();
        if (!programs.WaitForEnd(id, now < deadline ? static_cast<unsigned>(deadline - now) : 0))
            closed.StillRunning.push_back(program);
    }
    // Taken back, or every copy started from now on (the package starts the right-button
    // program again) would close at once.
    programs.SignalClose(false);
    return closed;
}

std::vector<std::string> ReinstalledFiles(const ProductPlaces& places) {
    std::vector<std::string> files;
    for (const char* program : kPrograms) files.push_back(places.Folder + "\\" + program);
    for (const char* file : {"unins000.exe", "setup.oem", "PXVender.Bmp", "PXVender.Cut"})
        files.push_back(places.Folder + "\\" + file);
    files.push_back(places.Folder);
    files.push_back(places.WindowsFolder + "\\PXwNTcde.exe");
    files.push_back(places.SystemFolder + "\\drivers\\PXWNTCOM.sys");
    return files;
}

bool DeletionOfReinstalledFile(std::string_view source, std::string_view target, const ProductPlaces& places) {
    if (!target.empty()) return false;  // a rename: not ours to undo
    std::string path = Upper(source);
    for (const char* prefix : {"\\??\\", "\\\\?\\"})
        if (path.rfind(prefix, 0) == 0) path.erase(0, 4);
    while (!path.empty() && path.back() == '\\') path.pop_back();
    for (const std::string& file : ReinstalledFiles(places))
        if (path == Upper(file)) return true;
    return false;
}

std::string FolderAfter(std::string_view commandLine, std::string_view switchName) {
    const std::string upper = Upper(commandLine);
    std::size_t at = upper.find(Upper(switchName));
    if (at == std::string::npos) return "";
    at = commandLine.find_first_not_of(" \t", at + switchName.size());
    if (at == std::string::npos) return "";
    std::size_t end;
    if (commandLine[at] == '"') {
        end = commandLine.find('"', ++at);
    } else {
        end = commandLine.find_first_of(" \t", at);
    }
    std::string folder(commandLine.substr(at, end == std::string::npos ? std::string::npos : end - at));
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

int PrepareExitCode(const ClosedPrograms& closed) {
    return (closed.RightButtonRan ? 1 : 0) | (closed.StillRunning.empty() ? 0 : 2);
}

bool IsInside(std::string_view path, std::string_view folder) {
    std::string p = Upper(path), f = Upper(folder);
    while (!p.empty() && p.back() == '\\') p.pop_back();
    while (!f.empty() && f.back() == '\\') f.pop_back();
    return !f.empty() && (p == f || p.rfind(f + "\\", 0) == 0);
}

FolderProtection ProtectionFor(const std::string& folder, const std::vector<std::string>& programFolders,
                               const std::string& windowsFolder, const FolderFacts& facts) {
    std::string bare = folder;
    while (!bare.empty() && bare.back() == '\\') bare.pop_back();
    // "C:" or "\\server\share" and no further: a whole drive.
    std::string_view rest = bare;
    if (rest.rfind("\\\\", 0) == 0) {
        rest.remove_prefix(2);
        const std::size_t server = rest.find('\\');
        rest = server == std::string_view::npos ? std::string_view() : rest.substr(server + 1);
    }
    const bool root = rest.find('\\') == std::string_view::npos;
    if (root || IsInside(bare, windowsFolder)) return FolderProtection::Refuse;
    for (const std::string& programs : programFolders)
        if (IsInside(bare, programs) && Upper(bare) != Upper(programs)) return FolderProtection::Inherited;
    if (facts.Exists && !facts.Empty && !facts.HoldsOurCopy) return FolderProtection::Refuse;
    return FolderProtection::Protect;
}

bool IsSilent(std::string_view commandLine) { return HasSwitch(commandLine, "/SILENT"); }

std::string FolderOf(std::string_view filePath) {
    const std::size_t slash = filePath.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string() : std::string(filePath.substr(0, slash));
}

int RunUninstall(std::string_view commandLine, const ProductPlaces& places, MachinePort& port,
                 DialogPort& dialog, ProgramsPort& programs) {
    const bool silent = IsSilent(commandLine);
    const bool quiet = !silent && HasSwitch(commandLine, "/QUIET");
    if (!silent && !quiet &&
        !dialog.AskYesNo("Are you sure you want to remove TouchScreen drivers and utilities from your computer?"))
        return kExitCancelled;
    if (!silent) ClosePrograms(programs);
    bool restartNeeded = false;
    const std::vector<std::string> left = RunRemoval(RemovalSteps(places, silent), port, &restartNeeded);
    for (const std::string& item : left) dialog.Note("not removed: " + item);
    if (restartNeeded) dialog.Note("some files and the folder go at the next restart");
    if (quiet) return !left.empty() ? kExitFailed : restartNeeded ? kExitRestartNeeded : kExitDone;
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
    return left.empty() ? kExitDone : kExitFailed;
}

}  // namespace px::unins
