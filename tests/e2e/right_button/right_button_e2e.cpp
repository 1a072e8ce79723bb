// The real right-button program under Wine against the driver stand-in.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "e2e/input.hpp"
#include "e2e/message_box.hpp"
#include "e2e/screenshot.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "rbf_programs.hpp"
#include "shared/close_signal.hpp"
#include "standin_client.hpp"

namespace {

using namespace std::chrono_literals;
using rbf_e2e::HiddenStart;

constexpr UINT kWmUser = 0x400;

class RightButtonE2E : public ::testing::Test {
protected:
    void SetUp() override {
        rbf_e2e::KillRightButtonPrograms();
        standin.Reset();
    }
    void TearDown() override {
        rbf_e2e::KillRightButtonPrograms();
        standin.Reset();
    }

    HWND WaitShown(const HiddenStart& program) {
        HWND window = e2e::WaitForTopLevelWindow(rbf_e2e::kRbfCaption, 10s, {program.Id(), false});
        if (!window) {
            // What the program got to, for the failure's message.
            const auto state = standin.State();
            HWND hidden = e2e::FindTopLevelWindow(rbf_e2e::kRbfCaption, {program.Id(), true});
            HWND design = e2e::FindTopLevelWindow("TouchScreen Right Button", {program.Id(), true});
            ADD_FAILURE() << "no button window: running=" << !program.Ended(0) << " registered=" << state.Rbf.RbfWindow
                          << " handles=" << state.OpenHandles << " hidden=" << hidden << " design=" << design;
        }
        return window;
    }
    static HWND Button(HWND window) {
        auto button = e2e::FindControlByClass(window, "Button");
        return button ? button->window : nullptr;
    }
    std::int32_t Registered() { return standin.State().Rbf.RbfWindow; }
    std::int16_t Pending() { return standin.State().Rbf.RightClickPending; }
    static std::int32_t AsRecorded(HWND window) {
        return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(window));
    }

    px::standin::StandinClient standin;
};

TEST_F(RightButtonE2E, StartedHiddenItRegistersAndShowsTheButtonTopmostInTheWorkAreasCorner) {
    HiddenStart program(rbf_e2e::kRbfProgram);
    ASSERT_TRUE(program.Started());
    HWND window = WaitShown(program);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Registered(), AsRecorded(window));
    EXPECT_EQ(Pending(), 0);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    HWND button = Button(window);
    ASSERT_NE(button, nullptr);
    RECT client, buttonRect, outer, work;
    GetClientRect(window, &client);
    GetWindowRect(button, &buttonRect);
    GetWindowRect(window, &outer);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    HDC screen = GetDC(nullptr);
    const int buttonPixels = MulDiv(600, GetDeviceCaps(screen, LOGPIXELSX), 1440);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(buttonRect.right - buttonRect.left, buttonPixels);
    EXPECT_EQ(buttonRect.bottom - buttonRect.top, buttonPixels);
    EXPECT_EQ(client.right, buttonPixels);
    EXPECT_EQ(client.bottom, buttonPixels);
    // The window manager may nudge a window that touches the screen's corner by a pixel or so.
    EXPECT_LE(std::abs(outer.right - work.right), 2);
    EXPECT_LE(std::abs(outer.bottom - work.bottom), 2);
    EXPECT_TRUE(e2e::SaveScreenshot(e2e::ArtifactsFolder() / "right_button_corner.bmp"));
}

TEST_F(RightButtonE2E, ASecondCopyShowsTheFirstAndEndsLeavingTheRegistration) {
    HiddenStart first(rbf_e2e::kRbfProgram);
    HWND window = WaitShown(first);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(window, kWmUser, 4096, 0), 0);
    EXPECT_FALSE(IsWindowVisible(window));
    const auto registered = Registered();

    HiddenStart second(rbf_e2e::kRbfProgram);
    ASSERT_TRUE(second.Started());
    EXPECT_TRUE(second.Ended(10000));
    EXPECT_EQ(Registered(), registered);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(!first.Ended(0));
}

TEST_F(RightButtonE2E, AStaleRegistrationStillCountsAndTheNewCopyEnds) {
    standin.SetRbf({0x0BAD0, 0, {0, 0}});
    HiddenStart program(rbf_e2e::kRbfProgram);
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.Ended(10000));
    EXPECT_EQ(Registered(), 0x0BAD0);
}

TEST_F(RightButtonE2E, TheButtonArmsTheDriverAndATouchDisarmsItAndBringsTheButtonBack) {
    HiddenStart program(rbf_e2e::kRbfProgram);
    HWND window = WaitShown(program);
    ASSERT_NE(window, nullptr);
    HWND button = Button(window);
    ASSERT_TRUE(e2e::MouseClickControl(button));
    EXPECT_TRUE(e2e::WaitFor([&] { return Pending() == 1; }, 5000ms));
    EXPECT_FALSE(IsWindowVisible(button));
    EXPECT_EQ(Registered(), AsRecorded(window));

    standin.ClearJournal();
    standin.Touch(300, 300);
    standin.Lift();
    EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(button) != FALSE; }, 5000ms));
    const auto state = standin.State();
    EXPECT_EQ(state.RightClicks, 1u);
    EXPECT_EQ(state.Rbf.RightClickPending, 0);
    EXPECT_EQ(state.Rbf.RbfWindow, AsRecorded(window));
    // The program's own disarming request came after the touch.
    bool disarmed = false;
    for (const auto& entry : standin.Journal()) {
        PX_RBF_WINDOW_RECORD record{};
        std::memcpy(&record, entry.Input, sizeof record);
        if (entry.Code == IOCTL_TOUCH_SET_RBF_WINDOW && record.RightClickPending == 0) disarmed = true;
    }
    EXPECT_TRUE(disarmed);
}

TEST_F(RightButtonE2E, AClickOnTheEmptyWindowCancelsTheWait) {
    HiddenStart program(rbf_e2e::kRbfProgram);
    HWND window = WaitShown(program);
    ASSERT_NE(window, nullptr);
    HWND button = Button(window);
    ASSERT_TRUE(e2e::MouseClickControl(button));
    ASSERT_TRUE(e2e::WaitFor([&] { return Pending() == 1; }, 5000ms));
    ASSERT_TRUE(e2e::PostMouseClick(window, POINT{5, 5}, e2e::MouseButton::Right));
    EXPECT_TRUE(e2e::WaitFor([&] { return Pending() == 0; }, 5000ms));
    EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(button) != FALSE; }, 5000ms));
    EXPECT_EQ(standin.State().RightClicks, 0u);
}

TEST_F(RightButtonE2E, CloseMessageUnregistersAndEndsTheProgram) {
    HiddenStart program(rbf_e2e::kRbfProgram);
    HWND window = WaitShown(program);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(standin.State().OpenHandles, 2);
    EXPECT_EQ(SendMessageA(window, kWmUser, 4110, 0), 0);
    EXPECT_TRUE(program.Ended(10000));
    EXPECT_EQ(Registered(), -1);
    EXPECT_EQ(standin.State().OpenHandles, 1);
}

// Windows ends the program at logoff; ended while registered, the driver would keep a dead window
// and the next logon would start no button.
TEST_F(RightButtonE2E, SessionEndOrACloseFromOutsideUnregistersAndEnds) {
    enum class Way { SessionEndIdle, SessionEndArmed, CloseSent, CloseSignal };
    for (const Way way : {Way::SessionEndIdle, Way::SessionEndArmed, Way::CloseSent, Way::CloseSignal}) {
        SCOPED_TRACE(static_cast<int>(way));
        HiddenStart program(rbf_e2e::kRbfProgram);
        HWND window = WaitShown(program);
        ASSERT_NE(window, nullptr);
        if (way == Way::SessionEndArmed) {
            ASSERT_TRUE(e2e::MouseClickControl(Button(window)));
            ASSERT_TRUE(e2e::WaitFor([&] { return Pending() == 1; }, 5000ms));
        }
        DWORD_PTR answer = 0;
        if (way == Way::CloseSent) {
            SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &answer);
        } else if (way == Way::CloseSignal) {  // what the setup package sets, from any session
            HANDLE signal = CreateEventExA(nullptr, px::kCloseSignalName, CREATE_EVENT_MANUAL_RESET,
                                           EVENT_MODIFY_STATE | SYNCHRONIZE);
            ASSERT_NE(signal, nullptr);
            SetEvent(signal);
            EXPECT_TRUE(program.Ended(10000));
            ResetEvent(signal);
            CloseHandle(signal);
        } else {
            EXPECT_TRUE(SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer));
            EXPECT_NE(answer, 0u);  // it does not hold the session up
            SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &answer);
        }
        EXPECT_EQ(Registered(), -1);
        EXPECT_EQ(Pending(), 0);
        EXPECT_EQ(standin.State().OpenHandles, 1);
        EXPECT_TRUE(program.Ended(10000));
    }
}

TEST_F(RightButtonE2E, ItsFailureBoxBlocksTheButton) {
    HiddenStart program(rbf_e2e::kRbfProgram);
    HWND window = WaitShown(program);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, kWmUser, 0x1234, 0);
    HWND box = e2e::WaitForMessageBox(10s, program.Id());
    ASSERT_NE(box, nullptr);
    // Started hidden, the program's box belongs to its window: Windows hides the first unowned
    // window of a program started so, and its sender would wait on a box nobody sees.
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(GetWindow(box, GW_OWNER), window);
    e2e::MouseClickControl(Button(window));  // a real click: BM_CLICK would reach a disabled button
    Sleep(500);
    EXPECT_EQ(Pending(), 0);
    EXPECT_TRUE(e2e::AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(e2e::WaitForWindowGone(box, 5s));
    Sleep(300);
    EXPECT_EQ(Pending(), 0);
    // Answered, the button works again.
    ASSERT_TRUE(e2e::MouseClickControl(Button(window)));
    EXPECT_TRUE(e2e::WaitFor([&] { return Pending() == 1; }, 5000ms));
}

}  // namespace
