// The real control panel under Wine against the driver stand-in, driven as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>

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

class ControlPanelE2E : public ::testing::Test {
protected:
    void SetUp() override { standin.Reset(); }

    static HWND WaitMain(const e2e::Process& process) {
        return e2e::WaitForTopLevelWindow(kTitle, 10s, {process.Id(), false});
    }
    static std::string TextOf(HWND window, const char* text) {
        auto control = e2e::FindControlByText(window, text);
        return control && control->visible ? control->text : std::string();
    }
    static void Click(HWND window, const char* caption) {
        auto button = e2e::FindControlByText(window, caption);
        ASSERT_TRUE(button) << caption;
        SendMessageA(button->window, BM_CLICK, 0, 0);
    }

    px::standin::StandinClient standin;
};

TEST_F(ControlPanelE2E, MainWindowShowsTheSixSummariesOfTheDriversBlock) {
    auto block = standin.Block();
    block.ComPort = 2;
    block.PortAddress = 0x2F8;
    block.PortIrq = 3;
    block.BaudCode = 6;
    block.TouchMode = 2;
    block.RightButton = 1;
    block.FeedbackSound = 3;
    block.HSpeed = 12;
    block.VSpeed = 7;
    block.Acceleration = 2;
    block.PowerDownTime = 9;
    standin.WriteBlock(block);

    e2e::Process process = e2e::Process::Start(kProgram);
    HWND main = WaitMain(process);
    ASSERT_NE(main, nullptr);
    for (const char* text : {"COM2, Port=02F8, IRQ=3, (19200,N,8,1)", "Lift Off Mode (RBF=Enable)", "Lift Off Only",
                             "HS=60%, VS=35%, Acceleration=Medium", "Power Down When Idel  1 Min.  30 Sec.",
                             "TouchScreen Control Panel Version K306.COM", "Veldrant Touch Systems"})
        EXPECT_EQ(TextOf(main, text), text);
    // Hidden service buttons stay hidden.
    auto test = e2e::FindControlByText(main, "&Test");
    ASSERT_TRUE(test);
    EXPECT_FALSE(test->visible);
    EXPECT_FALSE(test->enabled);
    EXPECT_EQ(standin.State().OpenHandles, 2u);  // the program's and ours

    Click(main, "E&xit");
    EXPECT_EQ(process.WaitForExit(10s), std::optional<DWORD>(0));
    EXPECT_EQ(standin.State().OpenHandles, 1u);
}

TEST_F(ControlPanelE2E, SecondStartBringsTheFirstForwardAndEnds) {
    e2e::Process first = e2e::Process::Start(kProgram);
    HWND main = WaitMain(first);
    ASSERT_NE(main, nullptr);
    e2e::Process second = e2e::Process::Start(kProgram);
    EXPECT_TRUE(second.WaitForExit(10s).has_value());
    EXPECT_EQ(e2e::FindMessageBox(second.Id()), nullptr);
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(e2e::FindTopLevelWindow(kTitle, {first.Id(), true}), main);
    Click(main, "E&xit");
    EXPECT_TRUE(first.WaitForExit(10s).has_value());
}

TEST_F(ControlPanelE2E, SecondStartRestoresAMinimizedFirstCopy) {
    e2e::Process first = e2e::Process::Start(kProgram);
    HWND main = WaitMain(first);
    ASSERT_NE(main, nullptr);
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(e2e::WaitFor([&] { return IsIconic(main) != FALSE; }, 5000ms));
    e2e::Process second = e2e::Process::Start(kProgram);
    EXPECT_TRUE(second.WaitForExit(10s).has_value());
    EXPECT_TRUE(e2e::WaitFor([&] { return !IsIconic(main) && IsWindowVisible(main); }, 5000ms));
    Click(main, "E&xit");
    EXPECT_TRUE(first.WaitForExit(10s).has_value());
}

TEST_F(ControlPanelE2E, AboutOpensFromTheIconAndTheButtonAndReturns) {
    e2e::Process process = e2e::Process::Start(kProgram);
    HWND main = WaitMain(process);
    ASSERT_NE(main, nullptr);
    // No vendor bitmap on the bench: the button offers About.
    Click(main, "&About");
    HWND about = e2e::WaitForTopLevelWindow(" About", 5s, {process.Id(), false});
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(TextOf(about, "Veldrant Touch Systems"), "Veldrant Touch Systems");
    EXPECT_EQ(TextOf(about, "TouchScreen Control Panel Version K306.COM"),
              "TouchScreen Control Panel Version K306.COM");
    PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);  // the user's close
    EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms));
    Click(main, "E&xit");
    EXPECT_TRUE(process.WaitForExit(10s).has_value());
}

void ExpectFatalBox(e2e::Process& process, const std::string& title, const std::string& text) {
    HWND box = e2e::WaitForMessageBox(10s, process.Id());
    ASSERT_NE(box, nullptr);
    const auto info = e2e::ReadMessageBox(box);
    EXPECT_EQ(info.title, title);
    EXPECT_EQ(info.text, text);
    EXPECT_EQ(info.icon, e2e::MessageBoxIcon::Stop);
    EXPECT_TRUE(info.topmost);
    EXPECT_TRUE(e2e::AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(process.WaitForExit(10s).has_value());
}

TEST_F(ControlPanelE2E, WithoutTheOemValuesItSaysSoAndEnds) {
    bench::SavedOemKey saved;
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kOemPath, "HardwareID");
    e2e::Process process = e2e::Process::Start(kProgram);
    ExpectFatalBox(process, kTitle, "Fail to load data from Register File!");
    EXPECT_EQ(standin.State().OpenHandles, 1u);
}

TEST_F(ControlPanelE2E, WithoutTheDriverItSaysSoAndEnds) {
    auto stop = e2e::RunAndCapture("sc stop PXWNTCOM", 20s);
    ASSERT_EQ(stop.exitCode, std::optional<DWORD>(0)) << stop.output;
    e2e::Process process = e2e::Process::Start(kProgram);
    ExpectFatalBox(process, "TouchScreen Control Panel", "Fail to open PXWNTCOM.sys!");
    auto start = e2e::RunAndCapture("sc start PXWNTCOM", 20s);
    EXPECT_EQ(start.exitCode, std::optional<DWORD>(0)) << start.output;
    // The tests after this one need the device back, not only the service started.
    const bool back = e2e::WaitFor(
        [] {
            try {
                px::standin::StandinClient probe;
                return true;
            } catch (const std::exception&) {
                return false;
            }
        },
        10000ms);
    EXPECT_TRUE(back);
}

// An upgrade, a session end or a management tool closes the panel with a sent WM_CLOSE; the
// process must end with it, not run on without a window.
TEST_F(ControlPanelE2E, ACloseSentFromOutsideEndsTheProgram) {
    e2e::Process process = e2e::Process::Start(kProgram);
    HWND main = WaitMain(process);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(standin.State().OpenHandles, 2);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(main, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &answer);
    EXPECT_EQ(process.WaitForExit(5s), std::optional<DWORD>(0));
    EXPECT_EQ(standin.State().OpenHandles, 1);
}

}  // namespace
