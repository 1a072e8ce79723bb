// unins000: the removal program the setup package leaves in the installation folder.
// Everything here is portable; the Win32 side only implements RemovalPort and DialogPort.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace px::unins {

inline constexpr const char* kServiceName = "PXWNTCOM";
inline constexpr const char* kOemKey = "SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValue = "PXwNTcao";
inline constexpr const char* kUninstallEntryKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TouchScreen PX-K17-COM";
inline constexpr const char* kTitle = "TouchScreen Uninstall";

// Where the package put things; folders without a trailing "\".
struct ProductPlaces {
    std::string Folder;  // the installation folder, where unins000.exe itself lives
    std::string WindowsFolder;
    std::string SystemFolder;
};

enum class StepKind {
    Service,             // stop and delete the kernel service named Target
    File,                // delete now, or at the next restart when it is held
    AtRestart,           // file or (empty) folder that cannot go while we run
    RegistryValue,       // value Name of HKLM\Target
    RegistryKey,         // HKLM\Target
    RegistryKeyIfEmpty,  // HKLM\Target, only when nothing else lives in it
};

struct Step {
    StepKind Kind;
    std::string Target;
    std::string Name;
    bool operator==(const Step&) const = default;
};

// The package's pieces in removal order: the service before its file, files before the folder.
// The silent run comes from PXwNTcde, which deals with its own copy in the Windows folder; a
// user who runs us directly expects that copy to go too.
std::vector<Step> RemovalSteps(const ProductPlaces& places, bool silent);

enum class Outcome { Removed, Absent, Failed };

class RemovalPort {
public:
    virtual ~RemovalPort() = default;
    virtual Outcome RemoveService(const std::string& name) = 0;  // stopped first
    virtual Outcome RemoveFile(const std::string& path) = 0;
    virtual bool DeleteAtRestart(const std::string& path) = 0;  // MOVEFILE_DELAY_UNTIL_REBOOT
    virtual Outcome DeleteValue(const std::string& key, const std::string& name) = 0;
    virtual Outcome DeleteKey(const std::string& key) = 0;
    virtual bool KeyIsEmpty(const std::string& key) = 0;  // false when it does not exist
};

// Runs every step, whatever failed before; returns what is left behind, one line each.
std::vector<std::string> RunRemoval(const std::vector<Step>& steps, RemovalPort& port);

class DialogPort {
public:
    virtual ~DialogPort() = default;
    virtual bool AskYesNo(const std::string& text) = 0;
    virtual void Tell(const std::string& text, bool warning) = 0;
};

bool IsSilent(std::string_view commandLine);  // a "/SILENT" argument, any case
std::string FolderOf(std::string_view filePath);

// The whole program: 0 removed (or nothing asked for), 1 something was left behind.
int RunUninstall(std::string_view commandLine, const ProductPlaces& places, RemovalPort& port,
                 DialogPort& dialog);

}  // namespace px::unins
