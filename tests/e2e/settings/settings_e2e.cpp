// The settings windows of the real control panel under Wine against the driver stand-in.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <thread>

#include "e2e/process.hpp"
#include "e2e/screenshot.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "standin_client.hpp"

namespace {

using namespace std::chrono_literals;

const char kProgram[] = "C:\\Program Files\\TouchScreen\\PXwNTccp.exe";
const char kRbfProgram[] = "C:\\Program Files\\TouchScreen\\PXwNTcrb.exe";
const char kTitle[] = " TouchScreen Control Panel #PX-K17-COM";

// Offsets of the block's bytes that differ, empty when none do.
std::string DifferingBytes(const PX_PARAMETER_BLOCK& a, const PX_PARAMETER_BLOCK& b) {
    std::string offsets;
    const auto* x = reinterpret_cast<const unsigned char*>(&a);
    const auto* y = reinterpret_cast<const unsigned char*>(&b);
    for (std::size_t i = 0; i < sizeof a; ++i)
        if (x[i] != y[i])
            offsets += std::to_string(i) + ":" + std::to_string(x[i]) + "/" + std::to_string(y[i]) + " ";
    return offsets;
}

class SettingsE2E : public ::testing::Test {
protected:
    void SetUp() override { standin.Reset(); }
    void TearDown() override {
        // A right-button program left behind by a failed check must not outlive the test.
        const auto rbf = standin.State().Rbf.RbfWindow;
        if (rbf != -1) SendMessageA(reinterpret_cast<HWND>(static_cast<INT_PTR>(rbf)), WM_USER, 4110, 0);
    }

    HWND Start(const std::string& program) {
        process.emplace(e2e::Process::Start(program));
        main = e2e::WaitForTopLevelWindow(kTitle, 10s, {process->Id(), false});
        return main;
    }
    // Clicks a main-window button and returns the settings window it shows (same caption).
    HWND OpenFromMain(const char* button) {
        Click(main, button);
        if (!e2e::WaitFor([&] { return IsWindowVisible(main) == FALSE; }, 5000ms)) return nullptr;
        return e2e::WaitForTopLevelWindow(kTitle, 5s, {process->Id(), false});
    }
    bool MainShowsAgain() {
        return e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms);
    }
    // Buttons, options and check boxes only: a label may carry the same words ("Fast").
    static void Click(HWND window, const char* caption) {
        for (const auto& control : e2e::ListControls(window))
            if (_stricmp(control.className.c_str(), "Button") == 0 && control.text == caption) {
                SendMessageA(control.window, BM_CLICK, 0, 0);
                return;
            }
        ADD_FAILURE() << "no button " << caption;
    }
    static void Scroll(HWND window, std::size_t index, int position) {
        auto bar = e2e::FindControlByClass(window, "ScrollBar", index);
        ASSERT_TRUE(bar);
        SendMessageA(GetParent(bar->window), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position),
                     reinterpret_cast<LPARAM>(bar->window));
    }
    static void ChooseInCombo(HWND window, std::size_t index, int item) {
        auto box = e2e::FindControlByClass(window, "ComboBox", index);
        ASSERT_TRUE(box);
        SendMessageA(box->window, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageA(GetParent(box->window), WM_COMMAND, MAKEWPARAM(box->id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(box->window));
    }
    static bool Shows(HWND window, const char* text) {
        return e2e::WaitFor(
            [&] {
                auto control = e2e::FindControlByText(window, text);
                return control && control->visible;
            },
            3000ms);
    }
    static void Screenshot(const char* name) {
        std::this_thread::sleep_for(700ms);  // let the window manager map it and Wine paint it
        const auto file = e2e::ArtifactsFolder() / (std::string(name) + ".bmp");
        EXPECT_TRUE(e2e::SaveScreenshot(file)) << file.string();
    }

    px::standin::StandinClient standin;
    std::optional<e2e::Process> process;
    HWND main = nullptr;
};

TEST_F(SettingsE2E, ChangesInFourWindowsReachTheDriverAndTheSummaries) {
    auto block = standin.Block();
    block.TouchMode = 1;
    block.RightButton = 0;
    block.FeedbackSound = 1;
    block.HSpeed = block.VSpeed = 10;
    block.Acceleration = 1;
    block.PowerDownTime = 0;
    standin.WriteBlock(block);
    ASSERT_NE(Start(kProgram), nullptr);

    HWND w = OpenFromMain("&Virtual Button");
    ASSERT_NE(w, nullptr);
    Click(w, " Touch Down Mode");
    Screenshot("frmVirtualButton");
    Click(w, "&OK");
    ASSERT_TRUE(MainShowsAgain());
    EXPECT_EQ(standin.Block().TouchMode, 3);
    EXPECT_TRUE(Shows(main, "Touch Down Mode (RBF=Disable)"));

    w = OpenFromMain("&Feedback Sound");
    ASSERT_NE(w, nullptr);
    Click(w, " Both Touch Down && Lift Off");
    Screenshot("frmFeedbackSound");
    Click(w, "&OK");
    ASSERT_TRUE(MainShowsAgain());
    EXPECT_EQ(standin.Block().FeedbackSound, 4);
    EXPECT_TRUE(Shows(main, "Both Touch Down && Lift Off"));

    w = OpenFromMain("&Mouse Speed");
    ASSERT_NE(w, nullptr);
    Scroll(w, 0, 14);  // linked: the speeds were equal, so the vertical one follows
    Click(w, "Fast");
    EXPECT_TRUE(Shows(w, "70%"));
    Screenshot("frmMouseSpeed");
    Click(w, "&OK");
    ASSERT_TRUE(MainShowsAgain());
    const auto speeds = standin.Block();
    EXPECT_EQ(speeds.HSpeed, 14);
    EXPECT_EQ(speeds.VSpeed, 14);
    EXPECT_EQ(speeds.Acceleration, 3);
    EXPECT_TRUE(Shows(main, "HS=70%, VS=70%, Acceleration=Fast"));

    w = OpenFromMain("&Power Save");
    ASSERT_NE(w, nullptr);
    Scroll(w, 0, 6);
    EXPECT_TRUE(Shows(w, "Power Down When Idel  1 Min. "));
    Screenshot("frmSleepTime");
    Click(w, "&OK");
    ASSERT_TRUE(MainShowsAgain());
    EXPECT_EQ(standin.Block().PowerDownTime, 6);
    EXPECT_TRUE(Shows(main, "Power Down When Idel  1 Min. "));

    // Nothing but the four groups' own fields moved.
    auto expected = block;
    expected.TouchMode = 3;
    expected.FeedbackSound = 4;
    expected.HSpeed = expected.VSpeed = 14;
    expected.Acceleration = 3;
    expected.PowerDownTime = 6;
    const auto now = standin.Block();
    EXPECT_EQ(DifferingBytes(now, expected), "");
    Click(main, "E&xit");
    EXPECT_TRUE(process->WaitForExit(10s).has_value());
}

TEST_F(SettingsE2E, CancelAndTheCloseBoxSendNothing) {
    ASSERT_NE(Start(kProgram), nullptr);
    const auto before = standin.Block();
    standin.ClearJournal();
    struct Step {
        const char* Button;
        const char* Option;
        bool CloseBox;
    };
    for (const Step s : {Step{"&Virtual Button", " Drag Drop Mode", false}, Step{"&Feedback Sound", " Lift Off Only", true},
                         Step{"&Mouse Speed", "Off", false}, Step{"&Power Save", nullptr, true}}) {
        SCOPED_TRACE(s.Button);
        HWND w = OpenFromMain(s.Button);
        ASSERT_NE(w, nullptr);
        if (s.Option)
            Click(w, s.Option);
        else
            Scroll(w, 0, 29);
        EXPECT_TRUE(e2e::FindControlByText(w, "&Apply")->enabled);
        if (s.CloseBox)
            PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);  // what the close box gives the window
        else
            Click(w, "&Cancel");
        ASSERT_TRUE(MainShowsAgain());
    }
    EXPECT_EQ(standin.Journal().size(), 0u);
    const auto after = standin.Block();
    EXPECT_EQ(DifferingBytes(before, after), "");
    Click(main, "E&xit");
}

TEST_F(SettingsE2E, ApplyWithEnableStartsTheRightButtonProgramAndDisableClosesIt) {
    if (!std::filesystem::exists(kRbfProgram)) GTEST_SKIP() << kRbfProgram << " is not installed";
    auto block = standin.Block();
    block.RightButton = 0;
    standin.WriteBlock(block);
    ASSERT_NE(Start(kProgram), nullptr);
    HWND w = OpenFromMain("&Virtual Button");
    ASSERT_NE(w, nullptr);
    Click(w, "Enable");
    Click(w, "&Apply");
    EXPECT_EQ(standin.Block().RightButton, 1);
    const bool registered = e2e::WaitFor([&] { return standin.State().Rbf.RbfWindow != -1; }, 10000ms);
    ASSERT_TRUE(registered);
    const HWND rbf = reinterpret_cast<HWND>(static_cast<INT_PTR>(standin.State().Rbf.RbfWindow));
    EXPECT_TRUE(IsWindow(rbf));

    Click(w, "Disable");
    Click(w, "&Apply");
    EXPECT_EQ(standin.Block().RightButton, 0);
    EXPECT_TRUE(e2e::WaitForWindowGone(rbf, 10s));
    EXPECT_TRUE(e2e::WaitFor([&] { return standin.State().Rbf.RbfWindow == -1; }, 5000ms));
    Click(w, "&OK");
    ASSERT_TRUE(MainShowsAgain());
    Click(main, "E&xit");
}

// Setup and Touch Sensitivity are hidden in the product; a test build of the panel shows them.
TEST_F(SettingsE2E, HiddenWindowsWorkOnceTheirButtonsAreAvailable) {
    auto block = standin.Block();
    block.ComPort = 1;
    block.ComTable[0].Irq = 4;
    standin.WriteBlock(block);
    ASSERT_NE(Start(e2e::ToWindowsPath(UNLOCKED_PANEL_PATH)), nullptr);

    HWND serial = OpenFromMain("&Serial Port");
    ASSERT_NE(serial, nullptr);
    EXPECT_TRUE(Shows(serial, "  Serial Port Information  "));
    Screenshot("frmSerialPort");
    Click(serial, "&Setup");
    HWND setup = e2e::WaitForTopLevelWindow(" COM Port Configuration", 5s, {process->Id(), false});
    ASSERT_NE(setup, nullptr);
    EXPECT_FALSE(IsWindowVisible(serial));
    EXPECT_FALSE(e2e::FindControlByText(setup, "&Save")->enabled);
    ChooseInCombo(setup, 1, 2);  // COM1's IRQ box (after its address box): "5"
    EXPECT_TRUE(e2e::FindControlByText(setup, "&Save")->enabled);
    Screenshot("frmCOMxSet");
    Click(setup, "&OK");
    EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(serial) != FALSE; }, 5000ms));
    auto expected = block;
    expected.ComTable[0].Irq = 5;
    const auto saved = standin.Block();
    EXPECT_EQ(DifferingBytes(saved, expected), "");
    EXPECT_TRUE(Shows(serial, "COM1, Port=03F8h, IRQ=5"));
    Click(serial, "&OK");
    ASSERT_TRUE(MainShowsAgain());

    HWND sensitivity = OpenFromMain("&Touch Sensitivity");
    ASSERT_NE(sensitivity, nullptr);
    const auto controls = e2e::ListControls(sensitivity);
    EXPECT_TRUE(std::any_of(controls.begin(), controls.end(), [](const e2e::ControlInfo& c) {
        return c.className == "Static" && c.text.empty() && (c.style & WS_BORDER) != 0;
    })) << "the test box has a single-line border";
    Scroll(sensitivity, 0, 127);
    EXPECT_TRUE(Shows(sensitivity, " 127"));
    Screenshot("frmSensitivity");
    Click(sensitivity, "&OK");
    ASSERT_TRUE(MainShowsAgain());
    EXPECT_EQ(standin.Block().Sensitivity, 0);
    Click(main, "E&xit");
}

}  // namespace
