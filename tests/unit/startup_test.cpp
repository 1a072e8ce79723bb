#include <gtest/gtest.h>

#include <cstring>

#include "fakes.hpp"
#include "program_fakes.hpp"
#include "startup/startup.hpp"

namespace px {
namespace {

const std::string kOemKey = "HKLM\\SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
const std::string kMouseKey = "HKCU\\Control Panel\\Mouse";

// A registry whose writes of one value fail, as a locked-down profile would.
class RefusingRegistry : public fakes::FakeRegistry {
public:
    std::string Refused;
    long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        if (name == Refused) return 5;  // ERROR_ACCESS_DENIED
        return FakeRegistry::SetValue(key, name, type, data, size);
    }
};

DriverParameterBlock BlockOf(const fakes::DeviceRequest& request) {
    DriverParameterBlock block{};
    std::memcpy(&block, request.Input.data(), std::min(request.Input.size(), sizeof block));
    return block;
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        registry.SetString(kOemKey, "VenderName", "Veldrant Touch");
        registry.SetString(kOemKey, "InstallPath", "C:\\Program Files\\TouchScreen");
        registry.SetString(kOemKey, "WindowsPath", "C:\\windows");
        registry.SetString(kOemKey, "SystemPath", "C:\\windows\\system32");
        registry.SetString(kOemKey, "HardwareID", "HW");
        DriverReturns(1, -1);
    }
    void DriverReturns(std::uint8_t rightButton, std::int32_t rbfWindow) {
        block.RightButton = rightButton;
        device.Reply(IOCTL_TOUCH_GET_PARAMETERS, block);
        device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{rbfWindow, 0, {0, 0}});
    }
    std::vector<std::uint32_t> Codes() const {
        std::vector<std::uint32_t> codes;
        for (const auto& r : device.Requests) codes.push_back(r.Code);
        return codes;
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& b : ui.Boxes) texts.push_back(b.Text);
        return texts;
    }
    bool Paused() const { return events.Calls > 0 && clock.Now >= 2000; }
    std::string Value(const char* name) const {
        const auto* value = registry.Get(kMouseKey, name);
        if (!value) return "(none)";
        return (value->Type == kRegSz ? "REG_SZ " : "type? ") +
               std::string(value->Data.begin(), value->Data.end());
    }

    DriverParameterBlock block{.PortAddress = 0x2F8, .PortIrq = 3, .ComPort = 2, .TouchMode = 4, .FeedbackSound = 3,
                               .Sensitivity = 60, .HSpeed = 11, .VSpeed = 9, .Acceleration = 2, .BaudCode = 6,
                               .CalXMin = 17, .CalXMax = 1001, .CalYMin = 23, .CalYMax = 990, .ScreenWidth = 640,
                               .ScreenHeight = 480, .McuMode = 1, .McuVersion = 0x12, .McuCode = {0x4B, 0x17, 3, 1}};
    fakes::FakeDevice device;
    RefusingRegistry registry;
    fakes::FakeUi ui;
    fakes::FakeProcess process;
    fakes::FakeWindows windows;
    fakes::FakeSearch search;
    fakes::FakeEvents events;
    fakes::FakeClock clock;
    fakes::FakeDisplay display;
    StartupProgram program{{device, registry, ui, process, windows, search, events, clock, display}};
};

TEST_F(StartupTest, SetsTheDoubleClickAreaTellsTheDriverStartsTheRightButtonProgramPausesAndEnds) {
    std::size_t closedBeforePause = 99;
    std::vector<std::string> shown;  // the window as it stands during the pause
    events.OnEvents = [&](int call) {
        if (call != 1) return;
        closedBeforePause = device.Closed.size();
        auto& main = program.Main();
        shown = {main.Visible() ? "visible" : "hidden", main.Caption(), main["lblSystem"].Caption(),
                 main["lblOemTitle"].Caption()};
    };
    program.Run();
    EXPECT_EQ(shown, (std::vector<std::string>{"visible", " TouchScreen System Startup #PX-K17-COM",
                                               "TouchScreen System Startup Version K306.COM", "Veldrant Touch"}));
    EXPECT_EQ(Value("DoubleClickWidth"), std::string("REG_SZ 32") + '\0');
    EXPECT_EQ(Value("DoubleClickHeight"), std::string("REG_SZ 32") + '\0');
    // In force at once too: Windows read the registry values before this logon's programs ran.
    EXPECT_EQ(display.DoubleClickAreas, (std::vector<std::pair<int, int>>{{32, 32}}));
    EXPECT_EQ(registry.OpenKeys, 0);
    EXPECT_EQ(Codes(), (std::vector<std::uint32_t>{IOCTL_TOUCH_GET_PARAMETERS, IOCTL_TOUCH_SET_SCREEN_SIZE,
                                                   IOCTL_TOUCH_GET_RBF_WINDOW}));
    EXPECT_EQ(process.Started, std::vector<std::string>{"\"C:\\Program Files\\TouchScreen\\PXWNTCrb.exe\""});
    EXPECT_EQ(process.StartShowCommands, std::vector<int>{0});
    EXPECT_EQ(closedBeforePause, 1u);
    EXPECT_TRUE(Paused());
    EXPECT_TRUE(ui.Boxes.empty());
    EXPECT_TRUE(process.Ended.empty());
    EXPECT_FALSE(program.Main().Loaded());
}

TEST_F(StartupTest, TheScreenSizeGoesIntoTheBlockAndEveryOtherFieldIsAsTheDriverReturnedIt) {
    program.Run();
    ASSERT_GE(device.Requests.size(), 2u);
    ASSERT_EQ(device.Requests[1].Code, IOCTL_TOUCH_SET_SCREEN_SIZE);
    DriverParameterBlock expected = block;
    expected.ScreenWidth = 1024;
    expected.ScreenHeight = 768;
    const DriverParameterBlock sent = BlockOf(device.Requests[1]);
    EXPECT_EQ(sent.ScreenWidth, 1024);
    EXPECT_EQ(sent.ScreenHeight, 768);
    EXPECT_EQ(std::memcmp(&sent, &expected, sizeof sent), 0);
}

TEST_F(StartupTest, TheRightButtonProgramStartsOnlyWhenTheFunctionIsOnAndNoWindowIsRegistered) {
    struct Case {
        std::uint8_t RightButton;
        std::int32_t RbfWindow;
        bool Asks, Starts;
    };
    for (const Case c : {Case{1, -1, true, true}, Case{1, 0x1234, true, false}, Case{0, -1, false, false},
                         Case{0, 0x1234, false, false}, Case{2, -1, false, false}}) {
        SCOPED_TRACE(testing::Message() << int(c.RightButton) << " " << c.RbfWindow);
        fakes::FakeDevice device;
        fakes::FakeProcess process;
        fakes::FakeClock clock;
        block.RightButton = c.RightButton;
        device.Reply(IOCTL_TOUCH_GET_PARAMETERS, block);
        device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{c.RbfWindow, 0, {0, 0}});
        StartupProgram p{{device, registry, ui, process, windows, search, events, clock, display}};
        p.Run();
        EXPECT_EQ(device.Requests.back().Code == IOCTL_TOUCH_GET_RBF_WINDOW, c.Asks);
        EXPECT_EQ(process.Started.size(), c.Starts ? 1u : 0u);
    }
    EXPECT_TRUE(ui.Boxes.empty());
}

TEST_F(StartupTest, WithoutTheDriverOneMessageAndTheEndWithoutThePause) {
    device.Present = false;
    program.Run();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Fail to open TouchScreen Driver! (PXWNTCOM.sys)"});
    EXPECT_EQ(ui.Boxes[0].Title, " TouchScreen System Startup #PX-K17-COM");
    EXPECT_EQ(ui.Boxes[0].Style, 4112u);
    EXPECT_EQ(ui.Events, (std::vector<std::string>{"beep", "box"}));
    EXPECT_TRUE(device.Requests.empty());
    EXPECT_TRUE(process.Started.empty());
    EXPECT_EQ(events.Calls, 0);
    EXPECT_TRUE(clock.Sleeps.empty());
    EXPECT_FALSE(program.Main().Loaded());
    EXPECT_EQ(Value("DoubleClickWidth"), std::string("REG_SZ 32") + '\0');  // written before
}

TEST_F(StartupTest, ARefusedDoubleClickValueIsReportedAndTheDriverIsStillUpdated) {
    for (const char* refused : {"DoubleClickWidth", "DoubleClickHeight"}) {
        SCOPED_TRACE(refused);
        fakes::FakeDevice device;
        fakes::FakeUi ui;
        fakes::FakeClock clock;
        device.Reply(IOCTL_TOUCH_GET_PARAMETERS, block);
        registry.Refused = refused;
        StartupProgram p{{device, registry, ui, process, windows, search, events, clock, display}};
        p.Run();
        ASSERT_EQ(ui.Boxes.size(), 1u);
        EXPECT_EQ(ui.Boxes[0].Text, "Fail to setup Double Clock Size!");
        EXPECT_EQ(ui.Boxes[0].Style, 4112u);
        ASSERT_GE(device.Requests.size(), 2u);
        EXPECT_EQ(device.Requests[1].Code, IOCTL_TOUCH_SET_SCREEN_SIZE);
        EXPECT_GE(clock.Now, 2000u);
        EXPECT_EQ(registry.OpenKeys, 0);
    }
}

TEST_F(StartupTest, AFailedStartOfTheRightButtonProgramIsReportedAndTheProgramStillPausesAndEnds) {
    process.StartResult = 2;  // file not found
    program.Run();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Fail to initialize Right Button Function!"});
    EXPECT_EQ(device.Closed.size(), 1u);
    EXPECT_TRUE(Paused());
    EXPECT_FALSE(program.Main().Loaded());
}

TEST_F(StartupTest, AnUnreadBlockIsNotSentBack) {
    device.Failing.insert(IOCTL_TOUCH_GET_PARAMETERS);
    program.Run();
    EXPECT_EQ(Codes(), std::vector<std::uint32_t>{IOCTL_TOUCH_GET_PARAMETERS});
    EXPECT_TRUE(ui.Boxes.empty());
    EXPECT_TRUE(Paused());
}

TEST_F(StartupTest, WithoutTheOemValuesItSaysSoAndEndsBeforeChangingAnything) {
    registry.Set(kOemKey, "HardwareID", kRegDword, {1, 0, 0, 0});
    program.Run();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Fail to load data from Register File!"});
    EXPECT_EQ(ui.Boxes[0].Title, " TouchScreen System Startup #PX-K17-COM");
    EXPECT_EQ(process.Ended, std::vector<int>{0});
    EXPECT_FALSE(registry.HasKey(kMouseKey));
    EXPECT_TRUE(device.OpenedPaths.empty());
    EXPECT_EQ(events.Calls, 0);
}

TEST_F(StartupTest, ASecondCopyBringsTheFirstForwardOrSaysItRunsAndEndsUntouched) {
    struct Case {
        std::vector<fakes::FakeWindow> Windows;
        std::vector<WindowHandle> Raised;
        std::vector<std::string> Boxes;
    };
    const Case cases[] = {
        {{{0x10, "Other"}, {0x20, " TouchScreen System Startup #PX-K17-COM"}}, {0x20}, {}},
        {{{0x10, "Other"}}, {}, {"Application is running!\r\rPlease find and select the running window from Taskbar."}},
    };
    for (const auto& c : cases) {
        fakes::FakeUi ui;
        fakes::FakeSearch search;
        fakes::FakeProcess process;
        fakes::FakeDevice device;
        RefusingRegistry registry;
        search.Previous = true;
        search.Windows = c.Windows;
        StartupProgram p{{device, registry, ui, process, windows, search, events, clock, display}};
        p.Run();
        EXPECT_EQ(search.Raised, c.Raised);
        EXPECT_EQ(BoxTexts().size(), 0u);  // the fixture's ui saw nothing
        std::vector<std::string> texts;
        for (const auto& b : ui.Boxes) texts.push_back(b.Text);
        EXPECT_EQ(texts, c.Boxes);
        EXPECT_EQ(process.Ended, std::vector<int>{0});
        EXPECT_TRUE(registry.CreatedPaths.empty());
        EXPECT_TRUE(device.OpenedPaths.empty());
    }
}

TEST_F(StartupTest, TheIconOpensAboutDuringThePauseAndTheEndClosesBoth) {
    events.OnEvents = [&](int call) {
        if (call != 1) return;
        program.Main()["imgIcon"].DblClick();
        EXPECT_FALSE(program.Main().Visible());
        EXPECT_TRUE(program.About().Visible());
        EXPECT_EQ(program.About()["lblOemTitle"].Caption(), "Veldrant Touch");
        EXPECT_EQ(program.About()["lblSystem"].Caption(), "TouchScreen System Startup Version K306.COM");
        EXPECT_EQ(program.Main().Pointer(), forms::MousePointer::Default);
    };
    program.Run();
    ASSERT_GE(events.Calls, 1);
    EXPECT_FALSE(program.About().Loaded());
    EXPECT_FALSE(program.Main().Loaded());
}

TEST_F(StartupTest, ClosingAboutDuringThePauseBringsTheMainWindowBack) {
    events.OnEvents = [&](int call) {
        if (call == 1) program.Main()["imgIcon"].DblClick();
        if (call == 2) {
            program.About()["cmdOK"].Click();
            EXPECT_TRUE(program.Main().Visible());
            EXPECT_FALSE(program.About().Loaded());
        }
    };
    program.Run();
    EXPECT_GE(events.Calls, 2);
}

}  // namespace
}  // namespace px
