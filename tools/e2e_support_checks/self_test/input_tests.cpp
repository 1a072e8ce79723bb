#include "sample_fixture.hpp"

namespace e2e_test {
namespace {

struct MouseCase {
    e2e::MouseButton button;
    e2e::Modifiers modifiers;
    const char* name;
    const char* held;
};

constexpr MouseCase kMouseCases[] = {
    {e2e::MouseButton::Left, {}, "left", "[]"},
    {e2e::MouseButton::Left, {.shift = true}, "left", "[shift]"},
    {e2e::MouseButton::Right, {.ctrl = true}, "right", "[ctrl]"},
    {e2e::MouseButton::Middle, {.shift = true, .ctrl = true}, "middle", "[shift ctrl]"},
    {e2e::MouseButton::Left, {.alt = true}, "left", "[alt]"},
    {e2e::MouseButton::Left, {.shift = true, .ctrl = true, .alt = true}, "left", "[shift ctrl alt]"},
};

std::string MouseLine(const MouseCase& c, const char* direction, POINT at) {
    return std::string("mouse ") + c.name + " " + direction + " " + std::to_string(at.x) + "," +
           std::to_string(at.y) + " " + c.held;
}

class InputTest : public SampleApp {
protected:
    void SetUp() override {
        SampleApp::SetUp();
        ASSERT_TRUE(e2e::BringToForeground(window_));
    }
    // Real keys go to the focus: a click on the pad puts it there.
    void FocusPad() {
        HWND pad = Control(sample::padMouse);
        RECT padRect{};
        GetWindowRect(pad, &padRect);
        POINT centre = e2e::CenterOf(padRect);
        ScreenToClient(pad, &centre);
        ASSERT_TRUE(e2e::MouseClickControl(pad));
        ASSERT_TRUE(LogHas(MouseLine(kMouseCases[0], "up", centre))) << "pad did not get the focusing click";
    }
};

TEST_F(InputTest, PostedButtonClicksArriveOneEach) {
    e2e::PostButtonClick(Control(sample::cmdCount));
    e2e::PostButtonClick(Control(sample::cmdCount));
    EXPECT_TRUE(e2e::WaitFor([&] { return CountLogLines("click Count") == 2; }, 5s));
}

TEST_F(InputTest, RealMouseClickPressesAButton) {
    ASSERT_TRUE(e2e::MouseClickControl(Control(sample::cmdCount)));
    EXPECT_TRUE(LogHas("click Count"));
}

TEST_F(InputTest, RealClickOnADisabledButtonDoesNothing) {
    ASSERT_TRUE(e2e::MouseClickControl(Control(sample::cmdDisabled)));
    ASSERT_TRUE(e2e::MouseClickControl(Control(sample::cmdCount)));
    ASSERT_TRUE(LogHas("click Count"));
    EXPECT_EQ(CountLogLines("click Disabled"), 0u);
}

TEST_F(InputTest, RealMouseClicksCarryButtonAndModifiers) {
    HWND pad = Control(sample::padMouse);
    RECT padRect{};
    GetWindowRect(pad, &padRect);
    int step = 0;
    for (const auto& c : kMouseCases) {
        SCOPED_TRACE(MouseLine(c, "down", {0, 0}));
        POINT screen{padRect.left + 20 + 12 * step, padRect.top + 20 + 10 * step};
        ++step;
        POINT client = screen;
        ScreenToClient(pad, &client);
        ASSERT_TRUE(e2e::MouseClick(screen, c.button, c.modifiers));
        EXPECT_TRUE(LogHas(MouseLine(c, "down", client)));
        EXPECT_TRUE(LogHas(MouseLine(c, "up", client)));
    }
}

TEST_F(InputTest, TwoRealClicksOnOneSpotStayTwoClicks) {
    RECT padRect{};
    GetWindowRect(Control(sample::padMouse), &padRect);
    const POINT spot{padRect.left + 30, padRect.top + 30};
    POINT client = spot;
    ScreenToClient(Control(sample::padMouse), &client);
    ASSERT_TRUE(e2e::MouseClick(spot));
    ASSERT_TRUE(e2e::MouseClick(spot));
    const std::string down = MouseLine(kMouseCases[0], "down", client);
    EXPECT_TRUE(e2e::WaitFor([&] { return CountLogLines(down) == 2; }, 5s)) << "expected two \"" << down << "\"";
    EXPECT_EQ(CountLogLines(MouseLine(kMouseCases[0], "dblclk", client)), 0u);
}

TEST_F(InputTest, PostedMouseClicksCarryButtonAndShiftCtrl) {
    HWND pad = Control(sample::padMouse);
    int step = 0;
    for (const auto& c : kMouseCases) {
        SCOPED_TRACE(MouseLine(c, "down", {0, 0}));
        const POINT client{15 + 7 * step, 25 + 5 * step};
        ++step;
        if (c.modifiers.alt) {
            EXPECT_FALSE(e2e::PostMouseClick(pad, client, c.button, c.modifiers)) << "Alt cannot be posted";
            continue;
        }
        ASSERT_TRUE(e2e::PostMouseClick(pad, client, c.button, c.modifiers));
        EXPECT_TRUE(LogHas(MouseLine(c, "down", client)));
        EXPECT_TRUE(LogHas(MouseLine(c, "up", client)));
    }
}

TEST_F(InputTest, RealKeysArriveWithModifiers) {
    FocusPad();
    ASSERT_TRUE(e2e::PressKey('A', {.shift = true}));
    ASSERT_TRUE(e2e::PressKey('B', {.ctrl = true}));
    ASSERT_TRUE(e2e::PressKey(VK_F5));
    EXPECT_TRUE(LogHas("keydown 0x41 [shift]"));
    EXPECT_TRUE(LogHas("char 0x41"));  // Shift made it a capital
    EXPECT_TRUE(LogHas("keydown 0x42 [ctrl]"));
    EXPECT_TRUE(LogHas("char 0x02"));  // Ctrl+B
    EXPECT_TRUE(LogHas("keydown 0x74 []"));
}

TEST_F(InputTest, TypedTextLandsInTheFocusedEdit) {
    HWND edit = Control(sample::txtTyping);
    ASSERT_TRUE(e2e::MouseClickControl(edit));
    ASSERT_TRUE(e2e::WaitFor([&] { return e2e::FocusedWindow() == edit; }, 5s));
    ASSERT_TRUE(e2e::TypeText("Port COM2, 9600 \xC3\xA9t\xC3\xA9"));
    EXPECT_TRUE(e2e::WaitFor([&] { return e2e::WindowText(edit) == "Port COM2, 9600 \xC3\xA9t\xC3\xA9"; }, 5s))
        << "edit holds \"" << e2e::WindowText(edit) << "\"";
}

TEST_F(InputTest, PostedCharactersAndKeysArriveWithoutFocus) {
    HWND edit = Control(sample::txtTyping);
    e2e::PostText(edit, "posted \xC3\xA9");
    EXPECT_TRUE(e2e::WaitFor([&] { return e2e::WindowText(edit) == "posted \xC3\xA9"; }, 5s))
        << "edit holds \"" << e2e::WindowText(edit) << "\"";
    e2e::PostKey(Control(sample::padMouse), VK_F6);
    EXPECT_TRUE(LogHas("keydown 0x75 []"));
}

}  // namespace
}  // namespace e2e_test
