// The calibration run of the real control panel under Wine, the stand-in playing a panel whose
// raw coordinates are a known linear function of the screen pixel.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "e2e/message_box.hpp"
#include "e2e/screenshot.hpp"
#include "service_session.hpp"
#include "shared/close_signal.hpp"

namespace {

using namespace std::chrono_literals;
using service::CodesSent;
using service::kCompleteText;
using service::RawX;
using service::RawY;
constexpr const auto& kCentres = service::kMarkCentres;

class CalibrationE2E : public ::testing::Test {
protected:
    void SetUp() override {
        standin.Reset();
        auto block = standin.Block();
        block.CalXMin = 11, block.CalXMax = 1001, block.CalYMin = 22, block.CalYMax = 990;
        block.ScreenWidth = 1024, block.ScreenHeight = 768;
        standin.WriteBlock(block);
        process.emplace(e2e::Process::Start(service::kProgram));
        main = e2e::WaitForTopLevelWindow(service::kTitle, 10s, {process->Id(), false});
        ASSERT_NE(main, nullptr);
    }
    void TearDown() override {
        standin.Lift();
        standin.Reset();
    }

    // Touches the four marks; returns when the keep question is up.
    HWND CalibrateFourCorners(bool screenshotAtFirstTarget = false) {
        HWND window = service::OpenCalibration(*process, main, standin);
        EXPECT_NE(window, nullptr);
        if (!window) return nullptr;
        if (screenshotAtFirstTarget) {
            Sleep(300);
            e2e::SaveScreenshot(e2e::ArtifactsFolder() / "calibration-target1.bmp");
        }
        for (const POINT& p : kCentres)
            EXPECT_TRUE(service::HoldUntilCaptured(standin, RawX(p.x), RawY(p.y))) << p.x << "," << p.y;
        HWND box = e2e::WaitForMessageBox(10s, process->Id());
        EXPECT_NE(box, nullptr);
        return box;
    }
    void ExitProgram() {
        EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms));
        auto exit = e2e::FindControlByText(main, "E&xit");
        ASSERT_TRUE(exit);
        e2e::PostButtonClick(exit->window);
        EXPECT_TRUE(process->WaitForExit(10s).has_value());
    }
    // Touches on the four marks after the run has gone: nothing may take them for targets.
    void TouchFourCorners() {
        for (const POINT& p : kCentres) {
            standin.Touch(RawX(p.x), RawY(p.y));
            for (int i = 0; i < 4; ++i) {
                Sleep(60);
                standin.Move(RawX(p.x), RawY(p.y));
            }
            standin.Lift();
            Sleep(100);
        }
    }
    bool CalibrationSent() {
        for (const auto& entry : standin.Journal())
            if (entry.Code == IOCTL_TOUCH_SET_CALIBRATION) return true;
        return false;
    }
    void ExpectCalibration(int xMin, int xMax, int yMin, int yMax) {
        const auto block = standin.Block();
        EXPECT_EQ(block.CalXMin, xMin);
        EXPECT_EQ(block.CalXMax, xMax);
        EXPECT_EQ(block.CalYMin, yMin);
        EXPECT_EQ(block.CalYMax, yMax);
    }

    px::standin::StandinClient standin;
    std::optional<e2e::Process> process;
    HWND main = nullptr;
};

// Captures X 77/944 and Y 96/905. Pushed out by 868/992 x 16 = 14 and 810/736 x 16 = 17.61:
// X 63..958, Y 78..923 — the panel's own edges (64..960, 80..924) to within two units.
TEST_F(CalibrationE2E, FourMarksAndYesLeaveTheNewEdgesInTheDriver) {
    HWND box = CalibrateFourCorners(true);
    ASSERT_NE(box, nullptr);
    const auto info = e2e::ReadMessageBox(box);
    EXPECT_EQ(info.title, "TouchScreen Calibration");
    EXPECT_EQ(info.text, kCompleteText);
    // The new edges are in force while the question is open.
    ExpectCalibration(63, 958, 78, 923);
    EXPECT_TRUE(e2e::AnswerMessageBox(box, IDYES));
    ExitProgram();
    ExpectCalibration(63, 958, 78, 923);
    EXPECT_EQ(CodesSent(standin), (std::vector<std::int32_t>{5, 5, 5, 5, 0}));
}

// Whether one top-level window lies above the other.
bool Above(HWND upper, HWND lower) {
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower) return true;
    return false;
}

bool Topmost(HWND window) { return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// Above the taskbar for the whole run; the closing question (whose test touches go anywhere on
// the screen) stays above the window.
TEST_F(CalibrationE2E, TheWindowIsTopmostToTheEndWithItsQuestionAboveIt) {
    HWND box = CalibrateFourCorners();
    ASSERT_NE(box, nullptr);
    HWND window = e2e::FindTopLevelWindow("Calibration", {process->Id(), false});
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(Topmost(window));
    EXPECT_TRUE(Topmost(box));
    EXPECT_TRUE(Above(box, window));
    EXPECT_TRUE(e2e::AnswerMessageBox(box, IDYES));
    ExitProgram();
    EXPECT_FALSE(Topmost(main));
}

// A finger resting where the controller sends no new report keeps the capture polling without
// window events; the window must not count as hung (Windows puts a ghost over it after 5 s).
TEST_F(CalibrationE2E, AFingerRestingForLongLeavesTheWindowResponding) {
    HWND window = service::OpenCalibration(*process, main, standin);
    ASSERT_NE(window, nullptr);
    standin.Touch(RawX(15), RawY(15));  // one report, never followed by another
    Sleep(6500);
    EXPECT_FALSE(IsHungAppWindow(window));
    standin.Lift();
    e2e::PostKey(window, VK_ESCAPE);
    HWND box = e2e::WaitForMessageBox(10s, process->Id());
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(e2e::AnswerMessageBox(box, IDYES));
    EXPECT_TRUE(e2e::WaitForWindowGone(window, 10s));
    ExitProgram();
    EXPECT_EQ(CodesSent(standin), (std::vector<std::int32_t>{0, 4}));
}

TEST_F(CalibrationE2E, NoPutsTheOldEdgesBack) {
    HWND box = CalibrateFourCorners();
    ASSERT_NE(box, nullptr);
    ExpectCalibration(63, 958, 78, 923);
    EXPECT_TRUE(e2e::AnswerMessageBox(box, IDNO));
    ExitProgram();
    ExpectCalibration(11, 1001, 22, 990);
}

TEST_F(CalibrationE2E, EscapeAndYesBreakOffWithCodeFour) {
    HWND window = service::OpenCalibration(*process, main, standin);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(service::HoldUntilCaptured(standin, RawX(15), RawY(15)));
    e2e::PostKey(window, VK_ESCAPE);
    HWND box = e2e::WaitForMessageBox(10s, process->Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::ReadMessageBox(box).text, "Are you sure you want to break calibration?");
    EXPECT_TRUE(e2e::AnswerMessageBox(box, IDYES));
    EXPECT_TRUE(e2e::WaitForWindowGone(window, 10s));
    ExitProgram();
    EXPECT_EQ(CodesSent(standin), (std::vector<std::int32_t>{5, 0, 4}));
    ExpectCalibration(11, 1001, 22, 990);
}

// Message boxes of a visible top-level kind that the program has open.
int OpenBoxes(DWORD processId) {
    struct Search {
        DWORD process;
        int count;
    } search{processId, 0};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            if (owner == s->process && IsWindowVisible(window) && std::string(name) == "#32770") ++s->count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

// The user tests the new edges with the finger while the question is open; neither the touch
// nor a key may reach the finished run behind it.
TEST_F(CalibrationE2E, TheClosingQuestionBlocksTheWindowBehindIt) {
    HWND box = CalibrateFourCorners();
    ASSERT_NE(box, nullptr);
    HWND window = e2e::FindTopLevelWindow("Calibration", {process->Id(), false});
    ASSERT_NE(window, nullptr);
    const auto codes = CodesSent(standin);
    RECT area;
    GetWindowRect(window, &area);
    EXPECT_TRUE(e2e::MouseClick(POINT{area.left + 100, area.top + 100}));
    EXPECT_TRUE(e2e::PressKey(VK_ESCAPE));
    Sleep(700);
    EXPECT_EQ(OpenBoxes(process->Id()), 1);
    // Wine, unlike Windows, closes a Yes/No box on Escape: the program asks again.
    box = e2e::WaitForMessageBox(5s, process->Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::ReadMessageBox(box).text, kCompleteText);
    EXPECT_EQ(CodesSent(standin), codes);
    EXPECT_TRUE(e2e::AnswerMessageBox(box, IDYES));
    ExitProgram();
    ExpectCalibration(63, 958, 78, 923);
}

TEST_F(CalibrationE2E, SessionEndAtTheClosingQuestionPutsTheOldEdgesBack) {
    HWND box = CalibrateFourCorners();
    ASSERT_NE(box, nullptr);
    HWND window = e2e::FindTopLevelWindow("Calibration", {process->Id(), false});
    ASSERT_NE(window, nullptr);
    ExpectCalibration(63, 958, 78, 923);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer);
    SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &answer);
    EXPECT_EQ(process->WaitForExit(10s), std::optional<DWORD>(0));
    ExpectCalibration(11, 1001, 22, 990);
    EXPECT_EQ(standin.State().OpenHandles, 1);
}

// Which window a close reaches decides nothing; who sends it does. Another program's close ends
// the program once the run has ended the way it ends without a Yes; the user's Alt+F4 is a
// confirmed break and goes back to the main window.
TEST_F(CalibrationE2E, ACloseFromOutsideAtTheClosingQuestionPutsTheOldEdgesBackAndEnds) {
    HWND box = CalibrateFourCorners();
    ASSERT_NE(box, nullptr);
    HWND window = e2e::FindTopLevelWindow("Calibration", {process->Id(), false});
    ASSERT_NE(window, nullptr);
    ExpectCalibration(63, 958, 78, 923);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(process->WaitForExit(10s), std::optional<DWORD>(0));
    EXPECT_EQ(OpenBoxes(process->Id()), 0);
    ExpectCalibration(11, 1001, 22, 990);
    EXPECT_EQ(standin.State().OpenHandles, 1);
}

TEST_F(CalibrationE2E, AltF4AtATargetBreaksOffAndGoesBackToTheMainWindow) {
    HWND window = service::OpenCalibration(*process, main, standin);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(service::HoldUntilCaptured(standin, RawX(15), RawY(15)));  // target 2 is next
    ASSERT_TRUE(e2e::BringToForeground(window));
    EXPECT_TRUE(e2e::PressKey(VK_F4, {.alt = true}));
    EXPECT_TRUE(e2e::WaitForWindowGone(window, 10s));
    EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms));
    TouchFourCorners();
    EXPECT_EQ(CodesSent(standin), (std::vector<std::int32_t>{5, 4}));
    EXPECT_FALSE(CalibrationSent());
    EXPECT_EQ(OpenBoxes(process->Id()), 0);
    CURSORINFO cursor{sizeof cursor};
    ASSERT_TRUE(GetCursorInfo(&cursor));
    EXPECT_TRUE(cursor.flags & CURSOR_SHOWING);
    ExitProgram();
    ExpectCalibration(11, 1001, 22, 990);
}

TEST_F(CalibrationE2E, ACloseSentFromAnotherProgramAtTheFirstTargetBreaksOffAndEnds) {
    HWND window = service::OpenCalibration(*process, main, standin);
    ASSERT_NE(window, nullptr);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &answer);
    EXPECT_EQ(process->WaitForExit(10s), std::optional<DWORD>(0));
    TouchFourCorners();
    EXPECT_EQ(CodesSent(standin), std::vector<std::int32_t>{4});
    EXPECT_FALSE(CalibrationSent());
    ExpectCalibration(11, 1001, 22, 990);
}

// What the setup package sets, from whatever session and account it runs in.
TEST_F(CalibrationE2E, TheCloseSignalEndsTheRunAsACloseFromOutside) {
    HWND window = service::OpenCalibration(*process, main, standin);
    ASSERT_NE(window, nullptr);
    HANDLE signal = CreateEventExA(nullptr, px::kCloseSignalName, CREATE_EVENT_MANUAL_RESET,
                                   EVENT_MODIFY_STATE | SYNCHRONIZE);
    ASSERT_NE(signal, nullptr);
    SetEvent(signal);
    EXPECT_EQ(process->WaitForExit(10s), std::optional<DWORD>(0));
    ResetEvent(signal);
    CloseHandle(signal);
    EXPECT_EQ(CodesSent(standin), std::vector<std::int32_t>{4});
    ExpectCalibration(11, 1001, 22, 990);
    EXPECT_EQ(standin.State().OpenHandles, 1);
}

}  // namespace
