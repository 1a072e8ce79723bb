// The real start-up program under Wine against the driver stand-in.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "e2e/process.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "mouse_settings.hpp"
#include "rbf_programs.hpp"
#include "standin_client.hpp"

namespace {

using namespace std::chrono_literals;
using bench::MouseValue;
using bench::SetMouseValue;

const char kProgram[] = "C:\\Program Files\\TouchScreen\\PXwNTcao.exe";
const char kTitle[] = " TouchScreen System Startup #PX-K17-COM";


class StartupE2E : public ::testing::Test {
protected:
    void SetUp() override {
        rbf_e2e::KillRightButtonPrograms();
        standin.Reset();
        mouse.emplace();
        SetMouseValue("DoubleClickWidth", "4");
        SetMouseValue("DoubleClickHeight", "4");
    }
    void TearDown() override {
        rbf_e2e::KillRightButtonPrograms();
        standin.Reset();
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
    // Runs the program to its own end; how long it lived, from start to end.
    std::chrono::milliseconds RunToTheEnd() {
        const auto start = std::chrono::steady_clock::now();
        e2e::Process process = e2e::Process::Start(kProgram);
        EXPECT_NE(e2e::WaitForTopLevelWindow(kTitle, 10s, {process.Id(), false}), nullptr);
        EXPECT_EQ(process.WaitForExit(10s), std::optional<DWORD>(0));
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    }

    px::standin::StandinClient standin;

private:
    std::optional<bench::SavedDoubleClickArea> mouse;
};

TEST_F(StartupE2E, WithTheFunctionOnItWritesTheDoubleClickAreaTellsTheScreenSizeAndStartsTheButton) {
    DriverHas(1);
    const auto lived = RunToTheEnd();
    // About one second of pause, plus the start of a Wine process.
    EXPECT_GE(lived.count(), 500);
    EXPECT_LE(lived.count(), 4000);

    for (const char* name : {"DoubleClickWidth", "DoubleClickHeight"}) {
        DWORD type = 0;
        EXPECT_EQ(MouseValue(name, &type), std::optional<std::string>("32")) << name;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
    }
    const auto block = standin.Block();
    EXPECT_EQ(block.ScreenWidth, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(block.ScreenHeight, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(block.RightButton, 1);

    HWND button = e2e::WaitForTopLevelWindow(rbf_e2e::kRbfCaption, 10s);
    ASSERT_NE(button, nullptr);  // started with SW_HIDE, shown all the same
    EXPECT_EQ(standin.State().Rbf.RbfWindow, static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(button)));
}

TEST_F(StartupE2E, WithTheFunctionOffTheButtonIsNotStarted) {
    DriverHas(0);
    RunToTheEnd();
    EXPECT_EQ(standin.Block().ScreenWidth, GetSystemMetrics(SM_CXSCREEN));
    Sleep(1000);  // room for a program that should not come
    EXPECT_EQ(e2e::FindTopLevelWindow(rbf_e2e::kRbfCaption, {0, true}), nullptr);
    EXPECT_EQ(standin.State().Rbf.RbfWindow, -1);
}

TEST_F(StartupE2E, WithAButtonAlreadyRegisteredNoSecondIsStarted) {
    DriverHas(1);
    rbf_e2e::HiddenStart first(rbf_e2e::kRbfProgram);
    HWND button = e2e::WaitForTopLevelWindow(rbf_e2e::kRbfCaption, 10s, {first.Id(), false});
    ASSERT_NE(button, nullptr);
    standin.ClearJournal();
    RunToTheEnd();
    Sleep(1000);
    int buttons = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        buttons += e2e::ClassName(w) == rbf_e2e::kRbfClass;
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(standin.State().Rbf.RbfWindow, static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(button)));
}

}  // namespace
