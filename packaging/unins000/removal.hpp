// unins000: the removal program the setup package leaves in the installation folder.
// Everything here is portable; the Win32 side only implements MachinePort and DialogPort.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/setup_exit_codes.hpp"

namespace px::unins {

inline constexpr const char* kServiceName = "PXWNTCOM";
inline constexpr const char* kOemKey = "SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValue = "PXwNTcao";
inline constexpr const char* kUninstallEntryKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TouchScreen PX-K17-COM";
inline constexpr const char* kTitle = "TouchScreen Uninstall";
inline constexpr const char* kShortcutName = "TouchScreen.lnk";  // in the all-users Start menu

// Where the package put things; folders without a trailing "\".
struct ProductPlaces {
    std::string Folder;  // the installation folder, where unins000.exe itself lives
    std::string WindowsFolder;
    std::string SystemFolder;
    std::string StartMenuFolder;  // all users' Programs folder; "" when unknown
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

// The machine as the removal changes it: the service, files, registry values and keys.
class MachinePort {
public:
    virtual ~MachinePort() = default;
    virtual Outcome RemoveService(const std::string& name) = 0;  // stopped first
    virtual Outcome RemoveFile(const std::string& path) = 0;
    virtual bool DeleteAtRestart(const std::string& path) = 0;  // MOVEFILE_DELAY_UNTIL_REBOOT
    virtual Outcome DeleteValue(const std::string& key, const std::string& name) = 0;
    virtual Outcome DeleteKey(const std::string& key) = 0;
    virtual bool KeyIsEmpty(const std::string& key) = 0;  // false when it does not exist
};

// Runs every step, whatever failed before; returns what is left behind, one line each.
// restartNeeded (when given) learns whether anything was left to the next restart.
std::vector<std::string> RunRemoval(const std::vector<Step>& steps, MachinePort& port,
                                    bool* restartNeeded = nullptr);

// The product's programs that may be running when it is removed or installed again.
class ProgramsPort {
public:
    virtual ~ProgramsPort() = default;
    // The right-button program's window as registered with the driver (-1: none);
    // nullopt when the driver cannot be asked.
    virtual std::optional<std::int32_t> RegisteredRightButton() = 0;
    // Its own close message (WM_USER, 4110): it unregisters and ends.
    virtual void SendRightButtonClose(std::int32_t window) = 0;
    virtual std::vector<std::uint32_t> Running(const std::string& exeName) = 0;  // process ids
    // The close signal every running copy watches, in every session: set, or taken back.
    virtual void SignalClose(bool set) = 0;
    virtual void AskToClose(std::uint32_t processId) = 0;  // WM_CLOSE to its visible windows
    virtual bool WaitForEnd(std::uint32_t processId, unsigned milliseconds) = 0;
    virtual std::uint64_t NowMs() = 0;
};

struct ClosedPrograms {
    bool RightButtonRan = false;
    std::vector<std::string> StillRunning;  // exe names
};

// How long the running programs get, all together, to end once asked. Their own close takes well
// under a second (the signal is looked at five times a second, then a few driver requests); the
// rest is room for a finger resting on a calibration target, while which the run looks at no
// message, and twice the five seconds after which Windows itself calls a window hung.
inline constexpr unsigned kCloseWaitMs = 10000;

// Closes the right-button program through its close message, then asks every running copy of
// the control panel, the start-up program and the right-button program, in any session, to
// close, and waits for them. Nothing is ended by force: a control panel killed mid-calibration
// would leave the driver with edges nobody confirmed. What is still running is listed; its
// files are replaced at the next restart.
ClosedPrograms ClosePrograms(ProgramsPort& programs);

// The files (and the folder) an installation into places writes again.
std::vector<std::string> ReinstalledFiles(const ProductPlaces& places);
// Whether a pending restart operation (source, target as stored, "\??\C:\...") is a deletion
// of exactly one of those: anything else in the list was put there by someone else.
bool DeletionOfReinstalledFile(std::string_view source, std::string_view target, const ProductPlaces& places);

class DialogPort {
public:
    virtual ~DialogPort() = default;
    virtual bool AskYesNo(const std::string& text) = 0;
    virtual void Tell(const std::string& text, bool warning) = 0;
    virtual void Note(const std::string&) {}  // a line for the log, when there is one
};

bool IsSilent(std::string_view commandLine);  // a "/SILENT" argument, any case
std::string FolderOf(std::string_view filePath);

// The setup package runs a copy of us with /PREPARE "folder" before it writes anything: the
// programs closed, the restart's deletions of what it is about to write cancelled. Exit code:
// bit 0 the right-button program ran, bit 1 a program is still running. Once the files are in
// place, /RIGHTBUTTON "folder" starts the right-button program again for the signed-in user.
// The argument after the switch, without a trailing "\"; "" when absent.
std::string FolderAfter(std::string_view commandLine, std::string_view switchName);
int PrepareExitCode(const ClosedPrograms& closed);

// What an installation folder needs so that no ordinary user can replace the programs that run
// elevated or as the system account. Program Files gives it already; elsewhere the folder gets
// the same access (administrators and the system account write, users read and run), unless
// that would change the access of what others keep there: a root, the Windows folder, or a
// folder that already holds files but no copy of ours.
enum class FolderProtection { Inherited, Protect, Refuse };
struct FolderFacts {
    bool Exists = false;
    bool Empty = true;
    bool HoldsOurCopy = false;  // unins000.exe of an earlier installation
};
FolderProtection ProtectionFor(const std::string& folder, const std::vector<std::string>& programFolders,
                               const std::string& windowsFolder, const FolderFacts& facts);
bool IsInside(std::string_view path, std::string_view folder);  // or the folder itself, any case

// The whole program. "/SILENT" (from PXwNTcde, which has closed the right-button program and
// deals with its own copy): no question, no box. "/QUIET" (the Add/Remove entry's quiet
// removal): the running programs closed, everything removed, nothing shown. Without either:
// asked first, programs closed, told the outcome. Exit codes (setup_exit_codes.hpp): 0 removed,
// 3010 removed once a restart has finished it (quiet only), 1602 answered No, 1603 something
// was left behind.
int RunUninstall(std::string_view commandLine, const ProductPlaces& places, MachinePort& port,
                 DialogPort& dialog, ProgramsPort& programs);

}  // namespace px::unins
