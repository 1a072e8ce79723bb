#include <gtest/gtest.h>

#include "settings_fixture.hpp"

namespace px {
namespace {

using forms::Form;
using forms::kBlack;
using forms::kTeal;
using testing_support::SameBytes;
using testing_support::SettingsTest;

using MouseSpeedTest = SettingsTest;

TEST_F(MouseSpeedTest, BothStartsCheckedOnlyWhenTheSpeedsAgree) {
    struct Case {
        std::uint8_t H, V;
        int Both;
        const char *Hs, *Vs;
    };
    for (const Case c : {Case{1, 1, 1, "5%", "5%"}, Case{12, 7, 0, "60%", "35%"}, Case{20, 20, 1, "100%", "100%"},
                         Case{0, 25, 0, "0%", "125%"}}) {
        SCOPED_TRACE(std::to_string(c.H) + "/" + std::to_string(c.V));
        stored.HSpeed = c.H;
        stored.VSpeed = c.V;
        Form& w = Open("cmdMouseSpeed", "frmMouseSpeed");
        EXPECT_EQ(w["chkBoth"].Value(), c.Both);
        EXPECT_EQ(w["chkBoth"].ForeColor(), c.Both ? kBlack : kTeal);
        EXPECT_EQ(w["lblHS"].Caption(), c.Hs);
        EXPECT_EQ(w["lblVS"].Caption(), c.Vs);
        EXPECT_FALSE(w["cmdApply"].Enabled());
        w["cmdOK"].UserClick();
        EXPECT_TRUE(device.Requests.empty());  // opening changed nothing the user did not
        panel.Main().Unload();
    }
}

// Bypass on runs the Apply state while the sliders still stand at their design ends: that look
// must not count as a move, or the opening position would then read as one.
TEST_F(MouseSpeedTest, SpeedsBelowTheScaleWithBypassOnOpenUnchanged) {
    stored.Bypass = 1;
    stored.HSpeed = stored.VSpeed = 0;
    Form& w = Open("cmdMouseSpeed", "frmMouseSpeed");
    EXPECT_FALSE(w["cmdApply"].Enabled());
    w["cmdOK"].UserClick();
    EXPECT_TRUE(device.Requests.empty());
}

TEST_F(MouseSpeedTest, LinkedSlidersMoveTogetherUntilUnlinked) {
    stored.HSpeed = stored.VSpeed = 10;
    Form& w = Open("cmdMouseSpeed", "frmMouseSpeed");
    auto& h = w["hscMouseHSpeed"];
    auto& v = w["hscMouseVSpeed"];
    h.UserScroll(14);
    EXPECT_EQ(v.Value(), 14);
    EXPECT_EQ(w["lblVS"].Caption(), "70%");
    v.UserScroll(3);
    EXPECT_EQ(h.Value(), 3);
    EXPECT_TRUE(w["cmdApply"].Enabled());
    v.UserScroll(10);
    EXPECT_FALSE(w["cmdApply"].Enabled());
    w["chkBoth"].UserClick();
    EXPECT_EQ(w["chkBoth"].ForeColor(), kTeal);
    h.UserScroll(20);
    EXPECT_EQ(v.Value(), 10);
    EXPECT_EQ(w["lblHS"].Caption(), "100%");
}

TEST_F(MouseSpeedTest, BypassDisablesTheSpeedControlsAndApplySendsAllFour) {
    Form& w = Open("cmdMouseSpeed", "frmMouseSpeed");
    const char* const speedControls[] = {"chkBoth", "hscMouseHSpeed", "hscMouseVSpeed"};
    w["chkBypass"].UserClick();
    for (const char* name : speedControls) EXPECT_FALSE(w[name].Enabled()) << name;
    for (int i = 1; i <= 4; ++i) EXPECT_FALSE(w("optAcceleration", i).Enabled()) << i;
    EXPECT_TRUE(w["cmdApply"].Enabled());
    w["chkBypass"].UserClick();
    for (const char* name : speedControls) EXPECT_TRUE(w[name].Enabled()) << name;
    EXPECT_FALSE(w["cmdApply"].Enabled());

    w("optAcceleration", 2).UserClick();  // pending already
    EXPECT_FALSE(w["cmdApply"].Enabled());
    w("optAcceleration", 4).UserClick();
    w["hscMouseHSpeed"].UserScroll(13);
    w["chkBypass"].UserClick();
    w["cmdApply"].UserClick();
    DriverParameterBlock expected = stored;
    expected.Bypass = 1;
    expected.HSpeed = 13;
    expected.Acceleration = 4;
    EXPECT_TRUE(SameBytes(OnlyRequest(IOCTL_TOUCH_SET_MOUSE_SPEED), expected));
    EXPECT_EQ(Summary("lblMouseSpeed"), "Enable Bypass Mode");
    EXPECT_FALSE(w["cmdApply"].Enabled());
}

// A stored value beyond the scale sits at the slider's end; moved off and back, the end itself
// must be what is sent, or that end could never be chosen while the window is open.
TEST_F(SettingsTest, SliderMovedOffItsClampedEndAndBackSendsTheEnd) {
    struct Case {
        const char *Button, *Window, *Slider;
        int Off, End;
        std::uint32_t Request;
        std::uint8_t DriverParameterBlock::*Field;
        std::uint8_t Stored, Sent;
    };
    for (const Case c : {Case{"cmdMouseSpeed", "frmMouseSpeed", "hscMouseHSpeed", 19, 20,
                              IOCTL_TOUCH_SET_MOUSE_SPEED, &DriverParameterBlock::HSpeed, 25, 20},
                         Case{"cmdSleepTime", "frmSleepTime", "hscSleepTime", 29, 30, IOCTL_TOUCH_SET_POWER_DOWN,
                              &DriverParameterBlock::PowerDownTime, 40, 30},
                         Case{"cmdSensivitity", "frmSensitivity", "hscSensitivity", 1, 0,
                              IOCTL_TOUCH_SET_SENSITIVITY, &DriverParameterBlock::Sensitivity, 200, 127}}) {
        SCOPED_TRACE(c.Window);
        device.Requests.clear();
        stored = testing_support::SampleBlock();
        stored.*c.Field = c.Stored;
        Form& w = Open(c.Button, c.Window);
        if (!w.Loaded()) panel.Open(w, ControlPanel::Order::ShowThenHide);  // sensitivity's button is hidden
        auto& slider = w[c.Slider];
        EXPECT_EQ(slider.Value(), c.End);
        EXPECT_FALSE(w["cmdApply"].Enabled());
        slider.UserScroll(c.Off);
        slider.UserScroll(c.End);
        EXPECT_TRUE(w["cmdApply"].Enabled());
        w["cmdApply"].UserClick();
        EXPECT_EQ(OnlyRequest(c.Request).*c.Field, c.Sent);
        // After an Apply the same opening still offers every position.
        slider.UserScroll(c.Off);
        EXPECT_TRUE(w["cmdApply"].Enabled());
        w["cmdCandel"].UserClick();
        panel.Main().Unload();
    }
}

using SensitivityTest = SettingsTest;

TEST_F(SensitivityTest, SliderShowsTheLevelAndApplyStoresItsComplement) {
    Form& w = Open("cmdSensivitity", "frmSensitivity");
    ASSERT_FALSE(w.Loaded());  // its main-window button is hidden as delivered
    panel.Open(w, ControlPanel::Order::ShowThenHide);
    auto& slider = w["hscSensitivity"];
    EXPECT_EQ(slider.Value(), 63);
    EXPECT_EQ(w["lblSV"].Caption(), " 63");
    EXPECT_FALSE(w["cmdApply"].Enabled());
    slider.UserScroll(100);
    EXPECT_TRUE(w["cmdApply"].Enabled());
    slider.UserScroll(63);
    EXPECT_FALSE(w["cmdApply"].Enabled());
    slider.UserScroll(127);
    w["cmdApply"].UserClick();
    EXPECT_EQ(OnlyRequest(IOCTL_TOUCH_SET_SENSITIVITY).Sensitivity, 0);
    EXPECT_EQ(Summary("lblSensitivity"), "Level 127");
}

TEST_F(SensitivityTest, TestBoxLightsWhilePressedAndSendsNothing) {
    Form& w = Open("cmdSensivitity", "frmSensitivity");
    panel.Open(w, ControlPanel::Order::ShowThenHide);
    const forms::Color yellow = forms::Rgb(255, 255, 0);
    for (int pressed : {0, 1}) {
        w("lblTestBox", pressed).MouseDown(forms::kLeftButton, 0, 10, 10);
        EXPECT_EQ(w("lblTestBox", 0).BackColor(), yellow);
        w("lblTestBox", 1 - pressed).MouseUp(forms::kLeftButton, 0, 10, 10);
        EXPECT_NE(w("lblTestBox", 0).BackColor(), yellow);
    }
    EXPECT_FALSE(w["cmdApply"].Enabled());
    w["cmdOK"].UserClick();
    EXPECT_TRUE(device.Requests.empty());
}

using SleepTimeTest = SettingsTest;

TEST_F(SleepTimeTest, LabelsDescribeThePositionFromTheStart) {
    struct Case {
        int Position;
        const char *Seconds, *Words;
    };
    stored.PowerDownTime = 15;
    Form& w = Open("cmdSleepTime", "frmSleepTime");
    EXPECT_EQ(w["lblSS"].Caption(), "Power Down When Idel  2 Min.  30 Sec.");
    EXPECT_EQ(w["lblST"].Caption(), " 150");
    for (const Case c : {Case{0, " 0", "Disable Power Down Function"},
                         Case{3, " 30", "Power Down When Idel  30 Sec."},
                         Case{6, " 60", "Power Down When Idel  1 Min. "},
                         Case{30, " 300", "Power Down When Idel  5 Min. "}}) {
        w["hscSleepTime"].UserScroll(c.Position);
        EXPECT_EQ(w["lblST"].Caption(), c.Seconds);
        EXPECT_EQ(w["lblSS"].Caption(), c.Words);
    }
    w["hscSleepTime"].UserScroll(15);
    EXPECT_FALSE(w["cmdApply"].Enabled());
    w["hscSleepTime"].UserScroll(0);
    w["cmdOK"].UserClick();
    DriverParameterBlock expected = stored;
    expected.PowerDownTime = 0;
    EXPECT_TRUE(SameBytes(OnlyRequest(IOCTL_TOUCH_SET_POWER_DOWN), expected));
    EXPECT_EQ(Summary("lblSleepTime"), "Disable Power Down Function");
}

TEST_F(SleepTimeTest, StoredTimeAboveTheScaleIsShownAndKept) {
    stored.PowerDownTime = 31;
    Form& w = Open("cmdSleepTime", "frmSleepTime");
    EXPECT_EQ(w["hscSleepTime"].Value(), 30);
    EXPECT_EQ(w["lblST"].Caption(), " 310");
    EXPECT_EQ(w["lblSS"].Caption(), "Power Down When Idel  5 Min.  10 Sec.");
    EXPECT_FALSE(w["cmdApply"].Enabled());
    w["cmdOK"].UserClick();
    EXPECT_TRUE(device.Requests.empty());
    EXPECT_EQ(Summary("lblSleepTime"), "Power Down When Idel  5 Min.  10 Sec.");
}

}  // namespace
}  // namespace px
