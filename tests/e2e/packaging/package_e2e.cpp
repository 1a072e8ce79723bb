// The setup package in a prefix of its own (run_in_fresh_prefix.sh makes it): installed as a
// user does, through its pages, then the uninstaller answered No, then Yes. The tests run in this order and each builds on the last.
// PXwNTcdi and PXwNTcde restart "Windows", which under Wine ends every windowed program of the
// prefix: this console program survives it, a shared bench would not.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "e2e/e2e.hpp"
#include "package_state.hpp"

namespace {

using namespace std::chrono_literals;
using namespace package;

void Screenshot(const char* name) {
    const auto file = e2e::ArtifactsFolder() / name;
    EXPECT_TRUE(e2e::SaveScreenshot(file)) << file;
    std::printf("screenshot: %s\n", file.string().c_str());
}

HWND FindButton(HWND window, const char* caption) {
    const auto control = e2e::FindControlByText(window, caption);
    return control ? control->window : nullptr;
}

// The installer's own button (Install, then Close) once it is enabled and reads caption.
bool PressSetupButton(HWND setup, const char* caption) {
    const auto button = e2e::WaitFor(
        [&]() -> std::optional<e2e::ControlInfo> {
            const auto found = e2e::FindControlById(setup, IDOK);
            return found && found->enabled && found->text == caption ? found : std::nullopt;
        },
        60s);
    if (!button) return false;
    e2e::PostButtonClick(button->window);
    return true;
}

TEST(Package, InstallsThroughItsPagesAndPostSetupStoresTheVendorName) {
    const std::string setup = e2e::ToWindowsPath(Env("PX_SETUP_EXE"));
    const std::string vendor = Env("PX_VENDOR_NAME");
    ASSERT_FALSE(setup.empty()) << "PX_SETUP_EXE not set";
    ASSERT_FALSE(vendor.empty()) << "PX_VENDOR_NAME not set";

    auto installer = e2e::Process::Start(setup);
    const HWND window = WaitForInstallerWindow(installer);
    ASSERT_NE(window, nullptr) << "no installer window";
    ASSERT_TRUE(PressSetupButton(window, "&Install"));
    ASSERT_TRUE(PressSetupButton(window, "&Close"));
    const auto installed = installer.WaitForExit(30s);
    ASSERT_TRUE(installed.has_value()) << "the installer did not finish";
    EXPECT_EQ(*installed, 3010u) << "PXwNTcdi asks before it restarts: the restart is still needed";

    // PXwNTcdi runs last and ends with its system-modal box.
    const HWND box = e2e::WaitForMessageBox(20s);
    ASSERT_NE(box, nullptr) << "no final box from PXwNTcdi";
    const auto info = e2e::ReadMessageBox(box);
    EXPECT_EQ(info.title, "TouchScreen Driver Installation");
    EXPECT_EQ(info.text,
              "Setup has finished installing TouchScreen drivers and utilities on your computer.\r\n\r\n"
              "The Windows must be restarted.");
    EXPECT_EQ(info.icon, e2e::MessageBoxIcon::Information);
    EXPECT_TRUE(info.topmost);

    // Before the box, PXwNTcdi has replaced the package's first name with setup.oem's TITLE.
    EXPECT_EQ(RegistryString(kOemKey, "VenderName"), vendor);
    EXPECT_EQ(RegistryString(kOemKey, "InstallPath"), std::string(kFolder));
    EXPECT_EQ(RegistryString(kOemKey, "WindowsPath"), WindowsFolder());
    EXPECT_EQ(RegistryString(kOemKey, "SystemPath"), WindowsFolder() + "\\system32");
    EXPECT_EQ(RegistryString(kOemKey, "HardwareID"), std::string("SERENUM\\PXK17COM"));
    EXPECT_EQ(RegistryString(kRunKey, "PXwNTcao"), "\"" + std::string(kFolder) + "\\PXwNTcao.exe\"");
    char title[256] = {};
    GetPrivateProfileStringA("SETUP", "TITLE", "", title, sizeof title,
                             (std::string(kFolder) + "\\setup.oem").c_str());
    EXPECT_EQ(std::string(title), vendor);

    for (const char* file : kFolderFiles) EXPECT_TRUE(FileExists(std::string(kFolder) + "\\" + file)) << file;
    EXPECT_TRUE(FileExists(WindowsFolder() + "\\PXwNTcde.exe"));
    EXPECT_TRUE(FileExists(DriverFile()));
    EXPECT_EQ(ServiceState("PXWNTCOM"), std::optional<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(ServiceStartType("PXWNTCOM"), static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(StandinRbfWindow(), std::optional<std::int32_t>(-1)) << "the installed driver does not answer";

    ASSERT_TRUE(e2e::AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(e2e::WaitForWindowGone(box, 10s));
    // Wine's restart runs the logon entry: PXwNTcao starts, does its work and ends by itself
    // (while it runs it holds its file, which the removal below must find free).
    const DWORD startup = e2e::WaitFor([] { return RunningProcess("PXwNTcao.exe"); }, 10s);
    EXPECT_NE(startup, 0u) << "the logon entry did not start PXwNTcao";
    EXPECT_TRUE(e2e::WaitFor([] { return RunningProcess("PXwNTcao.exe") == 0; }, 15s)) << "PXwNTcao did not end";
}

TEST(Package, RemovalAnsweredNoChangesNothing) {
    const ProductState before = ReadProductState();
    ASSERT_TRUE(before.service.has_value()) << "the package is not installed";

    auto remover = e2e::Process::Start(WindowsFolder() + "\\PXwNTcde.exe");
    const HWND window = e2e::WaitForTopLevelWindow(kRemovalTitle, 20s, {.processId = remover.Id()});
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(remover.WaitForInputIdle(10s));
    Screenshot("removal-confirmation.bmp");
    const HWND no = FindButton(window, "&No");
    ASSERT_NE(no, nullptr);
    e2e::PostButtonClick(no);
    EXPECT_TRUE(remover.WaitForExit(10s).has_value());
    EXPECT_EQ(e2e::FindMessageBox(remover.Id()), nullptr);
    EXPECT_TRUE(ReadProductState() == before);
    EXPECT_FALSE(PendingDeletion("\\PXWNTCde.exe"));
}

// A removal program that ends with a failure code: PXwNTcde says so and neither claims the
// removal complete nor restarts (a windowed program of the prefix survives).
TEST(Package, RemovalProgramThatFailsIsReportedAndNothingRestarts) {
    const std::string unins = std::string(kFolder) + "\\unins000.exe";
    const std::string kept = unins + ".kept";
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string failing = std::string(self).substr(0, std::string(self).find_last_of('\\')) + "\\removal_fails.exe";
    ASSERT_TRUE(MoveFileExA(unins.c_str(), kept.c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(CopyFileA(failing.c_str(), unins.c_str(), FALSE)) << failing;
    auto panel = e2e::Process::Start(std::string(kFolder) + "\\PXwNTccp.exe");
    ASSERT_NE(e2e::WaitForTopLevelWindow(" TouchScreen Control Panel #PX-K17-COM", 15s, {.processId = panel.Id()}),
              nullptr);

    auto remover = e2e::Process::Start(WindowsFolder() + "\\PXwNTcde.exe");
    const HWND window = e2e::WaitForTopLevelWindow(kRemovalTitle, 20s, {.processId = remover.Id()});
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(remover.WaitForInputIdle(10s));
    e2e::PostButtonClick(FindButton(window, "&Yes"));
    const HWND box = e2e::WaitForMessageBox(20s, remover.Id());
    ASSERT_NE(box, nullptr) << "no box from PXwNTcde";
    const auto info = e2e::ReadMessageBox(box);
    EXPECT_EQ(info.text, "Fail to remove files! (ExitCode=1)");
    EXPECT_EQ(info.icon, e2e::MessageBoxIcon::Exclamation);
    EXPECT_TRUE(info.topmost);
    ASSERT_TRUE(e2e::AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(remover.WaitForExit(10s).has_value());
    EXPECT_EQ(e2e::FindMessageBox(remover.Id()), nullptr);
    Sleep(1000);  // a restart would end the control panel within this
    EXPECT_FALSE(panel.WaitForExit(0s).has_value()) << "the prefix restarted";
    EXPECT_FALSE(PendingDeletion("\\PXWNTCde.exe")) << "PXwNTcde marked itself for deletion";

    PostMessageA(e2e::FindTopLevelWindow(" TouchScreen Control Panel #PX-K17-COM", {.processId = panel.Id()}),
                 WM_CLOSE, 0, 0);
    EXPECT_TRUE(panel.WaitForExit(10s).has_value());
    ASSERT_TRUE(MoveFileExA(kept.c_str(), unins.c_str(), MOVEFILE_REPLACE_EXISTING));
}

TEST(Package, RemovalAnsweredYesClosesTheRightButtonProgramAndRemovesTheProduct) {
    const std::string rightButton = std::string(kFolder) + "\\PXwNTcrb.exe";
    if (!FileExists(rightButton)) GTEST_SKIP() << "PXwNTcrb.exe is not in the package";
    auto rbf = e2e::Process::Start(rightButton);
    const auto registered = e2e::WaitFor(
        [] {
            const auto window = StandinRbfWindow();
            return window && *window != -1;
        },
        15s);
    ASSERT_TRUE(registered) << "PXwNTcrb did not register its window with the driver";

    auto remover = e2e::Process::Start(WindowsFolder() + "\\PXwNTcde.exe");
    const HWND window = e2e::WaitForTopLevelWindow(kRemovalTitle, 20s, {.processId = remover.Id()});
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(remover.WaitForInputIdle(10s));
    const HWND yes = FindButton(window, "&Yes");
    ASSERT_NE(yes, nullptr);
    e2e::PostButtonClick(yes);

    // The close request reaches PXwNTcrb before the progress window shows and unins000 stops
    // the driver, so the record reads -1 while the device is still there.
    std::optional<std::int32_t> last;
    for (int i = 0; i < 1000; ++i) {
        const auto now = StandinRbfWindow();
        if (!now) break;
        last = now;
        if (*now == -1) break;
        Sleep(5);
    }
    EXPECT_EQ(last, std::optional<std::int32_t>(-1)) << "RbfWindow never read -1 before the driver went";
    EXPECT_TRUE(rbf.WaitForExit(10s).has_value()) << "PXwNTcrb is still running";

    const HWND progress = e2e::WaitFor(
        [&] {
            const HWND shown = e2e::FindTopLevelWindow(kRemovalTitle, {.processId = remover.Id()});
            return shown && e2e::FindControlByText(shown, "Removing files from your system...") ? shown : nullptr;
        },
        10s);
    EXPECT_NE(progress, nullptr) << "no progress window";
    if (progress) {
        Sleep(300);  // let it paint
        Screenshot("removal-progress.bmp");
    }

    // unins000 has ended (otherwise the box would be a "Fail to remove files!" one) and the
    // uninstaller has paused its ten seconds.
    const HWND box = e2e::WaitForMessageBox(40s, remover.Id());
    ASSERT_NE(box, nullptr) << "no final box from PXwNTcde";
    const auto info = e2e::ReadMessageBox(box);
    EXPECT_EQ(info.title, kRemovalTitle);
    EXPECT_EQ(info.text,
              "Removal is complete to uninstall TouchScreen drivers and utilities.\r\n\r\n"
              "The Windows must be restarted.");
    EXPECT_EQ(info.icon, e2e::MessageBoxIcon::Information);
    EXPECT_TRUE(info.topmost);

    const ProductState after = ReadProductState();
    for (const char* file : {"PXwNTccp.exe", "PXwNTcao.exe", "PXwNTcrb.exe", "PXwNTcdi.exe", "PXwNTcde.exe", "setup.oem"})
        EXPECT_FALSE(after.files.at(file)) << file << " is still there";
    EXPECT_FALSE(after.files.at("drivers\\PXWNTCOM.sys"));
    for (const char* name : kOemValues) EXPECT_FALSE(after.values.at(name).has_value()) << name;
    EXPECT_FALSE(KeyExists(kOemKey));
    EXPECT_FALSE(after.values.at("Run").has_value());
    EXPECT_FALSE(after.service.has_value()) << "service PXWNTCOM still exists";
    EXPECT_TRUE(PendingDeletion(std::string(kFolder) + "\\unins000.exe")) << "pending:" << PendingList();
    // PXwNTcde is running from the Windows folder: it goes at the restart.
    EXPECT_TRUE(after.files.at("windows\\PXwNTcde.exe"));
    EXPECT_TRUE(PendingDeletion(WindowsFolder() + "\\PXWNTCde.exe"));

    ASSERT_TRUE(e2e::AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(remover.WaitForExit(15s).has_value());
}

}  // namespace
