// The start-up, right-button, removal and post-setup programs with the driver refusing requests
// and the OEM values damaged, under Wine. They must end as they normally end or keep running,
// never crash or hang, show only the messages they own, and never claim what a refused request
// did not do.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "e2e/input.hpp"
#include "e2e/message_box.hpp"
#include "e2e/process.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "mouse_settings.hpp"
#include "oem_key.hpp"
#include "rbf_programs.hpp"
#include "standin_client.hpp"

namespace {

using namespace std::chrono_literals;
using bench::MouseValue;
using bench::SetMouseValue;

const char kStartup[] = "C:\\Program Files\\TouchScreen\\PXwNTcao.exe";
const char kStartupTitle[] = " TouchScreen System Startup #PX-K17-COM";
const char kRemoval[] = "C:\\Program Files\\TouchScreen\\PXwNTcde.exe";
const char kRemovalTitle[] = "TouchScreen Software Removal";
const char kPostSetup[] = "C:\\Program Files\\TouchScreen\\PXwNTcdi.exe";
const char kInstallationTitle[] = "TouchScreen Driver Installation";
const char kSetupFinishedText[] =
    "Setup has finished installing TouchScreen drivers and utilities on your computer.\r\n\r\n"
    "The Windows must be restarted.";
const char kOemLoadFailure[] = "Fail to load data from Register File!";
const char* const kOemPath = bench::kOemKeyPathA;
const auto& kOemNames = bench::kOemValueNames;

struct Request {
    std::uint32_t Code;
    const char* Name;
};
const Request kRequests[] = {
    {IOCTL_TOUCH_GET_PARAMETERS, "GET_PARAMETERS"},     {IOCTL_TOUCH_GET_REPORT, "GET_REPORT"},
    {IOCTL_TOUCH_CALIBRATION_CODE, "CALIBRATION_CODE"}, {IOCTL_TOUCH_SET_PORT_IRQS, "SET_PORT_IRQS"},
    {IOCTL_TOUCH_SET_TOUCH_MODE, "SET_TOUCH_MODE"},     {IOCTL_TOUCH_SET_FEEDBACK_SOUND, "SET_FEEDBACK_SOUND"},
    {IOCTL_TOUCH_SET_SENSITIVITY, "SET_SENSITIVITY"},   {IOCTL_TOUCH_SET_MOUSE_SPEED, "SET_MOUSE_SPEED"},
    {IOCTL_TOUCH_SET_CALIBRATION, "SET_CALIBRATION"},   {IOCTL_TOUCH_SET_SCREEN_SIZE, "SET_SCREEN_SIZE"},
    {IOCTL_TOUCH_SET_POWER_DOWN, "SET_POWER_DOWN"},     {IOCTL_TOUCH_GET_RBF_WINDOW, "GET_RBF_WINDOW"},
    {IOCTL_TOUCH_SET_RBF_WINDOW, "SET_RBF_WINDOW"},
};
constexpr std::uint32_t kAlways = 100000;  // more than any run here asks

bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

// Wine's box keeps its icon control even without an icon: an empty one is no icon.
bool HoldsNoIcon(HWND box) {
    for (const auto& control : e2e::ListControls(box)) {
        if (_stricmp(control.className.c_str(), "Static") != 0 || (control.style & SS_TYPEMASK) != SS_ICON) continue;
        DWORD_PTR icon = 0;
        SendMessageTimeoutA(control.window, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
        if (icon != 0) return false;
    }
    return true;
}

std::int32_t AsRecorded(HWND window) { return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window)); }

// Every byte but the screen size, which the start-up program is there to change.
std::string OtherFieldsDiffer(PX_PARAMETER_BLOCK a, PX_PARAMETER_BLOCK b) {
    a.ScreenWidth = b.ScreenWidth = 0;
    a.ScreenHeight = b.ScreenHeight = 0;
    std::string offsets;
    const auto* x = reinterpret_cast<const unsigned char*>(&a);
    const auto* y = reinterpret_cast<const unsigned char*>(&b);
    for (std::size_t i = 0; i < sizeof a; ++i)
        if (x[i] != y[i]) offsets += std::to_string(i) + " ";
    return offsets;
}


std::optional<std::string> OemString(const char* name) {
    std::vector<char> data(16384);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kOemPath, name, RRF_RT_REG_SZ, nullptr, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(data.data());
}

class OtherProgramsE2E : public ::testing::Test {
protected:
    void SetUp() override {
        rbf_e2e::KillRightButtonPrograms();
        standin.Reset();
        mouse.emplace();
    }
    void TearDown() override {
        if (process) process->Kill();
        process.reset();
        rbf.reset();
        rbf_e2e::KillRightButtonPrograms();
        standin.Reset();
        oem.reset();
        mouse.reset();
    }

    // The block as a fresh logon finds it: the function switched as asked, a stale screen size.
    void DriverHas(std::uint8_t rightButton) {
        auto block = standin.Block();
        block.RightButton = rightButton;
        block.ScreenWidth = 640;
        block.ScreenHeight = 480;
        standin.WriteBlock(block);
    }

    // A program that ended on its own must have ended as it always does: exit code 0, not an
    // exception code (no crash dialog comes up in the bench to tell us).
    static void ExpectNormalEnd(const e2e::Process& program, e2e::Milliseconds timeout = 10s) {
        const auto code = program.WaitForExit(timeout);
        if (!code) {
            HWND box = e2e::FindMessageBox(program.Id());
            ADD_FAILURE() << "still running; box: " << (box ? e2e::ReadMessageBox(box, 0ms).text : "none");
            return;
        }
        EXPECT_EQ(*code, 0u) << std::hex << "exit code 0x" << *code;
    }
    // The box the program shows next: its title, text and icon; answered with OK.
    void ExpectBox(const char* title, const std::string& text, e2e::MessageBoxIcon icon) {
        HWND box = e2e::WaitForMessageBox(10s, process->Id());
        ASSERT_NE(box, nullptr) << "no box \"" << text << "\"";
        const auto info = e2e::ReadMessageBox(box, icon == e2e::MessageBoxIcon::None ? 0ms : 3000ms);
        EXPECT_EQ(info.title, title);
        EXPECT_EQ(info.text, text);
        if (icon == e2e::MessageBoxIcon::None)
            EXPECT_TRUE(HoldsNoIcon(box));
        else {
            EXPECT_EQ(info.icon, icon);
            EXPECT_FALSE(HoldsNoIcon(box));
            EXPECT_TRUE(info.topmost) << "the stop and exclamation boxes here are system-modal";
        }
        EXPECT_TRUE(e2e::AnswerMessageBox(box, IDOK));
    }
    static HWND RbfWindowOf(const e2e::Process& program) {
        return e2e::WaitForTopLevelWindow(rbf_e2e::kRbfCaption, 10s, {program.Id(), false});
    }
    std::int32_t Registered() { return standin.State().Rbf.RbfWindow; }
    std::int16_t Pending() { return standin.State().Rbf.RightClickPending; }

    px::standin::StandinClient standin;
    std::optional<e2e::Process> process;
    std::optional<e2e::Process> rbf;
    std::optional<bench::SavedOemKey> oem;

private:
    std::optional<bench::SavedDoubleClickArea> mouse;
};

// ---------------------------------------------------------------------------------------------
// Driver requests refused, one code at a time, every time it is asked.

// The start-up program examines none of its three requests. An unread block is not sent back
// (it would zero the driver's settings), and with it unread the function counts as off.
TEST_F(OtherProgramsE2E, StartupProgramWithARequestRefusedEndsQuietlyAndSendsNoUnreadBlock) {
    for (const auto& request : kRequests)
        for (const std::uint8_t function : {1, 0}) {
            SCOPED_TRACE(testing::Message() << request.Name << " refused, function " << (function ? "on" : "off"));
            rbf_e2e::KillRightButtonPrograms();
            standin.Reset();
            DriverHas(function);
            const auto before = standin.Block();
            SetMouseValue("DoubleClickWidth", "4");
            standin.FailNext(request.Code, kAlways);

            process.emplace(e2e::Process::Start(kStartup));
            EXPECT_NE(e2e::WaitForTopLevelWindow(kStartupTitle, 10s, {process->Id(), false}), nullptr);
            ExpectNormalEnd(*process);
            process.reset();

            const bool read = request.Code != IOCTL_TOUCH_GET_PARAMETERS;
            const bool sizeSent = read && request.Code != IOCTL_TOUCH_SET_SCREEN_SIZE;
            const bool started = read && function == 1;
            const auto after = standin.Block();
            EXPECT_EQ(OtherFieldsDiffer(after, before), "");
            EXPECT_EQ(after.ScreenWidth, sizeSent ? GetSystemMetrics(SM_CXSCREEN) : 640);
            EXPECT_EQ(after.ScreenHeight, sizeSent ? GetSystemMetrics(SM_CYSCREEN) : 480);
            EXPECT_EQ(MouseValue("DoubleClickWidth"), std::optional<std::string>("32"));

            if (started) {
                HWND button = e2e::WaitForTopLevelWindow(rbf_e2e::kRbfCaption, 10s);
                ASSERT_NE(button, nullptr) << "the right-button program did not come";
                EXPECT_TRUE(Answers(button));
                // It refuses nothing of its own here but its registration.
                const bool registers = request.Code != IOCTL_TOUCH_SET_RBF_WINDOW;
                EXPECT_EQ(Registered(), registers ? AsRecorded(button) : -1);
                EXPECT_EQ(standin.State().OpenHandles, 2) << "the right-button program's and ours";
            } else {
                Sleep(1000);  // room for a program that should not come
                EXPECT_EQ(e2e::FindTopLevelWindow(rbf_e2e::kRbfCaption, {0, true}), nullptr);
                EXPECT_EQ(Registered(), -1);
                EXPECT_EQ(standin.State().OpenHandles, 1) << "the driver was closed";
            }
            standin.FailNext(request.Code, 0);
        }
}

// A registration read refused once, with a button already running: the start-up program takes
// it for none and starts another copy, which reads the registration itself, shows the first
// button and ends. Refused for good, the new copy registers over the first and both stay.
TEST_F(OtherProgramsE2E, StartupProgramWithTheRegistrationReadRefusedLeavesOneButtonWhenTheDriverRecovers) {
    struct Case {
        const char* Name;
        std::uint32_t Refusals;
        int Buttons;
    };
    const Case cases[] = {{"refused once", 1, 1}, {"refused every time", kAlways, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        rbf_e2e::KillRightButtonPrograms();
        standin.Reset();
        DriverHas(1);
        rbf.emplace(e2e::Process::Start(rbf_e2e::kRbfProgram));
        HWND first = RbfWindowOf(*rbf);
        ASSERT_NE(first, nullptr);
        ASSERT_EQ(Registered(), AsRecorded(first));
        standin.FailNext(IOCTL_TOUCH_GET_RBF_WINDOW, c.Refusals);

        process.emplace(e2e::Process::Start(kStartup));
        ExpectNormalEnd(*process);
        process.reset();
        Sleep(1000);  // room for the second copy to come and, if it does, to go
        std::vector<HWND> buttons;
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
            if (e2e::ClassName(w) == rbf_e2e::kRbfClass && IsWindowVisible(w)) buttons.push_back(w);
        EXPECT_EQ(static_cast<int>(buttons.size()), c.Buttons);
        EXPECT_TRUE(rbf->IsRunning());
        EXPECT_TRUE(Answers(first));
        if (c.Buttons == 1) {
            EXPECT_EQ(Registered(), AsRecorded(first));
        } else {
            EXPECT_NE(Registered(), AsRecorded(first)) << "the second copy holds the registration";
        }
        standin.FailNext(IOCTL_TOUCH_GET_RBF_WINDOW, 0);
        rbf.reset();
    }
}

// The right-button program examines none of its requests either. A refused registration leaves
// a working button that nobody can find; a refused poll leaves the wait to the user's cancel.
TEST_F(OtherProgramsE2E, RightButtonProgramWithARequestRefusedKeepsItsButtonAndEndsOnClose) {
    for (const auto& request : kRequests) {
        SCOPED_TRACE(testing::Message() << request.Name << " refused");
        rbf_e2e::KillRightButtonPrograms();
        standin.Reset();
        standin.FailNext(request.Code, kAlways);
        const bool setRefused = request.Code == IOCTL_TOUCH_SET_RBF_WINDOW;
        const bool getRefused = request.Code == IOCTL_TOUCH_GET_RBF_WINDOW;

        rbf.emplace(e2e::Process::Start(rbf_e2e::kRbfProgram));
        HWND window = RbfWindowOf(*rbf);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(Registered(), setRefused ? -1 : AsRecorded(window));
        auto action = e2e::FindControlByClass(window, "Button");
        ASSERT_TRUE(action);

        // Armed by its button.
        e2e::PostButtonClick(action->window);
        if (setRefused) {
            // The driver was never armed: the first poll says so and the button comes back.
            EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(action->window) != FALSE; }, 5000ms));
            EXPECT_EQ(Pending(), 0);
        } else {
            EXPECT_TRUE(e2e::WaitFor([&] { return Pending() == 1; }, 5000ms));
            EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(action->window) == FALSE; }, 5000ms));
        }
        EXPECT_TRUE(Answers(window));

        // Disarmed by a touch.
        standin.Touch(300, 300);
        standin.Lift();
        EXPECT_EQ(Pending(), 0);
        EXPECT_EQ(standin.State().RightClicks, setRefused ? 0u : 1u);
        if (getRefused) {
            // The program never hears of the click; the user's click on the window ends the wait.
            Sleep(500);
            EXPECT_FALSE(IsWindowVisible(action->window)) << "the button came back without the driver saying so";
            EXPECT_TRUE(Answers(window));
            ASSERT_TRUE(e2e::PostMouseClick(window, POINT{5, 5}, e2e::MouseButton::Right));
        }
        EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(action->window) != FALSE; }, 5000ms));
        EXPECT_TRUE(Answers(window));
        EXPECT_EQ(Pending(), 0);
        EXPECT_EQ(e2e::FindMessageBox(rbf->Id()), nullptr);

        // Closed.
        DWORD_PTR result = 1;
        ASSERT_NE(SendMessageTimeoutA(window, WM_USER, 4110, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
        ExpectNormalEnd(*rbf);
        EXPECT_EQ(Registered(), -1);
        EXPECT_EQ(standin.State().OpenHandles, 1) << "the driver was closed";
        rbf.reset();
        standin.FailNext(request.Code, 0);
    }
}

// The uninstaller's one request is the read of the registration before the close message. The
// bench folder has no removal program, so Yes ends at "Fail to remove files! (Startup)" and
// never reaches the restart, which would end every windowed program of the bench.
TEST_F(OtherProgramsE2E, UninstallerWithARequestRefusedGoesOnToTheRemoval) {
    const auto installPath = OemString("InstallPath");
    ASSERT_TRUE(installPath);
    ASSERT_EQ(GetFileAttributesA((*installPath + "\\unins000.exe").c_str()), INVALID_FILE_ATTRIBUTES)
        << "a removal program in the bench folder: Yes would remove and restart";
    for (const auto& request : kRequests) {
        SCOPED_TRACE(testing::Message() << request.Name << " refused");
        rbf_e2e::KillRightButtonPrograms();
        standin.Reset();
        rbf.emplace(e2e::Process::Start(rbf_e2e::kRbfProgram));
        HWND button = RbfWindowOf(*rbf);
        ASSERT_NE(button, nullptr);
        ASSERT_EQ(Registered(), AsRecorded(button));
        standin.FailNext(request.Code, kAlways);

        process.emplace(e2e::Process::Start(kRemoval));
        HWND main = e2e::WaitForTopLevelWindow(kRemovalTitle, 10s, {process->Id(), false});
        ASSERT_NE(main, nullptr);
        auto yes = e2e::FindControlByText(main, "&Yes");
        ASSERT_TRUE(yes);
        e2e::PostButtonClick(yes->window);
        ExpectBox(kRemovalTitle, "Fail to remove files! (Startup)", e2e::MessageBoxIcon::Exclamation);
        ExpectNormalEnd(*process);
        process.reset();

        // Unread, the registration counts as none: the button stays, silently. Its own
        // unregistration refused, the closed program's registration stays behind.
        const bool closed = request.Code != IOCTL_TOUCH_GET_RBF_WINDOW;
        const bool left = !closed || request.Code == IOCTL_TOUCH_SET_RBF_WINDOW;
        if (closed) {
            ExpectNormalEnd(*rbf);
        } else {
            EXPECT_FALSE(rbf->WaitForExit(1000ms).has_value());
            EXPECT_TRUE(Answers(button));
        }
        EXPECT_EQ(Registered(), left ? AsRecorded(button) : -1);
        EXPECT_EQ(standin.State().OpenHandles, closed ? 1 : 2);
        standin.FailNext(request.Code, 0);
        rbf.reset();
    }
}

// ---------------------------------------------------------------------------------------------
// OEM values damaged, one at a time.

// The start-up program with the function on, so that a useless InstallPath shows at the start
// of the right-button program.
TEST_F(OtherProgramsE2E, StartupProgramEndsAtOnceWithoutItsOemValuesAndSaysSoWhenTheFolderIsUseless) {
    for (const char* name : kOemNames)
        for (const auto& damage : bench::kOemDamages) {
            SCOPED_TRACE(testing::Message() << name << " " << damage.Label);
            rbf_e2e::KillRightButtonPrograms();
            standin.Reset();
            DriverHas(1);
            SetMouseValue("DoubleClickWidth", "4");
            oem.emplace();
            ASSERT_TRUE(oem->Complete()) << "the bench's OEM key lacks a value";
            ASSERT_TRUE(bench::DamageOemValue(name, damage.Kind));

            process.emplace(e2e::Process::Start(kStartup));
            const bool folderUseless = std::strcmp(name, "InstallPath") == 0;
            if (damage.Fatal) {
                ExpectBox(kStartupTitle, kOemLoadFailure, e2e::MessageBoxIcon::Stop);
                ExpectNormalEnd(*process);
                EXPECT_EQ(MouseValue("DoubleClickWidth"), std::optional<std::string>("4"));
                EXPECT_EQ(standin.Block().ScreenWidth, 640) << "nothing reaches the driver";
                EXPECT_EQ(standin.State().OpenHandles, 1);
            } else {
                if (folderUseless)
                    ExpectBox(kStartupTitle, "Fail to initialize Right Button Function!", e2e::MessageBoxIcon::Stop);
                ExpectNormalEnd(*process);
                EXPECT_EQ(MouseValue("DoubleClickWidth"), std::optional<std::string>("32"));
                EXPECT_EQ(standin.Block().ScreenWidth, GetSystemMetrics(SM_CXSCREEN));
                if (folderUseless) {
                    EXPECT_EQ(Registered(), -1);
                } else {
                    HWND button = e2e::WaitForTopLevelWindow(rbf_e2e::kRbfCaption, 10s);
                    ASSERT_NE(button, nullptr);
                    EXPECT_EQ(Registered(), AsRecorded(button));
                }
            }
            process.reset();
            oem.reset();
        }
}

// The right-button program reads no OEM value: whatever the key holds, it starts and closes.
TEST_F(OtherProgramsE2E, RightButtonProgramStartsWhateverTheOemValuesHold) {
    for (const char* name : kOemNames)
        for (const auto& damage : bench::kOemDamages) {
            SCOPED_TRACE(testing::Message() << name << " " << damage.Label);
            rbf_e2e::KillRightButtonPrograms();
            standin.Reset();
            oem.emplace();
            ASSERT_TRUE(oem->Complete());
            ASSERT_TRUE(bench::DamageOemValue(name, damage.Kind));
            rbf.emplace(e2e::Process::Start(rbf_e2e::kRbfProgram));
            HWND window = RbfWindowOf(*rbf);
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(Registered(), AsRecorded(window));
            EXPECT_EQ(e2e::FindMessageBox(rbf->Id()), nullptr);
            DWORD_PTR result = 1;
            ASSERT_NE(SendMessageTimeoutA(window, WM_USER, 4110, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
            ExpectNormalEnd(*rbf);
            EXPECT_EQ(Registered(), -1);
            rbf.reset();
            oem.reset();
        }
}

// The post-setup program: a plain box and no restart without its values; with empty or long ones
// it reaches its final box, where it is stopped before the restart would end the bench's windows.
TEST_F(OtherProgramsE2E, PostSetupEndsWithoutARestartWhenItsOemValuesCannotBeLoaded) {
    for (const char* name : kOemNames)
        for (const auto& damage : bench::kOemDamages) {
            SCOPED_TRACE(testing::Message() << name << " " << damage.Label);
            oem.emplace();
            ASSERT_TRUE(oem->Complete());
            ASSERT_TRUE(bench::DamageOemValue(name, damage.Kind));
            const auto vendorBefore = OemString("VenderName");
            process.emplace(e2e::Process::Start(kPostSetup));
            if (damage.Fatal) {
                ExpectBox(kInstallationTitle, kOemLoadFailure, e2e::MessageBoxIcon::None);
                ExpectNormalEnd(*process);
            } else {
                HWND box = e2e::WaitForMessageBox(20s, process->Id());
                ASSERT_NE(box, nullptr) << "no final box";
                const auto info = e2e::ReadMessageBox(box);
                EXPECT_EQ(info.title, kInstallationTitle);
                EXPECT_EQ(info.text, kSetupFinishedText);
                EXPECT_TRUE(process->IsRunning());
                process->Kill();
            }
            // No setup.oem where InstallPath points: the vendor name stays.
            EXPECT_EQ(OemString("VenderName"), vendorBefore);
            process.reset();
            oem.reset();
        }
}

// The uninstaller checks its values before it asks; answered No, it changes nothing.
TEST_F(OtherProgramsE2E, UninstallerEndsBeforeItsQuestionWhenItsOemValuesCannotBeLoaded) {
    for (const char* name : kOemNames)
        for (const auto& damage : bench::kOemDamages) {
            SCOPED_TRACE(testing::Message() << name << " " << damage.Label);
            oem.emplace();
            ASSERT_TRUE(oem->Complete());
            ASSERT_TRUE(bench::DamageOemValue(name, damage.Kind));
            process.emplace(e2e::Process::Start(kRemoval));
            if (damage.Fatal) {
                ExpectBox(kRemovalTitle, kOemLoadFailure, e2e::MessageBoxIcon::None);
                ExpectNormalEnd(*process);
                EXPECT_EQ(e2e::FindTopLevelWindow(kRemovalTitle, {process->Id(), true}), nullptr);
            } else {
                HWND main = e2e::WaitForTopLevelWindow(kRemovalTitle, 10s, {process->Id(), false});
                ASSERT_NE(main, nullptr);
                EXPECT_EQ(e2e::FindMessageBox(process->Id()), nullptr);
                auto no = e2e::FindControlByText(main, "&No");
                ASSERT_TRUE(no);
                e2e::PostButtonClick(no->window);
                ExpectNormalEnd(*process);
            }
            process.reset();
            oem.reset();
        }
}

}  // namespace
