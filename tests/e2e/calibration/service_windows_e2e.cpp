// The test board and the controller information window of the real control panel, reached with
// the service gesture: a real right-button press with Shift and Ctrl held.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>

#include "drawing_surface.hpp"
#include "e2e/screenshot.hpp"
#include "service_session.hpp"

namespace {

using namespace std::chrono_literals;

class ServiceWindowsE2E : public ::testing::Test {
protected:
    void SetUp() override {
        standin.Reset();
        process.emplace(e2e::Process::Start(service::kProgram));
        main = e2e::WaitForTopLevelWindow(service::kTitle, 10s, {process->Id(), false});
        ASSERT_NE(main, nullptr);
        process->WaitForInputIdle(10s);
    }
    void TearDown() override { standin.Reset(); }

    HWND ServiceGesture(const char* button, const char* window) {
        auto control = e2e::FindControlByText(main, button);
        EXPECT_TRUE(control) << button;
        if (!control) return nullptr;
        e2e::MouseClickControl(control->window, e2e::MouseButton::Right, {.shift = true, .ctrl = true});
        return e2e::WaitForTopLevelWindow(window, 10s, {process->Id(), false});
    }
    void ExitProgram() {
        EXPECT_TRUE(e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms));
        auto exit = e2e::FindControlByText(main, "E&xit");
        ASSERT_TRUE(exit);
        e2e::PostButtonClick(exit->window);
        EXPECT_TRUE(process->WaitForExit(10s).has_value());
    }

    px::standin::StandinClient standin;
    std::optional<e2e::Process> process;
    HWND main = nullptr;
};

using bench::DrawingSurface;
using bench::Stroke;


TEST_F(ServiceWindowsE2E, TestBoardRunsInDragDropModeAndExitRestoresTheMode) {
    ASSERT_EQ(standin.Block().TouchMode, 1);
    HWND board = ServiceGesture("E&xit", "Test");
    ASSERT_NE(board, nullptr);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_TRUE(e2e::WaitFor([&] { return standin.Block().TouchMode == 4; }, 5000ms));
    HWND surface = DrawingSurface(board);
    ASSERT_NE(surface, nullptr);
    Stroke(surface, {{100, 100}, {200, 150}, {300, 120}, {400, 250}});
    Stroke(surface, {{150, 300}, {250, 400}, {500, 380}});
    auto widest = e2e::FindControlByText(board, " 4 ");
    ASSERT_TRUE(widest);
    PostMessageA(widest->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(widest->window, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    Stroke(surface, {{600, 100}, {700, 300}, {900, 200}});
    Sleep(500);
    e2e::SaveScreenshot(e2e::ArtifactsFolder() / "test-board-strokes.bmp");
    // The first stroke's blue pen shows on the surface.
    POINT at{100, 100};
    ClientToScreen(surface, &at);
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(pixel, RGB(0, 0, 255));

    auto exit = e2e::FindControlByText(board, "E&xit Test");
    ASSERT_TRUE(exit);
    e2e::PostButtonClick(exit->window);
    EXPECT_TRUE(e2e::WaitForWindowGone(board, 10s));
    EXPECT_EQ(standin.Block().TouchMode, 1);
    ExitProgram();
}

TEST_F(ServiceWindowsE2E, TestBoardIsTopmostAndItsHelpBoxHasAGreyInnerArea) {
    HWND board = ServiceGesture("E&xit", "Test");
    ASSERT_NE(board, nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(board, GWL_EXSTYLE) & WS_EX_TOPMOST);
    Sleep(500);
    e2e::SaveScreenshot(e2e::ArtifactsFolder() / "test-board.bmp");
    // The tool bar is the bottom 37 pixels; the framed help box starts at its left, its inner
    // area 8 pixels in from the frame.
    RECT area;
    GetWindowRect(board, &area);
    HDC screen = GetDC(nullptr);
    const COLORREF inner = GetPixel(screen, area.left + 30, area.bottom - 18);
    const COLORREF frame = GetPixel(screen, area.left + 30, area.bottom - 34);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(inner, RGB(192, 192, 192));
    EXPECT_NE(frame, RGB(192, 192, 192));
    auto exit = e2e::FindControlByText(board, "E&xit Test");
    ASSERT_TRUE(exit);
    e2e::PostButtonClick(exit->window);
    EXPECT_TRUE(e2e::WaitForWindowGone(board, 10s));
    ExitProgram();
}

TEST_F(ServiceWindowsE2E, TestBoardClosedFromOutsideGivesTheModeBackAndEnds) {
    ASSERT_EQ(standin.Block().TouchMode, 1);
    HWND board = ServiceGesture("E&xit", "Test");
    ASSERT_NE(board, nullptr);
    EXPECT_TRUE(e2e::WaitFor([&] { return standin.Block().TouchMode == 4; }, 5000ms));
    PostMessageA(board, WM_CLOSE, 0, 0);
    EXPECT_EQ(process->WaitForExit(10s), std::optional<DWORD>(0));
    EXPECT_EQ(standin.Block().TouchMode, 1);
}

TEST_F(ServiceWindowsE2E, ControllerInformationShowsThePresetBlock) {
    // Preset before the program reads its block.
    process->Kill();
    auto block = standin.Block();
    block.McuMode = 0xD4;
    block.McuVersion = 0x42;
    const std::uint8_t code[] = {0x00, 0x00, 0x12, 0xAB};
    std::copy(std::begin(code), std::end(code), block.McuCode);
    standin.WriteBlock(block);
    process.emplace(e2e::Process::Start(service::kProgram));
    main = e2e::WaitForTopLevelWindow(service::kTitle, 10s, {process->Id(), false});
    ASSERT_NE(main, nullptr);
    process->WaitForInputIdle(10s);

    HWND info = ServiceGesture("&Serial Port", " MCU Information");
    ASSERT_NE(info, nullptr);
    const char line[] = "MCU-Mode=D4  MCU-Version=4.2  MCU-Code=000012AB";
    auto found = e2e::FindControlByText(info, line);
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->visible);
    EXPECT_FALSE(IsWindowVisible(main));
    auto ok = e2e::FindControlByText(info, "&OK");
    ASSERT_TRUE(ok);
    e2e::PostButtonClick(ok->window);
    EXPECT_TRUE(e2e::WaitForWindowGone(info, 10s));
    ExitProgram();
}

}  // namespace
