// The programs driven from the keyboard alone, with real key input, as a technician in front of
// an uncalibrated screen would.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <optional>

#include "e2e/input.hpp"
#include "e2e/message_box.hpp"
#include "e2e/process.hpp"
#include "e2e/wait.hpp"
#include "e2e/windows.hpp"
#include "standin_client.hpp"

namespace {

using namespace std::chrono_literals;

const char kProgram[] = "C:\\Program Files\\TouchScreen\\PXwNTccp.exe";
const char kTitle[] = " TouchScreen Control Panel #PX-K17-COM";
const char kRemoval[] = "C:\\Program Files\\TouchScreen\\PXwNTcde.exe";
const char kRemovalTitle[] = "TouchScreen Software Removal";
constexpr e2e::Modifiers kAlt{.alt = true};

class KeyboardE2E : public ::testing::Test {
protected:
    void SetUp() override { standin.Reset(); }
    void TearDown() override {
        if (process && !process->WaitForExit(0ms)) process->Kill();
    }

    HWND StartPanel() {
        process.emplace(e2e::Process::Start(kProgram));
        main = e2e::WaitForTopLevelWindow(kTitle, 10s, {process->Id(), false});
        return main;
    }
    // Keys go to the foreground window's focus, as the user's keyboard does.
    bool Press(HWND window, WORD key, e2e::Modifiers modifiers = {}) {
        return e2e::BringToForeground(window) && e2e::PressKey(key, modifiers);
    }
    // A visible window of the panel other than the main window; any caption when none is given.
    HWND OtherWindow(const char* caption, std::chrono::milliseconds timeout) {
        return e2e::WaitFor(
            [&]() -> HWND {
                HWND found = nullptr;
                e2e::ForEachTopLevel([&](HWND w) {
                    char text[128] = {};
                    GetWindowTextA(w, text, sizeof text);
                    if (w != main && IsWindowVisible(w) && e2e::WindowProcessId(w) == process->Id() &&
                        (!caption || std::string(text) == caption))
                        found = w;
                    return found == nullptr;
                });
                return found;
            },
            timeout);
    }
    bool MainBack() {
        return e2e::WaitFor([&] { return IsWindowVisible(main) != FALSE; }, 5000ms);
    }
    static bool Enabled(HWND window, const char* caption) {
        auto control = e2e::FindControlByText(window, caption);
        return control && IsWindowEnabled(control->window);
    }
    std::size_t Requests(std::uint32_t code) {
        std::size_t count = 0;
        for (const auto& entry : standin.Journal())
            if (entry.Code == code) count += entry.Repeat;
        return count;
    }

    px::standin::StandinClient standin;
    std::optional<e2e::Process> process;
    HWND main = nullptr;
};

TEST_F(KeyboardE2E, MainWindowAccessKeysOpenWhatTheirButtonsOpenHiddenOnesNothingAndEscapeCloses) {
    ASSERT_NE(StartPanel(), nullptr);

    ASSERT_TRUE(Press(main, 'C', kAlt));
    HWND calibration = OtherWindow("Calibration", 5000ms);
    ASSERT_NE(calibration, nullptr);
    EXPECT_FALSE(IsWindowVisible(main));
    ASSERT_TRUE(Press(calibration, VK_ESCAPE));
    HWND box = e2e::WaitForMessageBox(10s, process->Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::ReadMessageBox(box).text, "Are you sure you want to break calibration?");
    EXPECT_TRUE(e2e::AnswerMessageBox(box, IDYES));
    EXPECT_TRUE(e2e::WaitForWindowGone(calibration, 10s));
    ASSERT_TRUE(MainBack());

    // The bare letter, since no control of the window takes text.
    ASSERT_TRUE(Press(main, 'S'));
    HWND serial = OtherWindow(kTitle, 5000ms);
    ASSERT_NE(serial, nullptr);
    ASSERT_TRUE(e2e::FindControlByText(serial, "  Serial Port Information  "));
    ASSERT_TRUE(Press(serial, VK_ESCAPE));  // its only button, OK
    ASSERT_TRUE(MainBack());

    // "&Test" is there, hidden and disabled.
    ASSERT_TRUE(Press(main, 'T', kAlt));
    EXPECT_EQ(OtherWindow(nullptr, 1000ms), nullptr);
    EXPECT_TRUE(IsWindowVisible(main));

    // A window whose only button is OK closes on Escape. No vendor bitmap on the bench: "&About".
    ASSERT_TRUE(Press(main, 'A', kAlt));
    HWND about = OtherWindow(" About", 5000ms);
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(Press(about, VK_ESCAPE));
    EXPECT_TRUE(e2e::WaitForWindowGone(about, 5s));
    ASSERT_TRUE(MainBack());

    ASSERT_TRUE(Press(main, 'X', kAlt));
    EXPECT_TRUE(process->WaitForExit(10s).has_value());
}

TEST_F(KeyboardE2E, ArrowChoosesAModeAltAAppliesItAndEnterStillReachesOK) {
    auto block = standin.Block();
    block.TouchMode = 1;
    block.RightButton = 0;
    standin.WriteBlock(block);
    ASSERT_NE(StartPanel(), nullptr);
    ASSERT_TRUE(Press(main, 'V', kAlt));
    HWND window = OtherWindow(kTitle, 5000ms);
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(Enabled(window, "&Apply"));
    standin.ClearJournal();

    // The group is one stop, on its chosen mode; Down chooses the next one.
    ASSERT_TRUE(Press(window, VK_DOWN));
    ASSERT_TRUE(e2e::WaitFor([&] { return Enabled(window, "&Apply"); }, 3000ms));
    EXPECT_EQ(Requests(IOCTL_TOUCH_SET_TOUCH_MODE), 0u);

    ASSERT_TRUE(Press(window, 'A', kAlt));
    ASSERT_TRUE(e2e::WaitFor([&] { return standin.Block().TouchMode == 2; }, 3000ms));
    EXPECT_TRUE(e2e::WaitFor([&] { return !Enabled(window, "&Apply"); }, 3000ms));

    // Apply took itself out from under the focus; the keyboard still has a place.
    ASSERT_TRUE(Press(window, VK_RETURN));
    EXPECT_TRUE(e2e::WaitForWindowGone(window, 5s));
    EXPECT_TRUE(MainBack());
    EXPECT_EQ(Requests(IOCTL_TOUCH_SET_TOUCH_MODE), 1u);  // OK found nothing left to send
    EXPECT_EQ(standin.Block().TouchMode, 2);
}

// On the bench Yes would end at "Fail to remove files! (Startup)" (no removal program there)
// after reading the registration from the driver; No ends at once and asks the driver nothing.
TEST_F(KeyboardE2E, EnterAtTheRemovalQuestionIsNo) {
    standin.ClearJournal();
    process.emplace(e2e::Process::Start(kRemoval));
    HWND window = e2e::WaitForTopLevelWindow(kRemovalTitle, 10s, {process->Id(), false});
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Press(window, VK_RETURN));
    const auto code = process->WaitForExit(5s);
    ASSERT_TRUE(code.has_value()) << "still running, box: " << e2e::FindMessageBox(process->Id());
    EXPECT_EQ(*code, 0u);
    EXPECT_TRUE(standin.Journal().empty());
    EXPECT_TRUE(std::filesystem::exists(kProgram));
    EXPECT_TRUE(std::filesystem::exists(kRemoval));
}

}  // namespace
