// The driver letting the programs down under Wine: setting and calibration requests that fail,
// and the stand-in's service stopped under the running programs. Nothing may crash or hang, and
// a failure must never reach the driver as a change or the user as a success.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../calibration/service_session.hpp"
#include "buttons.hpp"
#include "e2e/input.hpp"
#include "e2e/message_box.hpp"
#include "e2e/process.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "standin_client.hpp"

namespace {

using namespace std::chrono_literals;
using px::standin::StandinClient;

const char kProgram[] = "C:\\Program Files\\TouchScreen\\PXwNTccp.exe";
const char kTitle[] = " TouchScreen Control Panel #PX-K17-COM";
const char kRbfProgram[] = "C:\\Program Files\\TouchScreen\\PXwNTcrb.exe";
const char kRbfCaption[] = " C-RBF";

std::string DifferingBytes(const PX_PARAMETER_BLOCK& a, const PX_PARAMETER_BLOCK& b) {
    std::string offsets;
    const auto* x = reinterpret_cast<const unsigned char*>(&a);
    const auto* y = reinterpret_cast<const unsigned char*>(&b);
    for (std::size_t i = 0; i < sizeof a; ++i)
        if (x[i] != y[i]) offsets += std::to_string(i) + ":" + std::to_string(x[i]) + "/" + std::to_string(y[i]) + " ";
    return offsets;
}

bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

bool RunQuietly(const std::string& commandLine) {
    const auto run = e2e::RunAndCapture(commandLine, 30s);
    return run.exitCode == std::optional<DWORD>(0);
}

using bench::ButtonOf;
using bench::Click;

void Scroll(HWND window, int position) {
    auto bar = e2e::FindControlByClass(window, "ScrollBar", 0);
    ASSERT_TRUE(bar);
    SendMessageA(GetParent(bar->window), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(bar->window));
}
void ChooseInCombo(HWND window, std::size_t index, int item) {
    auto box = e2e::FindControlByClass(window, "ComboBox", index);
    ASSERT_TRUE(box);
    SendMessageA(box->window, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageA(GetParent(box->window), WM_COMMAND, MAKEWPARAM(box->id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box->window));
}
bool Shows(HWND window, const std::string& text) {
    return e2e::WaitFor([&] { return e2e::FindControlByText(window, text).has_value(); }, 3000ms);
}

class DriverFaultsE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DeviceBack()) << "the stand-in is not running";
        standin->Reset();
    }
    void TearDown() override {
        for (auto* program : {&panel, &rbf})
            if (*program) program->reset();  // killed if still running
        // Later tests need the service running and the device answering.
        if (!DeviceBack()) {
            RunQuietly("sc start PXWNTCOM");
            EXPECT_TRUE(DeviceBack()) << "the stand-in did not come back";
        }
        if (!standin) return;
        const auto registered = standin->State().Rbf.RbfWindow;
        if (registered != -1)
            SendMessageTimeoutA(reinterpret_cast<HWND>(static_cast<INT_PTR>(registered)), WM_USER, 4110, 0,
                                SMTO_ABORTIFHUNG, 5000, nullptr);
        standin->Reset();
    }

    // A fresh client each time: a handle from before a service stop leads nowhere afterwards.
    bool DeviceBack() {
        return e2e::WaitFor(
            [&] {
                try {
                    standin.reset();
                    standin.emplace();
                    return true;
                } catch (const std::exception&) {
                    standin.reset();
                    return false;
                }
            },
            10000ms);
    }

    HWND StartPanel(const std::string& program) {
        panel.emplace(e2e::Process::Start(program));
        main = e2e::WaitForTopLevelWindow(kTitle, 10s, {panel->Id(), false});
        return main;
    }
    HWND OpenFromMain(const char* button) {
        if (!Click(main, button)) return nullptr;
        if (!e2e::WaitFor([&] { return IsWindowVisible(main) == FALSE; }, 5000ms)) return nullptr;
        return e2e::WaitForTopLevelWindow(kTitle, 5s, {panel->Id(), false});
    }
    bool MainShowsAgain() {
        return e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms);
    }
    void ExpectNoBox(const e2e::Process& process) {
        EXPECT_TRUE(process.IsRunning());
        EXPECT_EQ(e2e::FindMessageBox(process.Id()), nullptr);
    }
    std::uint32_t RequestsOf(std::uint32_t code) {
        std::uint32_t count = 0;
        for (const auto& entry : standin->Journal())
            if (entry.Code == code) count += entry.Repeat;
        return count;
    }
    void ExitPanel() {
        ASSERT_TRUE(MainShowsAgain());
        Click(main, "E&xit");
        EXPECT_TRUE(panel->WaitForExit(10s).has_value());
    }

    std::optional<StandinClient> standin;
    std::optional<e2e::Process> panel;
    std::optional<e2e::Process> rbf;
    HWND main = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Setting requests failing on Apply/OK. The program does not look at the result: it says
// nothing, goes on with its own block, and the main window's line shows what that block holds —
// the value the user chose, since a failed request hands nothing back. The driver keeps its own.

struct FailingCommit {
    const char* Button;
    std::function<void(HWND)> Change;
    std::uint32_t Code;
    std::string SummaryAfter;  // main window's line afterwards
    bool ThroughSetup = false;  // Serial Port: the request is Setup's Save
};

std::vector<FailingCommit> FailingCommits() {
    return {
        {"&Virtual Button", [](HWND w) { Click(w, " Touch Down Mode"); }, IOCTL_TOUCH_SET_TOUCH_MODE,
         "Touch Down Mode (RBF=Disable)"},
        {"&Feedback Sound", [](HWND w) { Click(w, " Both Touch Down && Lift Off"); },
         IOCTL_TOUCH_SET_FEEDBACK_SOUND, "Both Touch Down && Lift Off"},
        {"&Mouse Speed", [](HWND w) { Click(w, "Fast"); }, IOCTL_TOUCH_SET_MOUSE_SPEED,
         "HS=100%, VS=100%, Acceleration=Fast"},
        {"&Power Save", [](HWND w) { Scroll(w, 6); }, IOCTL_TOUCH_SET_POWER_DOWN,
         "Power Down When Idel  1 Min. "},
        {"&Touch Sensitivity", [](HWND w) { Scroll(w, 127); }, IOCTL_TOUCH_SET_SENSITIVITY, "Level 127"},
        // Save never rewrites the main window's line; the port rows show the block's IRQ.
        {"&Serial Port", [](HWND w) { ChooseInCombo(w, 1, 2); }, IOCTL_TOUCH_SET_PORT_IRQS,
         "COM1, Port=03F8, IRQ=4, (9600,N,8,1)", true},
    };
}

TEST_F(DriverFaultsE2E, SettingRequestFailingOnApplyOrOkIsSilentAndLeavesTheDriverAlone) {
    for (const auto& c : FailingCommits())
        for (const bool applyFirst : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.Button << (applyFirst ? ", Apply then OK" : ", OK"));
            standin->Reset();
            const auto before = standin->Block();
            ASSERT_NE(StartPanel(e2e::ToWindowsPath(UNLOCKED_PANEL_PATH)), nullptr);
            HWND window = OpenFromMain(c.Button);
            ASSERT_NE(window, nullptr);
            HWND serial = nullptr;
            const char* commit = "&Apply";
            if (c.ThroughSetup) {
                serial = window;
                ASSERT_TRUE(Click(serial, "&Setup"));
                window = e2e::WaitForTopLevelWindow(" COM Port Configuration", 5s, {panel->Id(), false});
                ASSERT_NE(window, nullptr);
                commit = "&Save";
            }
            c.Change(window);
            ASSERT_TRUE(ButtonOf(window, commit)->enabled);
            standin->FailNext(c.Code, 1000);
            standin->ClearJournal();
            if (applyFirst) {
                ASSERT_TRUE(Click(window, commit));
                ExpectNoBox(*panel);
                EXPECT_FALSE(ButtonOf(window, commit)->enabled) << "the failed commit counts as done";
                if (!c.ThroughSetup) {
                    EXPECT_TRUE(Shows(main, c.SummaryAfter));
                }
            }
            ASSERT_TRUE(Click(window, "&OK"));
            if (c.ThroughSetup) {
                ASSERT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(serial) != FALSE; }, 5000ms));
                EXPECT_TRUE(Shows(serial, "COM1, Port=03F8h, IRQ=5"));
                ASSERT_TRUE(Click(serial, "&OK"));
            }
            ASSERT_TRUE(MainShowsAgain());
            ExpectNoBox(*panel);
            EXPECT_EQ(RequestsOf(c.Code), 1u) << "one commit, sent once and not repeated by OK";
            EXPECT_EQ(DifferingBytes(standin->Block(), before), "");
            EXPECT_TRUE(Shows(main, c.SummaryAfter));
            standin->FailNext(c.Code, 0);
            ExitPanel();
            panel.reset();
        }
}

// ---------------------------------------------------------------------------------------------
// Calibration with requests failing, on the bench panel of the calibration tests.

using service::kCompleteText;
using service::RawX;
using service::RawY;
constexpr const auto& kCentres = service::kMarkCentres;

struct Edges {
    int XMin, XMax, YMin, YMax;
    bool operator==(const Edges&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Edges& e) {
    return out << e.XMin << ".." << e.XMax << " x " << e.YMin << ".." << e.YMax;
}
constexpr Edges kOld{11, 1001, 22, 990};
constexpr Edges kNew{63, 958, 78, 923};  // what the four marks give (see calibration_e2e.cpp)

struct CalibrationFault {
    const char* Name;
    std::function<void(StandinClient&)> BeforeOpening;
    std::function<void(StandinClient&)> AfterFirstMark;
    std::function<void(StandinClient&)> BeforeAnswer;
    std::string Box;  // what the run ends with
    int Answer;
    Edges InDriver;
};

TEST_F(DriverFaultsE2E, CalibrationWithFailingRequestsNeverClaimsAFailedCalibration) {
    const auto none = [](StandinClient&) {};
    const CalibrationFault cases[] = {
        {"new edges refused", [](StandinClient& s) { s.FailNext(IOCTL_TOUCH_SET_CALIBRATION, 1); }, none, none,
         "FAIL TO SET NEW CALIBRATION", IDOK, kOld},
        // No after a refused restore: nothing tells the user, the driver keeps the new edges.
        {"old edges refused on No", none, none, [](StandinClient& s) { s.FailNext(IOCTL_TOUCH_SET_CALIBRATION, 1); },
         kCompleteText, IDNO, kNew},
        {"every code refused", [](StandinClient& s) { s.FailNext(IOCTL_TOUCH_CALIBRATION_CODE, 1000); }, none, none,
         kCompleteText, IDYES, kNew},
        // A failed poll reads as the last report (the finger lifted): the run just waits longer.
        {"reports refused between marks", none,
         [](StandinClient& s) { s.FailNext(IOCTL_TOUCH_GET_REPORT, 3000); }, none, kCompleteText, IDYES, kNew},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        standin->Reset();
        auto block = standin->Block();
        block.CalXMin = kOld.XMin, block.CalXMax = kOld.XMax, block.CalYMin = kOld.YMin, block.CalYMax = kOld.YMax;
        block.ScreenWidth = 1024, block.ScreenHeight = 768;
        standin->WriteBlock(block);
        ASSERT_NE(StartPanel(kProgram), nullptr);
        c.BeforeOpening(*standin);
        HWND window = service::OpenCalibration(*panel, main, *standin);
        ASSERT_NE(window, nullptr);
        for (int i = 0; i < 4; ++i) {
            const POINT p = kCentres[i];
            ASSERT_TRUE(service::HoldUntilCaptured(*standin, RawX(p.x), RawY(p.y))) << p.x << "," << p.y;
            if (i == 0) c.AfterFirstMark(*standin);
        }
        HWND box = e2e::WaitForMessageBox(10s, panel->Id());
        ASSERT_NE(box, nullptr);
        const auto info = e2e::ReadMessageBox(box);
        EXPECT_EQ(info.title, "TouchScreen Calibration");
        EXPECT_EQ(info.text, c.Box);
        c.BeforeAnswer(*standin);
        EXPECT_TRUE(e2e::AnswerMessageBox(box, c.Answer));
        EXPECT_TRUE(e2e::WaitForWindowGone(window, 10s));
        ASSERT_TRUE(MainShowsAgain());
        ExpectNoBox(*panel);
        const auto after = standin->Block();
        EXPECT_EQ((Edges{after.CalXMin, after.CalXMax, after.CalYMin, after.CalYMax}), c.InDriver);
        standin->FailNext(IOCTL_TOUCH_CALIBRATION_CODE, 0);
        standin->FailNext(IOCTL_TOUCH_GET_REPORT, 0);
        ExitPanel();
        panel.reset();
    }
}

// ---------------------------------------------------------------------------------------------
// The stand-in's service stopped while the programs hold the device. Under Wine 8, `sc stop`
// succeeds at once (about 0.1 s) although the control panel and the right-button program have
// it open: the driver is unloaded, new opens fail with error 2, and every request on a handle
// opened before fails at once with error 5 — nothing blocks. After `sc start` the old handles
// still lead nowhere, only handles opened afterwards reach the driver, and the right-button
// registration starts again at -1.

struct StopMoment {
    const char* Name;
    const char* OpenWindow;  // a settings window open at the stop, or nullptr
    bool RbfArmed;
};

TEST_F(DriverFaultsE2E, ServiceStoppedUnderThePanelAndTheRightButtonProgram) {
    const StopMoment moments[] = {{"main window, button idle", nullptr, false},
                                  {"Power Save open, button armed", "&Power Save", true}};
    for (const auto& m : moments) {
        SCOPED_TRACE(m.Name);
        ASSERT_TRUE(DeviceBack());
        standin->Reset();
        ASSERT_NE(StartPanel(kProgram), nullptr);
        rbf.emplace(e2e::Process::Start(kRbfProgram));
        HWND button = e2e::WaitForTopLevelWindow(kRbfCaption, 10s, {rbf->Id(), false});
        ASSERT_NE(button, nullptr);
        auto action = e2e::FindControlByClass(button, "Button");
        ASSERT_TRUE(action);
        HWND window = m.OpenWindow ? OpenFromMain(m.OpenWindow) : main;
        ASSERT_NE(window, nullptr);
        if (m.RbfArmed) {
            e2e::PostButtonClick(action->window);
            ASSERT_TRUE(e2e::WaitFor([&] { return standin->State().Rbf.RightClickPending == 1; }, 5000ms));
        }
        StandinClient stale;  // opened before the stop, like the programs' handles
        const auto before = standin->Block();

        ASSERT_TRUE(RunQuietly("sc stop PXWNTCOM"));
        PX_PARAMETER_BLOCK probe{};
        const auto staleRequest = stale.Request(IOCTL_TOUCH_GET_PARAMETERS, &probe, sizeof probe, sizeof probe);
        EXPECT_NE(staleRequest.Error, 0u) << "a request on an old handle after the stop";
        std::printf("stale handle after sc stop: error %lu\n", staleRequest.Error);
        EXPECT_TRUE(Answers(main));
        EXPECT_TRUE(Answers(window));
        EXPECT_TRUE(Answers(button));
        ExpectNoBox(*panel);
        ExpectNoBox(*rbf);

        // The user goes on: a setting applied, the button armed or disarmed, Exit.
        if (!m.OpenWindow) window = OpenFromMain("&Power Save");
        ASSERT_NE(window, nullptr);
        Scroll(window, 12);
        ASSERT_TRUE(Click(window, "&Apply"));
        EXPECT_TRUE(Answers(window));
        ExpectNoBox(*panel);
        ASSERT_TRUE(Click(window, "&OK"));
        ASSERT_TRUE(MainShowsAgain());
        EXPECT_TRUE(Shows(main, "Power Down When Idel  2 Min. ")) << "the line shows the panel's own block";
        if (m.RbfArmed) {
            // No touch can come any more; a click on the window ends the wait.
            ASSERT_TRUE(e2e::PostMouseClick(button, POINT{5, 5}, e2e::MouseButton::Right));
        } else {
            e2e::PostButtonClick(action->window);
            EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(action->window) == FALSE; }, 5000ms));
            EXPECT_TRUE(Answers(button));
            ASSERT_TRUE(e2e::PostMouseClick(button, POINT{5, 5}, e2e::MouseButton::Right));
        }
        EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(action->window) != FALSE; }, 5000ms))
            << "the button comes back";
        EXPECT_TRUE(Answers(button));
        ExpectNoBox(*rbf);

        ExitPanel();
        SendMessageA(button, WM_CLOSE, 0, 0);
        EXPECT_TRUE(rbf->WaitForExit(10s).has_value());

        // A start while the device is gone (and no copy runs that it would hand over to).
        panel.emplace(e2e::Process::Start(kProgram));
        HWND box = e2e::WaitForMessageBox(10s, panel->Id());
        ASSERT_NE(box, nullptr);
        const auto info = e2e::ReadMessageBox(box);
        EXPECT_EQ(info.title, "TouchScreen Control Panel");
        EXPECT_EQ(info.text, "Fail to open PXWNTCOM.sys!");
        EXPECT_TRUE(e2e::AnswerMessageBox(box, IDOK));
        EXPECT_TRUE(panel->WaitForExit(10s).has_value());
        rbf.emplace(e2e::Process::Start(kRbfProgram));
        box = e2e::WaitForMessageBox(10s, rbf->Id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(e2e::ReadMessageBox(box).text, "Fail to open PXWNTCOM.sys!");
        EXPECT_TRUE(e2e::AnswerMessageBox(box, IDOK));
        EXPECT_TRUE(rbf->WaitForExit(10s).has_value());

        ASSERT_TRUE(RunQuietly("sc start PXWNTCOM"));
        ASSERT_TRUE(DeviceBack());
        const auto staleAfter = stale.Request(IOCTL_TOUCH_GET_PARAMETERS, &probe, sizeof probe, sizeof probe);
        EXPECT_NE(staleAfter.Error, 0u) << "an old handle after the start";
        std::printf("stale handle after sc start: error %lu\n", staleAfter.Error);
        // Nothing of what was done while the driver was gone reached it.
        EXPECT_EQ(DifferingBytes(standin->Block(), before), "");
        EXPECT_EQ(standin->State().OpenHandles, 1) << "only the test's own handle";
        EXPECT_EQ(standin->State().Rbf.RbfWindow, -1);
        ASSERT_NE(StartPanel(kProgram), nullptr);
        ExpectNoBox(*panel);
        EXPECT_TRUE(Shows(main, "Disable Power Down Function"));
        ExitPanel();
        panel.reset();
        rbf.reset();
    }
}

}  // namespace
