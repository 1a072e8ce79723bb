#include <gtest/gtest.h>

#include <cstring>

#include "fakes.hpp"
#include "program_fakes.hpp"
#include "right_button/right_button.hpp"

namespace px {
namespace {

RbfWindowRecord RecordOf(const fakes::DeviceRequest& request) {
    RbfWindowRecord record{};
    std::memcpy(&record, request.Input.data(), std::min(request.Input.size(), sizeof record));
    return record;
}

class RightButtonTest : public ::testing::Test {
protected:
    void DriverHolds(std::int32_t window, std::int16_t pending) {
        device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{window, pending, {0, 0}});
    }
    // The SET requests as (window, pending) pairs, in order.
    std::vector<std::pair<std::int32_t, std::int16_t>> Sets() const {
        std::vector<std::pair<std::int32_t, std::int16_t>> sets;
        for (const auto& r : device.Requests)
            if (r.Code == IOCTL_TOUCH_SET_RBF_WINDOW) sets.emplace_back(RecordOf(r).RbfWindow, RecordOf(r).RightClickPending);
        return sets;
    }
    int Gets() const {
        int n = 0;
        for (const auto& r : device.Requests) n += r.Code == IOCTL_TOUCH_GET_RBF_WINDOW;
        return n;
    }
    // Started and idle; the requests of the start are forgotten.
    void StartIdle() {
        ASSERT_TRUE(program.Start());
        device.Requests.clear();
        window.Calls.clear();
    }

    fakes::FakeDevice device;
    fakes::FakeUi ui;
    fakes::FakeProcess process;
    fakes::FakeWindows windows;
    fakes::FakeEvents events;
    fakes::FakeDisplay display;
    fakes::FakeRbfWindow window;
    RightButtonProgram program{{device, ui, process, windows, events, display, window}};
};

TEST_F(RightButtonTest, StartRegistersTheWindowAndShowsItTopmostInTheWorkAreasCorner) {
    EXPECT_TRUE(program.Start());
    EXPECT_EQ(device.OpenedPaths, std::vector<std::string>{"\\\\.\\PXWNTCOM"});
    ASSERT_EQ(device.Requests.size(), 2u);
    EXPECT_EQ(device.Requests[0].Code, IOCTL_TOUCH_GET_RBF_WINDOW);
    EXPECT_EQ(Sets(), (std::vector<std::pair<std::int32_t, std::int16_t>>{{0x2A0, 0}}));
    // Frame 6 x 23 pixels around a 40-pixel button; the work area ends at 1024 x 740.
    EXPECT_EQ(window.Calls, (std::vector<std::string>{
                                "create TouchScreen Right Button IDI_RBF", "subclass", "caption  C-RBF",
                                "back " + std::to_string(0x8000000Fu), "move button 0,0,40,40",
                                "move window 978,677,46,63", "topmost", "show window"}));
    EXPECT_FALSE(program.Waiting());
    EXPECT_TRUE(ui.Boxes.empty());
    EXPECT_TRUE(windows.Sent.empty());
}

TEST_F(RightButtonTest, HandlesAboveTwoGigabytesAreRecordedAsTheir32BitValue) {
    window.Handle = static_cast<WindowHandle>(static_cast<std::int32_t>(0x8000A2B4u));  // sign-extended
    ASSERT_TRUE(program.Start());
    ASSERT_EQ(Sets().size(), 1u);
    EXPECT_EQ(static_cast<std::uint32_t>(Sets()[0].first), 0x8000A2B4u);
    EXPECT_EQ(HandleFromRecord(Sets()[0].first), window.Handle);
}

TEST_F(RightButtonTest, AnotherRegistrationIsShownAndThisCopyEndsWithoutChangingIt) {
    // A live copy, and one that was killed and left a handle behind, look the same: both get 4097.
    struct Case {
        std::int32_t Registered;
        WindowHandle SentTo;
    };
    for (const Case c : {Case{0x1234, 0x1234}, Case{static_cast<std::int32_t>(0xFFFF0010u), -0xFFF0}}) {
        SCOPED_TRACE(c.Registered);
        fakes::FakeDevice device;
        fakes::FakeWindows windows;
        fakes::FakeRbfWindow window;
        device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{c.Registered, 0, {0, 0}});
        RightButtonProgram second{{device, ui, process, windows, events, display, window}};
        EXPECT_FALSE(second.Start());
        ASSERT_EQ(windows.Sent.size(), 1u);
        EXPECT_EQ(windows.Sent[0].Window, c.SentTo);
        EXPECT_EQ(windows.Sent[0].Message, 0x400u);
        EXPECT_EQ(windows.Sent[0].WParam, 4097u);
        EXPECT_EQ(windows.Sent[0].LParam, 0);
        ASSERT_EQ(device.Requests.size(), 1u);  // the read only
        EXPECT_FALSE(window.Called("show window"));
    }
    EXPECT_TRUE(ui.Boxes.empty());
}

TEST_F(RightButtonTest, WithoutTheDriverItSaysSoAndEnds) {
    device.Present = false;
    EXPECT_FALSE(program.Start());
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Fail to open PXWNTCOM.sys!");
    EXPECT_EQ(ui.Boxes[0].Title, "TouchScreen Control Panel");
    EXPECT_EQ(ui.Boxes[0].Style, 4112u);
    EXPECT_EQ(ui.Events, (std::vector<std::string>{"beep", "box"}));
    EXPECT_EQ(process.Ended, std::vector<int>{0});
    EXPECT_TRUE(device.Requests.empty());
    EXPECT_FALSE(window.Called("show window"));
}

TEST_F(RightButtonTest, UserMessagesHideShowAndComplainAboutAnythingElse) {
    struct Case {
        std::uintptr_t WParam;
        std::intptr_t LParam;
        const char* Call;  // what the window sees, or nullptr
        const char* Box;   // the complaint, or nullptr
    };
    const Case cases[] = {
        {4096, 0, "hide window", nullptr},
        {4097, 0, "show window", nullptr},
        {0x1002, 0, nullptr, "RBF_WndProc Fail! wParam=1002h, lParam=0h"},
        {0xABC, 0x7F, nullptr, "RBF_WndProc Fail! wParam=ABCh, lParam=7Fh"},
        {4111, -1, nullptr, "RBF_WndProc Fail! wParam=100Fh, lParam=FFFFFFFFh"},
    };
    StartIdle();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.WParam);
        window.Calls.clear();
        ui.Boxes.clear();
        EXPECT_EQ(program.UserMessage(c.WParam, c.LParam), 0);
        EXPECT_EQ(window.Calls, c.Call ? std::vector<std::string>{c.Call} : std::vector<std::string>{});
        if (c.Box) {
            ASSERT_EQ(ui.Boxes.size(), 1u);
            EXPECT_EQ(ui.Boxes[0].Text, c.Box);
            EXPECT_EQ(ui.Boxes[0].Title, " TouchScreen Right-Button #PX-K17-COM");
            EXPECT_EQ(ui.Boxes[0].Style, 0u);
        } else {
            EXPECT_TRUE(ui.Boxes.empty());
        }
    }
    // The program carries on, still registered.
    EXPECT_TRUE(device.Requests.empty());
    EXPECT_TRUE(device.Closed.empty());
}

TEST_F(RightButtonTest, CloseUnregistersClosesTheDriverRestoresTheProcedureAndEnds) {
    StartIdle();
    std::size_t closedAtRestore = 99;
    window.OnCall = [&](const std::string& call) {
        if (call == "restore") closedAtRestore = device.Closed.size();
    };
    EXPECT_EQ(program.UserMessage(4110, 0), 0);
    EXPECT_EQ(Sets(), (std::vector<std::pair<std::int32_t, std::int16_t>>{{-1, 0}}));
    EXPECT_EQ(device.Closed.size(), 1u);
    EXPECT_EQ(closedAtRestore, 1u);
    EXPECT_EQ(window.Calls, (std::vector<std::string>{"restore", "destroy"}));
    EXPECT_TRUE(program.Unloaded());
    // The close box does the same once; nothing is sent twice.
    program.CloseRequested();
    EXPECT_EQ(device.Requests.size(), 1u);
}

TEST_F(RightButtonTest, ClickArmsWaitsUntilTheDriverClearsThenDisarmsAndShowsTheButton) {
    StartIdle();
    DriverHolds(0x2A0, 1);
    events.OnEvents = [&](int call) {
        EXPECT_TRUE(program.Waiting());
        EXPECT_TRUE(window.Called("hide button"));
        if (call == 5) DriverHolds(0x2A0, 0);  // the touch: first DoEvents of the third round
    };
    program.ActionClick();
    EXPECT_EQ(Sets(), (std::vector<std::pair<std::int32_t, std::int16_t>>{{0x2A0, 1}, {0x2A0, 0}}));
    EXPECT_EQ(Gets(), 3);
    EXPECT_EQ(events.Calls, 6);
    EXPECT_EQ(window.Calls, (std::vector<std::string>{"hide button", "show button"}));
    EXPECT_FALSE(program.Waiting());
}

TEST_F(RightButtonTest, TheWaitPollsAtLeastOnceEvenWhenTheDriverIsAlreadyClear) {
    StartIdle();
    DriverHolds(0x2A0, 0);
    program.ActionClick();
    EXPECT_EQ(Gets(), 1);
    EXPECT_EQ(events.Calls, 2);
    EXPECT_EQ(Sets().back(), (std::pair<std::int32_t, std::int16_t>{0x2A0, 0}));
}

TEST_F(RightButtonTest, CharacterKeysAndLeftOrRightPressesCancelTheWaitButTheMiddleButtonAloneDoesNot) {
    struct Case {
        const char* Name;
        std::function<void(RightButtonProgram&)> User;
        bool Cancels;
    };
    const Case cases[] = {
        {"key", [](RightButtonProgram& p) { p.KeyPress('a'); }, true},
        {"left", [](RightButtonProgram& p) { p.MouseDown(1); }, true},
        {"right", [](RightButtonProgram& p) { p.MouseDown(2); }, true},
        {"middle and left", [](RightButtonProgram& p) { p.MouseDown(4 | 1); }, true},
        {"middle", [](RightButtonProgram& p) { p.MouseDown(4); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        fakes::FakeDevice device;
        fakes::FakeEvents events;
        fakes::FakeRbfWindow window;
        RightButtonProgram p{{device, ui, process, windows, events, display, window}};
        ASSERT_TRUE(p.Start());
        device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{0x2A0, 1, {0, 0}});
        events.OnEvents = [&](int call) {
            if (call == 3) c.User(p);
            if (call == 39) device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{0x2A0, 0, {0, 0}});
        };
        p.ActionClick();
        // Two DoEvents a round: cancelled in round two it ends there; otherwise the touch in round twenty ends it.
        EXPECT_EQ(events.Calls, c.Cancels ? 4 : 40);
        const auto& last = device.Requests.back();
        EXPECT_EQ(last.Code, IOCTL_TOUCH_SET_RBF_WINDOW);
        EXPECT_EQ(RecordOf(last).RightClickPending, 0);
        EXPECT_EQ(window.Calls.back(), "show button");
        EXPECT_FALSE(p.Waiting());
    }
}

TEST_F(RightButtonTest, HideAndShowDuringTheWaitOnlyChangeVisibility) {
    StartIdle();
    DriverHolds(0x2A0, 1);
    events.OnEvents = [&](int call) {
        if (call == 2) program.UserMessage(4096, 0);
        if (call == 4) program.UserMessage(4097, 0);
        if (call == 6) DriverHolds(0x2A0, 0);
    };
    program.ActionClick();
    EXPECT_EQ(window.Calls,
              (std::vector<std::string>{"hide button", "hide window", "show window", "show button"}));
    EXPECT_EQ(Sets().back(), (std::pair<std::int32_t, std::int16_t>{0x2A0, 0}));
}

TEST_F(RightButtonTest, CloseDuringTheWaitEndsItWithoutTouchingTheClosedDriverOrTheGoneWindow) {
    struct Case {
        const char* Name;
        int At;  // DoEvents call that brings the close
        std::function<void(RightButtonProgram&)> Close;
    };
    const Case cases[] = {
        {"message, before a poll", 3, [](RightButtonProgram& p) { p.UserMessage(4110, 0); }},
        {"message, after a poll", 4, [](RightButtonProgram& p) { p.UserMessage(4110, 0); }},
        {"close box", 3, [](RightButtonProgram& p) { p.CloseRequested(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        fakes::FakeDevice device;
        fakes::FakeEvents events;
        fakes::FakeRbfWindow window;
        RightButtonProgram p{{device, ui, process, windows, events, display, window}};
        ASSERT_TRUE(p.Start());
        device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{0x2A0, 1, {0, 0}});
        std::size_t requestsAtClose = 0;
        events.OnEvents = [&](int call) {
            if (call == c.At) {
                c.Close(p);
                requestsAtClose = device.Requests.size();
            }
        };
        p.ActionClick();
        EXPECT_EQ(device.Requests.size(), requestsAtClose);
        EXPECT_EQ(RecordOf(device.Requests.back()).RbfWindow, -1);
        EXPECT_EQ(RecordOf(device.Requests.back()).RightClickPending, 0);
        EXPECT_EQ(device.Closed.size(), 1u);
        EXPECT_EQ(window.Calls.back(), "destroy");
        EXPECT_LE(events.Calls, c.At + 1);
    }
}

TEST(RbfPlacement, OuterLowerRightCornerLiesOnTheWorkAreasAndTheInnerAreaIsTheButton) {
    struct Case {
        PixelSize Outer, Inner;
        PixelRect Work;
        double Tpp;
        RbfPlacement Expected;
    };
    const Case cases[] = {
        {{120, 120}, {114, 97}, {0, 0, 1024, 740}, 15, {978, 677, 46, 63}},
        {{120, 120}, {114, 97}, {0, 30, 1280, 1024}, 12, {1224, 951, 56, 73}},  // 120 DPI: a 50-pixel button
        {{46, 63}, {40, 40}, {100, 0, 800, 600}, 15, {754, 537, 46, 63}},       // already fitted: unchanged size
    };
    for (const auto& c : cases) {
        const auto p = PlaceRbfWindow(c.Outer, c.Inner, c.Work, c.Tpp, c.Tpp);
        EXPECT_EQ(p.Left, c.Expected.Left);
        EXPECT_EQ(p.Top, c.Expected.Top);
        EXPECT_EQ(p.Width, c.Expected.Width);
        EXPECT_EQ(p.Height, c.Expected.Height);
        EXPECT_EQ(p.Left + p.Width, c.Work.Right);
        EXPECT_EQ(p.Top + p.Height, c.Work.Bottom);
    }
}

}  // namespace
}  // namespace px
