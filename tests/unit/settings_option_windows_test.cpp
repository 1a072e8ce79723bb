#include <gtest/gtest.h>

#include "settings_fixture.hpp"

namespace px {
namespace {

using forms::Form;
using forms::kBlack;
using forms::kTeal;
using testing_support::SameBytes;
using testing_support::SettingsTest;

using OptionWindowsTest = SettingsTest;

TEST_F(OptionWindowsTest, VirtualButtonShowsModesInTableOrderWithTheStoredOnesBlack) {
    Form& w = Open("cmdVirtualButton", "frmVirtualButton");
    const char* const captions[] = {" Stream Mode", " Lift Off Mode", " Touch Down Mode", " Drag Drop Mode"};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(w("optVirtualButton", i).Caption(), captions[i - 1]);
        EXPECT_EQ(w("optVirtualButton", i).Value(), i == 2 ? 1 : 0) << i;
        EXPECT_EQ(w("optVirtualButton", i).ForeColor(), i == 2 ? kBlack : kTeal) << i;
    }
    EXPECT_EQ(w("optRBFunction", 1).ForeColor(), kBlack);
    EXPECT_EQ(w("optRBFunction", 0).ForeColor(), kTeal);
    EXPECT_FALSE(w["cmdApply"].Enabled());
    EXPECT_EQ(w.Caption(), " TouchScreen Control Panel #PX-K17-COM");
    EXPECT_EQ(w["lblSystem"].Caption(), "TouchScreen Control Panel Version K306.COM");
    EXPECT_FALSE(panel.Main().Visible());
}

TEST_F(OptionWindowsTest, ChangeAndBackLeavesApplyDisabledAndOkSendsNothing) {
    Form& w = Open("cmdVirtualButton", "frmVirtualButton");
    w("optVirtualButton", 2).UserClick();  // the pending one: nothing happens
    EXPECT_FALSE(w["cmdApply"].Enabled());
    w("optVirtualButton", 4).UserClick();
    EXPECT_TRUE(w["cmdApply"].Enabled());
    EXPECT_EQ(w("optVirtualButton", 2).ForeColor(), kTeal);
    EXPECT_EQ(w("optVirtualButton", 4).ForeColor(), kBlack);
    w("optRBFunction", 0).UserClick();
    w("optVirtualButton", 2).UserClick();
    EXPECT_TRUE(w["cmdApply"].Enabled());  // the right-button choice still differs
    w("optRBFunction", 1).UserClick();
    EXPECT_FALSE(w["cmdApply"].Enabled());
    w["cmdOK"].UserClick();
    EXPECT_TRUE(device.Requests.empty());
    EXPECT_TRUE(process.Started.empty());
    EXPECT_TRUE(panel.Main().Visible());
}

TEST_F(OptionWindowsTest, ApplyWithEnableSendsTheModeAndStartsTheProgramEveryTime) {
    Form& w = Open("cmdVirtualButton", "frmVirtualButton");
    w.SetPointer(forms::MousePointer::Default);
    std::vector<forms::MousePointer> during;
    device.OnRequest = [&](std::uint32_t) { during.push_back(w.Pointer()); };
    DriverParameterBlock returned = stored;
    returned.TouchMode = 9;  // what the driver says wins over what was asked
    device.Reply(IOCTL_TOUCH_SET_TOUCH_MODE, returned);
    w("optVirtualButton", 3).UserClick();
    w["cmdApply"].UserClick();
    DriverParameterBlock expected = stored;
    expected.TouchMode = 3;
    EXPECT_TRUE(SameBytes(OnlyRequest(IOCTL_TOUCH_SET_TOUCH_MODE), expected));
    EXPECT_EQ(during, std::vector<forms::MousePointer>{forms::MousePointer::Hourglass});
    EXPECT_EQ(w.Pointer(), forms::MousePointer::Default);
    EXPECT_EQ(process.Started, std::vector<std::string>{"\"C:\\Program Files\\TouchScreen\\PXWNTCrb.exe\""});
    EXPECT_EQ(process.StartShowCommands, std::vector<int>{0});
    EXPECT_EQ(Summary("lblVirtualButton"), "Invalid#9 (RBF=Enable)");
    EXPECT_FALSE(w["cmdApply"].Enabled());
    // Only the mode changed, Enable still chosen: the program is started again.
    device.Replies.erase(IOCTL_TOUCH_SET_TOUCH_MODE);
    w("optVirtualButton", 1).UserClick();
    w["cmdOK"].UserClick();
    EXPECT_EQ(process.Started.size(), 2u);
    EXPECT_EQ(Summary("lblVirtualButton"), "Stream Mode (RBF=Enable)");
}

TEST_F(OptionWindowsTest, DisableClosesTheRegisteredProgramOnly) {
    for (const std::int32_t registered : {0x5150, -1}) {
        SCOPED_TRACE(registered);
        Form& w = Open("cmdVirtualButton", "frmVirtualButton");
        windows.Sent.clear();
        device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{registered, 0, {0, 0}});
        w("optRBFunction", 0).UserClick();
        w["cmdApply"].UserClick();
        ASSERT_EQ(device.Requests.size(), 2u);
        EXPECT_EQ(device.Requests[0].Code, IOCTL_TOUCH_SET_TOUCH_MODE);
        EXPECT_EQ(testing_support::BlockOf(device.Requests[0]).RightButton, 0);
        EXPECT_EQ(device.Requests[1].Code, IOCTL_TOUCH_GET_RBF_WINDOW);
        if (registered == -1) {
            EXPECT_TRUE(windows.Sent.empty());
        } else {
            ASSERT_EQ(windows.Sent.size(), 1u);
            EXPECT_EQ(windows.Sent[0].Window, registered);
            EXPECT_EQ(windows.Sent[0].Message, 0x400u);
            EXPECT_EQ(windows.Sent[0].WParam, 4110u);
        }
        EXPECT_TRUE(process.Started.empty());
        EXPECT_EQ(Summary("lblVirtualButton"), "Lift Off Mode (RBF=Disable)");
        w["cmdCandel"].UserClick();
        panel.Main().Unload();
    }
}

TEST_F(OptionWindowsTest, StoredValuesOutsideTheTablesSelectNothingAndAreKept) {
    stored.TouchMode = 0;
    stored.RightButton = 2;
    Form& w = Open("cmdVirtualButton", "frmVirtualButton");
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(w("optVirtualButton", i).Value(), 0) << i;
    EXPECT_EQ(w("optRBFunction", 0).Value() + w("optRBFunction", 1).Value(), 0);
    EXPECT_FALSE(w["cmdApply"].Enabled());
    w("optRBFunction", 0).UserClick();
    w["cmdOK"].UserClick();
    ASSERT_EQ(device.Requests.size(), 2u);  // the mode, then the look-up of a window to close
    EXPECT_EQ(device.Requests[0].Code, IOCTL_TOUCH_SET_TOUCH_MODE);
    const auto sent = testing_support::BlockOf(device.Requests[0]);
    EXPECT_EQ(sent.TouchMode, 0);  // not chosen, so not changed
    EXPECT_EQ(sent.RightButton, 0);
}

TEST_F(OptionWindowsTest, FeedbackSoundCommitsOnlyItsOwnField) {
    Form& w = Open("cmdFeedbackSound", "frmFeedbackSound");
    EXPECT_EQ(w("optFeedbackSound", 4).Caption(), " Both Touch Down && Lift Off");
    EXPECT_EQ(forms::DisplayedText(w("optFeedbackSound", 4).Caption()), " Both Touch Down & Lift Off");
    EXPECT_EQ(w("optFeedbackSound", 3).ForeColor(), kBlack);
    EXPECT_FALSE(w["cmdApply"].Enabled());
    w("optFeedbackSound", 1).UserClick();
    w("optFeedbackSound", 3).UserClick();
    EXPECT_FALSE(w["cmdApply"].Enabled());
    w("optFeedbackSound", 4).UserClick();
    w["cmdCandel"].UserClick();
    EXPECT_TRUE(device.Requests.empty());
    EXPECT_EQ(Summary("lblFeedbackSound"), "Lift Off Only");

    panel.Main()["cmdFeedbackSound"].UserClick();
    EXPECT_EQ(w("optFeedbackSound", 3).Value(), 1);  // the dropped choice is gone
    w("optFeedbackSound", 4).UserClick();
    w["cmdOK"].UserClick();
    DriverParameterBlock expected = stored;
    expected.FeedbackSound = 4;
    EXPECT_TRUE(SameBytes(OnlyRequest(IOCTL_TOUCH_SET_FEEDBACK_SOUND), expected));
    EXPECT_EQ(Summary("lblFeedbackSound"), "Both Touch Down && Lift Off");
    EXPECT_FALSE(w.Loaded());
}

}  // namespace
}  // namespace px
