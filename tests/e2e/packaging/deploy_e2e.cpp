// The setup package run the way an administrator deploys it, in a prefix of its own: silent
// install with a vendor's files beside the package, a silent upgrade over the running programs,
// the quiet removal from the Add/Remove entry, a reinstall before the restart, and a last quiet
// removal followed by a restart. The tests run in this order and each builds on the last.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <aclapi.h>
#include <sddl.h>

#include "e2e/e2e.hpp"
#include "package_state.hpp"

namespace {

using namespace std::chrono_literals;
using namespace package;

constexpr char kVendor[] = "Acme Kiosk Displays";
constexpr char kPanelTitle[] = " TouchScreen Control Panel #PX-K17-COM";
constexpr char kArpKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TouchScreen PX-K17-COM";
constexpr DWORD kRestartNeeded = 3010, kRestartStarted = 1641, kCancelled = 1602, kFailed = 1603, kBusy = 1618,
                kNewerInstalled = 1638;
constexpr int kBitmapWidth = 48, kBitmapHeight = 24;

std::string SetupExe() { return e2e::ToWindowsPath(Env("PX_SETUP_EXE")); }
std::string Installed(const std::string& file) { return std::string(kFolder) + "\\" + file; }

std::string CommonPrograms() {
    char buffer[MAX_PATH] = {};
    GetEnvironmentVariableA("ProgramData", buffer, MAX_PATH);
    return std::string(buffer) + "\\Microsoft\\Windows\\Start Menu\\Programs";
}
std::string Shortcut() { return CommonPrograms() + "\\TouchScreen.lnk"; }

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
bool WriteBytes(const std::string& path, const std::string& bytes, bool append = false) {
    std::ofstream out(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    out << bytes;
    return out.good();
}

// A 24-bit bitmap of one colour.
std::string Bitmap(int width, int height) {
    const int row = (width * 3 + 3) / 4 * 4;
    const std::uint32_t pixels = static_cast<std::uint32_t>(row * height);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixels;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (std::uint32_t i = 0; i < pixels; ++i) bytes += static_cast<char>(i % 3 == 1 ? 0xA0 : 0x20);
    return bytes;
}

// A copy of the package in a folder of its own, with the given vendor files beside it (a
// name ending in "\\" is made a folder).
std::string PackageWith(const char* folderName, const std::vector<std::pair<std::string, std::string>>& files) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + folderName;
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string copy = folder + "\\TouchScreenSetup.exe";
    EXPECT_TRUE(CopyFileA(SetupExe().c_str(), copy.c_str(), FALSE)) << copy;
    for (const auto& [name, bytes] : files) {
        if (name.back() == '\\')
            EXPECT_TRUE(CreateDirectoryA((folder + "\\" + name).c_str(), nullptr)) << name;
        else
            EXPECT_TRUE(WriteBytes(folder + "\\" + name, bytes)) << name;
    }
    return copy;
}

std::string LogFolder() {
    char buffer[MAX_PATH] = {};
    GetEnvironmentVariableA("ProgramData", buffer, MAX_PATH);
    return std::string(buffer) + "\\TouchScreen\\Logs";
}

// The logs of the runs so far, oldest first (their names begin with their time).
std::vector<std::string> Logs(const char* kind) {
    std::vector<std::string> logs;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((LogFolder() + "\\*-" + kind + "-*.log").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return logs;
    do logs.push_back(ReadBytes(LogFolder() + "\\" + found.cFileName));
    while (FindNextFileA(search, &found));
    FindClose(search);
    return logs;
}

void SetProductVersion(const char* version) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kOemKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key), ERROR_SUCCESS);
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), std::strlen(version) + 1);
    RegCloseKey(key);
}

// The exit code of a command line run as written (nullopt: still running at the timeout).
std::optional<DWORD> RunCommandLine(const std::string& commandLine, e2e::Milliseconds timeout) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "cannot start " << commandLine << " (" << GetLastError() << ")";
        return std::nullopt;
    }
    CloseHandle(info.hThread);
    std::optional<DWORD> code;
    if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0) {
        DWORD exit = 0;
        GetExitCodeProcess(info.hProcess, &exit);
        code = exit;
    }
    CloseHandle(info.hProcess);
    return code;
}

// Visible top-level windows of the named programs, and message boxes of any program, that
// appear while it watches.
class WindowWatch {
public:
    explicit WindowWatch(std::set<std::string> programs) : programs_(std::move(programs)) {
        thread_ = std::thread([this] {
            while (!stop_) {
                Look();
                Sleep(20);
            }
        });
    }
    ~WindowWatch() { Stop(); }
    std::set<std::string> Stop() {
        if (thread_.joinable()) {
            stop_ = true;
            thread_.join();
        }
        std::lock_guard lock(mutex_);
        return seen_;
    }

private:
    void Look() {
        std::map<DWORD, std::string> names;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
            names[entry.th32ProcessID] = Lower(entry.szExeFile);
        CloseHandle(snapshot);
        std::vector<HWND> windows;
        EnumWindows(
            [](HWND window, LPARAM list) {
                if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&windows));
        for (const HWND window : windows) {
            const DWORD id = e2e::WindowProcessId(window);
            const std::string name = names.count(id) ? names[id] : "?";
            const bool box = e2e::ClassName(window) == "#32770";
            if (id == GetCurrentProcessId() || (!box && !programs_.count(name))) continue;
            std::lock_guard lock(mutex_);
            seen_.insert(name + ": \"" + e2e::WindowText(window) + "\" (" + e2e::ClassName(window) + ")");
        }
    }

    std::set<std::string> programs_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::set<std::string> seen_;
    std::thread thread_;
};

// The calibration codes in the stand-in's journal; none while the driver is stopped.
std::vector<std::int32_t> CalibrationCodes() {
    std::vector<std::int32_t> codes;
    try {
        px::standin::StandinClient standin;
        for (const auto& entry : standin.Journal()) {
            if (entry.Code != IOCTL_TOUCH_CALIBRATION_CODE) continue;
            std::int32_t code = 0;
            std::memcpy(&code, entry.Input, sizeof code);
            codes.push_back(code);
        }
    } catch (const px::standin::StandinError&) {
    }
    return codes;
}

const std::set<std::string> kPackagePrograms = {"touchscreensetup.exe", "unins000.exe", "pxwntcdi.exe",
                                                "pxwntcde.exe", "sc.exe"};

void ExpectInstalled(const char* vendor) {
    for (const char* file : kFolderFiles) EXPECT_TRUE(FileExists(Installed(file))) << file;
    EXPECT_TRUE(FileExists(WindowsFolder() + "\\PXwNTcde.exe"));
    EXPECT_TRUE(FileExists(DriverFile()));
    EXPECT_EQ(ServiceState("PXWNTCOM"), std::optional<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(ServiceStartType("PXWNTCOM"), static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(RegistryString(kOemKey, "VenderName"), std::string(vendor));
    EXPECT_EQ(RegistryString(kOemKey, "InstallPath"), std::string(kFolder));
    EXPECT_EQ(RegistryString(kRunKey, "PXwNTcao"), "\"" + Installed("PXwNTcao.exe") + "\"");
    EXPECT_EQ(RegistryString(kArpKey, "UninstallString"), "\"" + WindowsFolder() + "\\PXwNTcde.exe\"");
    EXPECT_EQ(RegistryString(kArpKey, "QuietUninstallString"), "\"" + Installed("unins000.exe") + "\" /QUIET");
    EXPECT_TRUE(FileExists(Shortcut())) << Shortcut();
    EXPECT_TRUE(StandinRbfWindow().has_value()) << "the installed driver does not answer";
}

// Everything the product put in place is gone (the folder itself only after the restart).
void ExpectRemoved(bool restarted) {
    for (const char* file : kFolderFiles) {
        const bool held = std::string(file) == "unins000.exe" && !restarted;  // it ran the removal
        EXPECT_EQ(FileExists(Installed(file)), held) << file;
    }
    for (const char* file : {"PXVender.Bmp", "PXVender.Cut"}) EXPECT_FALSE(FileExists(Installed(file))) << file;
    EXPECT_EQ(FileExists(kFolder), !restarted) << kFolder;
    EXPECT_FALSE(FileExists(WindowsFolder() + "\\PXwNTcde.exe"));
    EXPECT_FALSE(FileExists(DriverFile()));
    EXPECT_FALSE(ServiceState("PXWNTCOM").has_value()) << "service PXWNTCOM still exists";
    EXPECT_FALSE(KeyExists("SOFTWARE\\Veldrant"));
    EXPECT_FALSE(RegistryString(kRunKey, "PXwNTcao").has_value());
    EXPECT_FALSE(KeyExists(kArpKey));
    EXPECT_FALSE(FileExists(Shortcut()));
    EXPECT_EQ(RunningProcess("PXwNTcrb.exe"), 0u);
}

std::string QuietUninstallString() {
    const auto command = RegistryString(kArpKey, "QuietUninstallString");
    return command ? *command : "";
}

// What Windows does at a restart, as the prefix does it: windowed programs end, the pending
// deletions are carried out, the logon entries run. This console program survives it.
bool RestartPrefix() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
    return ExitWindowsEx(EWX_REBOOT, 0) != FALSE;
}

// The package run with /S /NORESTART: it must finish, succeed and show no window or box of the
// package or of the programs watched.
void InstallSilently(const std::string& setup, const std::set<std::string>& watched, const char* more = "") {
    WindowWatch watch(watched);
    const auto exit = RunCommandLine("\"" + setup + "\" /S /NORESTART" + more, 120s);
    const auto windows = watch.Stop();
    ASSERT_TRUE(exit.has_value()) << "the installer did not finish";
    EXPECT_EQ(*exit, kRestartNeeded);
    EXPECT_TRUE(windows.empty()) << "windows or boxes: " << ::testing::PrintToString(windows);
}

TEST(Deploy, SilentInstallWithVendorFilesShowsNothing) {
    ASSERT_FALSE(Env("PX_SETUP_EXE").empty()) << "PX_SETUP_EXE not set";
    // A folder under a vendor file's name is no vendor file.
    const std::string setup = PackageWith(
        "px-vendor-brand", {{"setup.oem", std::string("[SETUP]\r\nTITLE=") + kVendor + "\r\n"},
                            {"PXVender.Bmp", Bitmap(kBitmapWidth, kBitmapHeight)},
                            {"PXVender.Cut\\", ""}});
    std::set<std::string> watched = kPackagePrograms;
    watched.insert({"pxwntccp.exe", "pxwntcao.exe", "pxwntcrb.exe"});
    ASSERT_NO_FATAL_FAILURE(InstallSilently(setup, watched));

    ExpectInstalled(kVendor);
    EXPECT_EQ(ReadBytes(Installed("PXVender.Bmp")), Bitmap(kBitmapWidth, kBitmapHeight));
    EXPECT_FALSE(FileExists(Installed("PXVender.Cut")));
    // What detection rules and Add/Remove Programs read.
    const auto version = RegistryString(kOemKey, "Version");
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(RegistryString(kArpKey, "DisplayVersion"), version);
    EXPECT_EQ(RegistryString(kArpKey, "DisplayIcon"), Installed("PXwNTccp.exe") + ",0");
    EXPECT_EQ(RegistryString(kArpKey, "InstallLocation"), std::string(kFolder));
    EXPECT_TRUE(RegistryString(kArpKey, "Publisher").has_value());
    DWORD size = 0, bytes = sizeof size;
    EXPECT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, kArpKey, "EstimatedSize", RRF_RT_REG_DWORD | RRF_SUBKEY_WOW6464KEY,
                           nullptr, &size, &bytes),
              ERROR_SUCCESS);
    EXPECT_GT(size, 100u) << "KB";
    const auto logs = Logs("Setup");
    ASSERT_EQ(logs.size(), 1u) << LogFolder();
    EXPECT_NE(logs[0].find("/S /NORESTART"), std::string::npos) << logs[0];
    EXPECT_NE(logs[0].find("result: 3010"), std::string::npos) << logs[0];
}

// A second package while one runs (here the first waits on its folder page) ends at once and
// touches nothing; the first, cancelled, says so.
TEST(Deploy, OneInstallationAtATime) {
    const ProductState before = ReadProductState();
    ASSERT_TRUE(before.service.has_value()) << "the package is not installed";
    auto first = e2e::Process::Start(SetupExe());
    const HWND page = WaitForInstallerWindow(first);
    ASSERT_NE(page, nullptr) << "no installer window";
    const auto start = std::chrono::steady_clock::now();
    const auto second = RunCommandLine("\"" + SetupExe() + "\" /S /NORESTART", 60s);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(*second, kBusy);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 15s) << "it waited for the first";
    EXPECT_TRUE(ReadProductState() == before);
    // The quiet removal waits its turn too.
    EXPECT_EQ(RunCommandLine(QuietUninstallString(), 60s), std::optional<DWORD>(kBusy));
    EXPECT_TRUE(ReadProductState() == before);

    const auto cancel = e2e::FindControlById(page, IDCANCEL);
    ASSERT_TRUE(cancel.has_value());
    e2e::PostButtonClick(cancel->window);
    EXPECT_EQ(first.WaitForExit(20s), std::optional<DWORD>(kCancelled));
    EXPECT_TRUE(ReadProductState() == before);
}

TEST(Deploy, UpgradeOverRunningProgramsKeepsSettingsVendorAndRightButton) {
    ASSERT_TRUE(ServiceState("PXWNTCOM").has_value()) << "the package is not installed";
    // An older copy: every program file differs from the package's.
    const std::vector<std::string> programs = {"PXwNTccp.exe", "PXwNTcao.exe", "PXwNTcrb.exe",
                                               "PXwNTcdi.exe", "PXwNTcde.exe", "unins000.exe"};
    for (const auto& program : programs) ASSERT_TRUE(WriteBytes(Installed(program), "older", true)) << program;

    // Settings of this machine that must survive: touch mode and calibration.
    px::standin::StandinClient standin;
    auto block = standin.State().Block;
    block.TouchMode = block.TouchMode == 2 ? 3 : 2;
    block.CalXMin = 111;
    block.CalXMax = 901;
    block.CalYMin = 97;
    block.CalYMax = 877;
    standin.WriteBlock(block);
    const auto before = standin.State().Block;

    // The control panel runs and shows the vendor's bitmap under Support.
    auto panel = e2e::Process::Start(Installed("PXwNTccp.exe"));
    const HWND main = e2e::WaitForTopLevelWindow(kPanelTitle, 15s, {.processId = panel.Id()});
    ASSERT_NE(main, nullptr);
    const auto support = e2e::FindControlByText(main, "S&upport");
    ASSERT_TRUE(support.has_value()) << "no Support button";
    e2e::PostButtonClick(support->window);
    const HWND shown = e2e::WaitFor(
        [&]() -> HWND {
            for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
                if (w != main && IsWindowVisible(w) && e2e::WindowProcessId(w) == panel.Id()) return w;
            return nullptr;
        },
        10s);
    ASSERT_NE(shown, nullptr) << "Support opened nothing";
    EXPECT_EQ(e2e::WindowText(shown), kPanelTitle) << "the About window came instead of Support";
    bool bitmapShown = false;
    for (const auto& control : e2e::ListControls(shown))
        bitmapShown |= control.screenRect.right - control.screenRect.left == kBitmapWidth &&
                       control.screenRect.bottom - control.screenRect.top == kBitmapHeight;
    EXPECT_TRUE(bitmapShown) << "no control of the vendor bitmap's size";
    if (const auto ok = e2e::FindControlByText(shown, "&OK")) e2e::PostButtonClick(ok->window);
    ASSERT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 10s)) << "main window not back";

    auto rightButton = e2e::Process::Start(Installed("PXwNTcrb.exe"));
    const auto registered = e2e::WaitFor(
        [] {
            const auto window = StandinRbfWindow();
            return window && *window != -1 ? window : std::nullopt;
        },
        15s);
    ASSERT_TRUE(registered) << "PXwNTcrb did not register";

    // The upgrade: a package with the vendor's Cut file beside it, no setup.oem this time. The
    // installed copy claims to be newer: without /FORCE nothing happens.
    const std::string setup = PackageWith("px-vendor-cut", {{"PXVender.Cut", ""}});
    const auto version = RegistryString(kOemKey, "Version");
    ASSERT_NO_FATAL_FAILURE(SetProductVersion("99.0.0.0"));
    const ProductState installed = ReadProductState();
    EXPECT_EQ(RunCommandLine("\"" + setup + "\" /S /NORESTART", 60s), std::optional<DWORD>(kNewerInstalled));
    EXPECT_TRUE(ReadProductState() == installed);
    EXPECT_FALSE(panel.WaitForExit(0s).has_value()) << "the control panel was closed";

    // Restart operations made by others, in our folder and elsewhere, stay; ours go.
    const std::string theirs = Installed("quarantined.dll"), elsewhere = WindowsFolder() + "\\Temp\\other.tmp";
    for (const auto& file : {theirs, elsewhere}) {
        ASSERT_TRUE(WriteBytes(file, "x"));
        ASSERT_TRUE(MoveFileExA(file.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    }
    ASSERT_TRUE(MoveFileExA(Installed("PXwNTcao.exe").c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    // The panel waits at calibration's first target (its main window hidden): the upgrade must
    // end the run with its break code before any file is replaced, and kill nothing.
    const auto calibration = e2e::FindControlByText(main, "&Calibration");
    ASSERT_TRUE(calibration.has_value());
    e2e::PostButtonClick(calibration->window);
    ASSERT_NE(e2e::WaitForTopLevelWindow("Calibration", 10s, {.processId = panel.Id()}), nullptr);
    ASSERT_TRUE(CalibrationCodes().empty());
    std::atomic<bool> watching{true};
    std::optional<bool> oldFileAtBreak;  // whether the control panel's file was still the old one
    std::thread journal([&] {
        while (watching && !oldFileAtBreak) {
            const auto codes = CalibrationCodes();
            if (std::find(codes.begin(), codes.end(), 4) != codes.end())
                oldFileAtBreak = ReadBytes(Installed("PXwNTccp.exe")).ends_with("older");
            Sleep(10);
        }
    });

    ASSERT_NO_FATAL_FAILURE(InstallSilently(setup, kPackagePrograms, " /FORCE"));
    watching = false;
    journal.join();
    EXPECT_TRUE(PendingDeletion(theirs)) << "pending:" << PendingList();
    EXPECT_TRUE(PendingDeletion(elsewhere)) << "pending:" << PendingList();
    EXPECT_FALSE(PendingDeletion(Installed("PXwNTcao.exe"))) << "pending:" << PendingList();
    EXPECT_EQ(RegistryString(kOemKey, "Version"), version);

    EXPECT_EQ(panel.WaitForExit(1s), std::optional<DWORD>(0)) << "the control panel still runs or was killed";
    EXPECT_EQ(rightButton.WaitForExit(1s), std::optional<DWORD>(0)) << "the old right-button program was not closed";
    EXPECT_EQ(oldFileAtBreak, std::optional<bool>(true)) << "no break code before the files were replaced";
    const std::string bin = e2e::ToWindowsPath(Env("PX_SETUP_EXE"));
    const std::string packaging = bin.substr(0, bin.find_last_of('\\'));
    for (const auto& program : programs) {
        const std::string built =
            program == "unins000.exe" ? packaging + "\\unins000.exe" : packaging + "\\..\\bin\\" + program;
        EXPECT_EQ(ReadBytes(Installed(program)), ReadBytes(built)) << program << " was not replaced";
    }
    // The driver was stopped and started again: the old handle is dead.
    const auto after = px::standin::StandinClient().State();
    EXPECT_EQ(std::memcmp(&after.Block, &before, sizeof before), 0) << "the driver's settings changed";
    ExpectInstalled(kVendor);
    EXPECT_TRUE(FileExists(Installed("PXVender.Cut")));
    EXPECT_TRUE(FileExists(Installed("PXVender.Bmp")));
    const auto again = e2e::WaitFor(
        [] {
            const auto window = StandinRbfWindow();
            return window && *window != -1 ? window : std::nullopt;
        },
        15s);
    ASSERT_TRUE(again) << "the right-button program is not registered again";
    EXPECT_NE(*again, *registered);
    const HWND button = reinterpret_cast<HWND>(static_cast<std::intptr_t>(*again));
    EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(button) != FALSE; }, 5s)) << "the button is not shown";
    EXPECT_NE(RunningProcess("PXwNTcrb.exe"), 0u);
}

TEST(Deploy, QuietRemovalThenReinstallBeforeTheRestart) {
    const std::string quiet = QuietUninstallString();
    ASSERT_FALSE(quiet.empty()) << "no QuietUninstallString";
    // Someone holds the service open: the removal can only mark it for deletion at the restart.
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE held = OpenServiceA(manager, "PXWNTCOM", SERVICE_QUERY_STATUS);
    ASSERT_NE(held, nullptr);
    WindowWatch watch(kPackagePrograms);
    const auto removed = RunCommandLine(quiet, 60s);
    EXPECT_TRUE(watch.Stop().empty());
    ASSERT_TRUE(removed.has_value()) << "the quiet removal did not finish";
    EXPECT_EQ(*removed, kRestartNeeded) << "unins000.exe and the folder go at the restart";
    // A reinstall now would keep a service that the restart deletes: refused, nothing written.
    const ProductState marked = ReadProductState();
    EXPECT_EQ(RunCommandLine("\"" + SetupExe() + "\" /S /NORESTART", 60s), std::optional<DWORD>(kFailed));
    EXPECT_TRUE(ReadProductState() == marked);
    const auto logs = Logs("Setup");
    EXPECT_TRUE(std::any_of(logs.begin(), logs.end(), [](const std::string& log) {
        return log.find("restart, then run the package again") != std::string::npos;
    })) << "no log says what to do";
    CloseServiceHandle(held);
    CloseServiceHandle(manager);
    ExpectRemoved(false);
    EXPECT_TRUE(PendingDeletion(Installed("unins000.exe"))) << "pending:" << PendingList();

    // Reinstalled with a restart: PXwNTcdi stores the vendor name and restarts.
    const auto installed = RunCommandLine("\"" + SetupExe() + "\" /S", 120s);
    ASSERT_TRUE(installed.has_value()) << "the installer did not finish";
    EXPECT_EQ(*installed, kRestartStarted);
    EXPECT_EQ(RegistryString(kOemKey, "VenderName"), Env("PX_VENDOR_NAME"));
    EXPECT_FALSE(PendingDeletion(Installed("unins000.exe"))) << "pending:" << PendingList();
    // The restart runs the logon entry.
    EXPECT_NE(e2e::WaitFor([] { return RunningProcess("PXwNTcao.exe"); }, 20s), 0u) << "no restart seen";
    EXPECT_TRUE(e2e::WaitFor([] { return RunningProcess("PXwNTcao.exe") == 0; }, 15s)) << "PXwNTcao did not end";
    ExpectInstalled(Env("PX_VENDOR_NAME").c_str());
    EXPECT_FALSE(FileExists(Installed("PXVender.Bmp"))) << "the removal took the vendor's files";
}

TEST(Deploy, QuietRemovalLeavesNothingAfterTheRestart) {
    const std::string quiet = QuietUninstallString();
    ASSERT_FALSE(quiet.empty()) << "no QuietUninstallString";
    const auto removed = RunCommandLine(quiet, 60s);
    ASSERT_TRUE(removed.has_value());
    EXPECT_EQ(*removed, kRestartNeeded);
    ASSERT_TRUE(RestartPrefix());
    EXPECT_TRUE(e2e::WaitFor([] { return !PendingDeletion(kFolder); }, 30s)) << "pending:" << PendingList();
    ExpectRemoved(true);
    EXPECT_EQ(PendingList(), " none");
    // Every run left its log, with its result; the quiet removals too.
    const auto setups = Logs("Setup"), removals = Logs("Removal");
    EXPECT_GE(setups.size(), 6u);
    EXPECT_GE(removals.size(), 3u);
    for (const auto& logs : {setups, removals})
        for (const auto& log : logs) EXPECT_NE(log.find("\r\nresult: "), std::string::npos) << log;
}

// Whether a protected access list set on a new folder reads back as set (Wine 8 makes one up
// from the Unix file mode instead).
bool KeepsFolderAccess(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    PSECURITY_DESCRIPTOR wanted = nullptr, read = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;FA;;;SY)", SDDL_REVISION_1, &wanted, nullptr);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(wanted, &present, &dacl, &defaulted);
    SetNamedSecurityInfoA(const_cast<char*>(folder.c_str()), SE_FILE_OBJECT,
                          DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl,
                          nullptr);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    const bool kept = GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                            nullptr, nullptr, nullptr, &read) == ERROR_SUCCESS &&
                      GetSecurityDescriptorControl(read, &control, &revision) && (control & SE_DACL_PROTECTED);
    LocalFree(wanted);
    LocalFree(read);
    RemoveDirectoryA(folder.c_str());
    return kept;
}

// A folder of its own outside Program Files gets Program Files' access; someone else's folder
// is refused before anything is written.
TEST(Deploy, FolderOutsideProgramFilesIsProtectedOrRefused) {
    const std::string kiosk = "C:\\Kiosk", folder = kiosk + "\\TouchScreen";
    ASSERT_TRUE(CreateDirectoryA(kiosk.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(WriteBytes(kiosk + "\\notes.txt", "someone else's"));
    EXPECT_EQ(RunCommandLine("\"" + SetupExe() + "\" /S /NORESTART /D=" + kiosk, 60s), std::optional<DWORD>(kFailed));
    EXPECT_FALSE(RegistryString(kOemKey, "InstallPath").has_value()) << "something was installed";
    EXPECT_FALSE(FileExists(kiosk + "\\PXwNTccp.exe"));

    EXPECT_EQ(RunCommandLine("\"" + SetupExe() + "\" /S /NORESTART /D=" + folder, 120s),
              std::optional<DWORD>(kRestartNeeded));
    EXPECT_EQ(RegistryString(kOemKey, "InstallPath"), folder);
    if (!KeepsFolderAccess(kiosk + "\\probe")) GTEST_SKIP() << "this system keeps no access lists of folders";
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                    nullptr, &descriptor),
              ERROR_SUCCESS);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "the parent's access is still inherited";
    // Who may do what: administrators and the system account everything, users read and run.
    std::map<WELL_KNOWN_SID_TYPE, DWORD> granted;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        ASSERT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        const PSID sid = &ace->SidStart;
        WELL_KNOWN_SID_TYPE who = WinNullSid;
        for (const auto known : {WinLocalSystemSid, WinBuiltinAdministratorsSid, WinBuiltinUsersSid})
            if (IsWellKnownSid(sid, known)) who = known;
        EXPECT_NE(who, WinNullSid) << "access for someone else";
        granted[who] |= ace->Mask;
    }
    LocalFree(descriptor);
    EXPECT_EQ(granted[WinLocalSystemSid], static_cast<DWORD>(FILE_ALL_ACCESS));
    EXPECT_EQ(granted[WinBuiltinAdministratorsSid], static_cast<DWORD>(FILE_ALL_ACCESS));
    EXPECT_EQ(granted[WinBuiltinUsersSid], static_cast<DWORD>(FILE_GENERIC_READ | FILE_GENERIC_EXECUTE));
}

}  // namespace
