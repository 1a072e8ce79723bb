// Blocks, driver faults and the like that no well-behaved driver hands out, fed to the real
// control panel under Wine: it must keep running, show the defined texts and send nothing unasked.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "buttons.hpp"
#include "e2e/message_box.hpp"
#include "e2e/process.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "oem_key.hpp"
#include "standin_client.hpp"

namespace {

using namespace std::chrono_literals;

const char kProgram[] = "C:\\Program Files\\TouchScreen\\PXwNTccp.exe";
const char kTitle[] = " TouchScreen Control Panel #PX-K17-COM";
const char* const kOemPath = bench::kOemKeyPathA;
const auto& kOemNames = bench::kOemValueNames;
const char kRbfProgram[] = "C:\\Program Files\\TouchScreen\\PXwNTcrb.exe";
const char kRbfTitle[] = " TouchScreen Right-Button #PX-K17-COM";

bool IsSettingRequest(std::uint32_t code) {
    return (code >= IOCTL_TOUCH_SET_PORT_IRQS && code <= IOCTL_TOUCH_SET_POWER_DOWN &&
            code != IOCTL_TOUCH_CALIBRATION_CODE) ||
           code == IOCTL_TOUCH_SET_RBF_WINDOW;
}

using bench::ButtonOf;
using bench::Click;

class BadInputE2E : public ::testing::Test {
protected:
    void SetUp() override { standin.Reset(); }
    void TearDown() override {
        // A right-button program the panel started for a stored "enabled" must not outlive the test.
        const auto rbf = standin.State().Rbf.RbfWindow;
        if (rbf != -1) SendMessageA(reinterpret_cast<HWND>(static_cast<INT_PTR>(rbf)), WM_USER, 4110, 0);
        if (process) process->Kill();
        process.reset();
        standin.Reset();
    }

    HWND Start(const std::string& program) {
        process.emplace(e2e::Process::Start(program));
        main = e2e::WaitForTopLevelWindow(kTitle, 10s, {process->Id(), false});
        return main;
    }
    HWND OpenFromMain(const char* button) {
        if (!Click(main, button)) return nullptr;
        if (!e2e::WaitFor([&] { return IsWindowVisible(main) == FALSE; }, 5000ms)) return nullptr;
        return e2e::WaitForTopLevelWindow(kTitle, 5s, {process->Id(), false});
    }
    bool MainShowsAgain() {
        return e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms);
    }
    void ExpectStillRunning() {
        EXPECT_TRUE(process->IsRunning());
        EXPECT_EQ(e2e::FindMessageBox(process->Id()), nullptr);
    }
    void ExpectSummaries(const std::vector<std::string>& texts) {
        for (const auto& text : texts) {
            auto label = e2e::FindControlByText(main, text);
            EXPECT_TRUE(label.has_value()) << "main window lacks \"" << text << "\"";
        }
    }

    px::standin::StandinClient standin;
    std::optional<e2e::Process> process;
    HWND main = nullptr;
};

struct Preset {
    const char* Name;
    std::function<void(PX_PARAMETER_BLOCK&)> Fill;
    std::vector<std::string> Summaries;
};

std::vector<Preset> Presets() {
    return {
        {"all zeros", [](PX_PARAMETER_BLOCK& b) { std::memset(&b, 0, sizeof b); },
         {"COM0, Port=0000, IRQ=0, (,N,8,1)", "Invalid#0 (RBF=Disable)", "Invalid#0", "Level 127",
          "HS=0%, VS=0%, Acceleration=Invalid#0", "Disable Power Down Function"}},
        {"all 0xFF", [](PX_PARAMETER_BLOCK& b) { std::memset(&b, 0xFF, sizeof b); },
         {"COM255, Port=FFFF, IRQ=255, (Invalid#255,N,8,1)", "Invalid#255 (RBF=Invalid#255)", "Invalid#255",
          "Level -128", "Enable Bypass Mode", "Power Down When Idel  42 Min.  30 Sec."}},
        {"largest valid",
         [](PX_PARAMETER_BLOCK& b) {
             b.PortAddress = 0x3F8, b.PortIrq = 4, b.ComPort = 4, b.BaudCode = 11;
             b.TouchMode = 4, b.RightButton = 1, b.FeedbackSound = 4, b.Acceleration = 4;
             b.Sensitivity = 127, b.HSpeed = b.VSpeed = 20, b.PowerDownTime = 30, b.Bypass = 0;
         },
         {"COM4, Port=03F8, IRQ=4, (115200,N,8,1)", "Drag Drop Mode (RBF=Enable)", "Both Touch Down && Lift Off",
          "Level 0", "HS=100%, VS=100%, Acceleration=Off", "Power Down When Idel  5 Min. "}},
        {"one past the range",
         [](PX_PARAMETER_BLOCK& b) {
             b.PortAddress = 0x3F8, b.PortIrq = 4, b.ComPort = 5, b.BaudCode = 12;
             b.TouchMode = 5, b.RightButton = 2, b.FeedbackSound = 5, b.Acceleration = 5;
             b.Sensitivity = 128, b.HSpeed = b.VSpeed = 21, b.PowerDownTime = 31, b.Bypass = 0;
         },
         {"COM5, Port=03F8, IRQ=4, (Invalid#12,N,8,1)", "Invalid#5 (RBF=Invalid#2)", "Invalid#5", "Level -1",
          "HS=105%, VS=105%, Acceleration=Invalid#5", "Power Down When Idel  5 Min.  10 Sec."}},
        {"bypass past the range, speeds below",
         [](PX_PARAMETER_BLOCK& b) { b.Bypass = 2, b.HSpeed = 0, b.VSpeed = 0; },
         {"Enable Bypass Mode"}},
    };
}

TEST_F(BadInputE2E, StoredValuesOutOfRangeOpenEverySettingsWindowAndSendNothingOnCancel) {
    struct Window {
        const char* Button;
        const char* Close;  // Cancel where the window has one
        bool HasApply;
    };
    const Window windows[] = {{"&Serial Port", "&OK", false},        {"&Virtual Button", "&Cancel", true},
                              {"&Feedback Sound", "&Cancel", true},  {"&Mouse Speed", "&Cancel", true},
                              {"&Touch Sensitivity", "&Cancel", true}, {"&Power Save", "&Cancel", true}};
    for (const auto& preset : Presets()) {
        SCOPED_TRACE(preset.Name);
        standin.Reset();
        auto block = standin.Block();
        preset.Fill(block);
        standin.WriteBlock(block);
        ASSERT_NE(Start(e2e::ToWindowsPath(UNLOCKED_PANEL_PATH)), nullptr);
        ExpectSummaries(preset.Summaries);
        standin.ClearJournal();
        for (const auto& w : windows) {
            SCOPED_TRACE(w.Button);
            HWND window = OpenFromMain(w.Button);
            ASSERT_NE(window, nullptr);
            ExpectStillRunning();
            if (w.HasApply) {
                auto apply = ButtonOf(window, "&Apply");
                ASSERT_TRUE(apply);
                EXPECT_FALSE(apply->enabled);
            } else {
                // The port table behind Setup holds the same odd bytes.
                ASSERT_TRUE(Click(window, "&Setup"));
                HWND setup = e2e::WaitForTopLevelWindow(" COM Port Configuration", 5s, {process->Id(), false});
                ASSERT_NE(setup, nullptr);
                ExpectStillRunning();
                auto save = ButtonOf(setup, "&Save");
                ASSERT_TRUE(save);
                EXPECT_FALSE(save->enabled);
                ASSERT_TRUE(Click(setup, "&Cancel"));
                ASSERT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 5000ms));
            }
            ASSERT_TRUE(Click(window, w.Close));
            ASSERT_TRUE(MainShowsAgain());
        }
        ExpectStillRunning();
        for (const auto& entry : standin.Journal())
            EXPECT_FALSE(IsSettingRequest(entry.Code)) << std::hex << "sent 0x" << entry.Code;
        ExpectSummaries(preset.Summaries);
        // Nothing was applied, so the driver still holds the odd values.
        const auto after = standin.Block();
        EXPECT_EQ(std::memcmp(&after, &block, sizeof block), 0);
        Click(main, "E&xit");
        EXPECT_TRUE(process->WaitForExit(10s).has_value());
        const auto rbf = standin.State().Rbf.RbfWindow;
        if (rbf != -1) SendMessageA(reinterpret_cast<HWND>(static_cast<INT_PTR>(rbf)), WM_USER, 4110, 0);
        process.reset();
    }
}

TEST_F(BadInputE2E, EveryRequestFailingAtStartLeavesThePanelRunning) {
    const std::uint32_t codes[] = {IOCTL_TOUCH_GET_PARAMETERS,   IOCTL_TOUCH_GET_REPORT,
                                   IOCTL_TOUCH_CALIBRATION_CODE, IOCTL_TOUCH_SET_PORT_IRQS,
                                   IOCTL_TOUCH_SET_TOUCH_MODE,   IOCTL_TOUCH_SET_FEEDBACK_SOUND,
                                   IOCTL_TOUCH_SET_SENSITIVITY,  IOCTL_TOUCH_SET_MOUSE_SPEED,
                                   IOCTL_TOUCH_SET_CALIBRATION,  IOCTL_TOUCH_SET_SCREEN_SIZE,
                                   IOCTL_TOUCH_SET_POWER_DOWN,   IOCTL_TOUCH_GET_RBF_WINDOW,
                                   IOCTL_TOUCH_SET_RBF_WINDOW};
    for (const auto code : codes) {
        SCOPED_TRACE(testing::Message() << std::hex << "request 0x" << code);
        standin.Reset();
        standin.FailNext(code, 1000);
        ASSERT_NE(Start(kProgram), nullptr);
        ExpectStillRunning();
        // An unanswered block reads as zeros.
        if (code == IOCTL_TOUCH_GET_PARAMETERS)
            ExpectSummaries({"COM0, Port=0000, IRQ=0, (,N,8,1)", "Invalid#0 (RBF=Disable)", "Invalid#0",
                             "HS=0%, VS=0%, Acceleration=Invalid#0", "Disable Power Down Function"});
        standin.FailNext(code, 0);
        Click(main, "E&xit");
        EXPECT_TRUE(process->WaitForExit(10s).has_value());
        process.reset();
    }
}

TEST_F(BadInputE2E, OemValueMissingOrOfAnotherTypeIsFatalWhileEmptyAndLongOnesStart) {
    const std::string longText = bench::LongOemText();
    for (const char* name : kOemNames)
        for (const auto& c : bench::kOemDamages) {
            SCOPED_TRACE(testing::Message() << name << " " << c.Label);
            bench::SavedOemKey saved;
            ASSERT_TRUE(saved.Complete()) << "the bench's OEM key lacks a value";
            ASSERT_TRUE(bench::DamageOemValue(name, c.Kind));
            process.emplace(e2e::Process::Start(kProgram));
            if (c.Fatal) {
                HWND box = e2e::WaitForMessageBox(10s, process->Id());
                ASSERT_NE(box, nullptr);
                const auto info = e2e::ReadMessageBox(box, 0ms);
                EXPECT_EQ(info.title, kTitle);
                EXPECT_EQ(info.text, "Fail to load data from Register File!");
                EXPECT_TRUE(e2e::AnswerMessageBox(box, IDOK));
                EXPECT_TRUE(process->WaitForExit(10s).has_value());
                EXPECT_EQ(standin.State().OpenHandles, 1) << "the driver is not opened";
            } else {
                main = e2e::WaitForTopLevelWindow(kTitle, 10s, {process->Id(), false});
                ASSERT_NE(main, nullptr);
                ExpectStillRunning();
                if (std::strcmp(name, "VenderName") == 0 && c.Kind == bench::OemDamage::Long) {
                    EXPECT_TRUE(e2e::FindControlByText(main, longText).has_value()) << "the long vendor name shows";
                }
                Click(main, "E&xit");
                EXPECT_TRUE(process->WaitForExit(10s).has_value());
            }
            process.reset();
        }
}

TEST_F(BadInputE2E, RightButtonProgramActsOnItsThreeMessagesAndReportsEveryOther) {
    process.emplace(e2e::Process::Start(kRbfProgram));
    ASSERT_TRUE(e2e::WaitFor([&] { return standin.State().Rbf.RbfWindow != -1; }, 10000ms));
    const HWND rbf = reinterpret_cast<HWND>(static_cast<INT_PTR>(standin.State().Rbf.RbfWindow));
    ASSERT_TRUE(IsWindow(rbf));
    DWORD_PTR result = 1;
    for (WPARAM w = 0x0FF0; w <= 0x1010; ++w) {
        if (w == 4110) continue;  // it ends the program: last
        SCOPED_TRACE(testing::Message() << std::hex << "wParam 0x" << w);
        if (w == 4096 || w == 4097) {
            ASSERT_NE(SendMessageTimeoutA(rbf, WM_USER, w, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
            EXPECT_EQ(result, 0u);
            EXPECT_EQ(IsWindowVisible(rbf) != FALSE, w == 4097);
            continue;
        }
        // The box is modal inside the window procedure: post, so the test is free to answer it.
        ASSERT_TRUE(PostMessageA(rbf, WM_USER, w, 0x2A));
        HWND box = e2e::WaitForMessageBox(5s, process->Id());
        ASSERT_NE(box, nullptr);
        const auto info = e2e::ReadMessageBox(box, 0ms);
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(w));
        EXPECT_EQ(info.text, std::string("RBF_WndProc Fail! wParam=") + hex + "h, lParam=2Ah");
        EXPECT_EQ(info.title, kRbfTitle);
        EXPECT_TRUE(e2e::AnswerMessageBox(box, IDOK));
        EXPECT_TRUE(e2e::WaitForWindowGone(box, 5s));
        EXPECT_TRUE(process->IsRunning());
    }
    EXPECT_TRUE(IsWindowVisible(rbf));
    EXPECT_EQ(standin.State().Rbf.RbfWindow, static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(rbf)));
    ASSERT_NE(SendMessageTimeoutA(rbf, WM_USER, 4110, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
    EXPECT_TRUE(process->WaitForExit(10s).has_value());
    EXPECT_EQ(standin.State().Rbf.RbfWindow, -1);
}

}  // namespace
