#include <gtest/gtest.h>

#include "control_panel/main_window.hpp"
#include "fakes.hpp"
#include "shared/running_copy.hpp"
#include "suite_fakes.hpp"

namespace px {
namespace {

const std::string kOemKey = "HKLM\\SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
const std::string kInstall = "C:\\Program Files\\TouchScreen";

class ControlPanelTest : public ::testing::Test, protected fakes::SuiteFakes {
protected:
    void SetUp() override {
        registry.SetString(kOemKey, "VenderName", "Veldrant Touch");
        registry.SetString(kOemKey, "InstallPath", kInstall);
        registry.SetString(kOemKey, "WindowsPath", "C:\\windows");
        registry.SetString(kOemKey, "SystemPath", "C:\\windows\\system32");
        registry.SetString(kOemKey, "HardwareID", "HW");
        DriverParameterBlock block{};
        block.ComPort = 2;
        block.PortAddress = 0x2F8;
        block.PortIrq = 3;
        block.BaudCode = 6;
        block.TouchMode = 2;
        block.RightButton = 1;
        block.FeedbackSound = 3;
        block.HSpeed = 12;
        block.VSpeed = 7;
        block.Acceleration = 2;
        block.PowerDownTime = 9;
        block.Sensitivity = 100;
        device.Reply(IOCTL_TOUCH_GET_PARAMETERS, block);
    }
    std::string Summary(const char* name) { return panel.Main()[name].Caption(); }

    fakes::FakeDevice device;
    ControlPanel panel{PortsWith(device)};
};

TEST_F(ControlPanelTest, LoadShowsTitleVendorAndTheSixSummaries) {
    panel.Start();
    auto& main = panel.Main();
    EXPECT_EQ(main.Caption(), " TouchScreen Control Panel #PX-K17-COM");
    EXPECT_EQ(Summary("lblSystem"), "TouchScreen Control Panel Version K306.COM");
    EXPECT_EQ(Summary("lblOemTitle"), "Veldrant Touch");
    EXPECT_EQ(Summary("lblSerialPort"), "COM2, Port=02F8, IRQ=3, (19200,N,8,1)");
    EXPECT_EQ(Summary("lblVirtualButton"), "Lift Off Mode (RBF=Enable)");
    EXPECT_EQ(Summary("lblFeedbackSound"), "Lift Off Only");
    EXPECT_EQ(Summary("lblMouseSpeed"), "HS=60%, VS=35%, Acceleration=Medium");
    EXPECT_EQ(Summary("lblSleepTime"), "Power Down When Idel  1 Min.  30 Sec.");
    EXPECT_EQ(Summary("lblSensitivity"), "Level 27");
    EXPECT_TRUE(ui.Boxes.empty());
    EXPECT_TRUE(process.Ended.empty());
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.Pointer(), forms::MousePointer::Default);
    ASSERT_EQ(device.Requests.size(), 1u);
    EXPECT_EQ(device.Requests[0].Code, IOCTL_TOUCH_GET_PARAMETERS);
    // 1024 x 768 screen, frameless in this test: left 7680 - 3322, top 4896 - 2857.
    EXPECT_DOUBLE_EQ(main.Left(), 7680 - 3322);
    EXPECT_DOUBLE_EQ(main.Top(), 4896 - 2857);
    // The icon sits centred in its frame's inner area (780 less the 3-D border).
    EXPECT_DOUBLE_EQ(main["imgIcon"].Left(), 120);
    EXPECT_DOUBLE_EQ(main["imgIcon"].Top(), 120);
    EXPECT_FALSE(main["cmdTest"].Visible());
    EXPECT_FALSE(main["cmdSensivitity"].Enabled());
    EXPECT_FALSE(main["lblSensitivity"].Visible());
}

TEST_F(ControlPanelTest, FailedReadShowsTheTextsOfAZeroBlock) {
    device.Failing.insert(IOCTL_TOUCH_GET_PARAMETERS);
    panel.Start();
    EXPECT_EQ(Summary("lblSerialPort"), "COM0, Port=0000, IRQ=0, (,N,8,1)");
    EXPECT_EQ(Summary("lblVirtualButton"), "Invalid#0 (RBF=Disable)");
    EXPECT_EQ(Summary("lblFeedbackSound"), "Invalid#0");
    EXPECT_EQ(Summary("lblMouseSpeed"), "HS=0%, VS=0%, Acceleration=Invalid#0");
    EXPECT_EQ(Summary("lblSleepTime"), "Disable Power Down Function");
    EXPECT_TRUE(ui.Boxes.empty());
}

TEST_F(ControlPanelTest, SecondCopyBringsTheFirstForwardAndEndsQuietly) {
    search.Previous = true;
    search.Windows = {{0x10, "Other"}, {0x20, " TouchScreen Control Panel #PX-K17-COM"}};
    panel.Start();
    EXPECT_EQ(search.Raised, (std::vector<WindowHandle>{0x20}));
    EXPECT_TRUE(ui.Boxes.empty());
    EXPECT_EQ(process.Ended.size(), 1u);
    EXPECT_TRUE(registry.CreatedPaths.empty());
    EXPECT_TRUE(device.OpenedPaths.empty());
}

TEST_F(ControlPanelTest, SecondCopyWithoutAWindowToFindSaysSo) {
    search.Previous = true;
    panel.Main().NativeHandle = 0x30;
    search.Windows = {{0x30, " TouchScreen Control Panel #PX-K17-COM"}};  // only itself
    panel.Start();
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Events.front(), "beep");
    EXPECT_EQ(ui.Boxes[0].Text,
              "Application is running!\r\rPlease find and select the running window from Taskbar.");
    EXPECT_EQ(ui.Boxes[0].Title, " TouchScreen Control Panel #PX-K17-COM");
    EXPECT_EQ(ui.Boxes[0].Style, 0x1010u);
    EXPECT_EQ(process.Ended.size(), 1u);
    EXPECT_TRUE(device.OpenedPaths.empty());
}

TEST_F(ControlPanelTest, MissingOemDataEndsBeforeTheDriverIsOpened) {
    registry.Set(kOemKey, "HardwareID", kRegExpandSz, {'x', 0});
    panel.Start();
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Fail to load data from Register File!");
    EXPECT_EQ(ui.Boxes[0].Title, " TouchScreen Control Panel #PX-K17-COM");
    EXPECT_EQ(process.Ended.size(), 1u);
    EXPECT_TRUE(device.OpenedPaths.empty());
}

TEST_F(ControlPanelTest, MissingDriverEndsWithItsMessage) {
    device.Present = false;
    panel.Start();
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Fail to open PXWNTCOM.sys!");
    EXPECT_EQ(ui.Boxes[0].Title, "TouchScreen Control Panel");
    EXPECT_EQ(process.Ended.size(), 1u);
    EXPECT_TRUE(device.Requests.empty());
}

TEST_F(ControlPanelTest, SupportButtonFollowsTheVendorFiles) {
    struct Case {
        bool Cut, Bitmap;
        std::string Caption;
        bool Enabled;
        std::string Opens;
    } cases[] = {
        {true, true, "", false, ""},
        {true, false, "", false, ""},
        {false, true, "S&upport", true, "frmSupport"},
        {false, false, "&About", true, "frmAbout"},
    };
    for (const auto& c : cases) {
        fakes::FakeFiles caseFiles;
        fakes::FakePictures casePictures;
        if (c.Cut) caseFiles.Readable.insert(kInstall + "\\PXVender.Cut");
        if (c.Bitmap) {
            caseFiles.Readable.insert(kInstall + "\\PXVender.Bmp");
            casePictures.Bitmaps[kInstall + "\\PXVender.Bmp"] = {100, 50};
        }
        ControlPanel cp{
            SuitePorts{device, registry, ui, process, windows, search, caseFiles, casePictures, events, clock}};
        cp.Start();
        auto& support = cp.Main()["cmdSupport"];
        EXPECT_EQ(support.Caption(), c.Caption) << c.Cut << c.Bitmap;
        EXPECT_EQ(support.Enabled(), c.Enabled) << c.Cut << c.Bitmap;
        support.UserClick();
        const std::string opened = cp.Support().Visible() ? "frmSupport" : cp.About().Visible() ? "frmAbout" : "";
        EXPECT_EQ(opened, c.Opens) << c.Cut << c.Bitmap;
        EXPECT_EQ(cp.Main().Visible(), c.Opens.empty());
    }
}

TEST_F(ControlPanelTest, BitmapGoneSinceLoadOpensAbout) {
    files.Readable.insert(kInstall + "\\PXVender.Bmp");
    pictures.Bitmaps[kInstall + "\\PXVender.Bmp"] = {100, 50};
    panel.Start();
    EXPECT_EQ(panel.Main()["cmdSupport"].Caption(), "S&upport");
    files.Readable.clear();
    panel.Main()["cmdSupport"].UserClick();
    EXPECT_TRUE(panel.About().Visible());
    EXPECT_FALSE(panel.Support().Loaded());
}

TEST_F(ControlPanelTest, UnreadableBitmapOpensAbout) {
    files.Readable.insert(kInstall + "\\PXVender.Bmp");  // there, but no picture in it
    panel.Start();
    panel.Main()["cmdSupport"].UserClick();
    EXPECT_TRUE(panel.About().Visible());
}

TEST_F(ControlPanelTest, SupportWindowFitsTheBitmap) {
    files.Readable.insert(kInstall + "\\PXVender.Bmp");
    pictures.Bitmaps[kInstall + "\\PXVender.Bmp"] = {200, 100};  // 3000 x 1500 twips
    panel.Support().SetFrameSize(90, 405);
    panel.Start();
    panel.Main()["cmdSupport"].UserClick();
    auto& support = panel.Support();
    ASSERT_TRUE(support.Visible());
    EXPECT_EQ(support.Caption(), panel.Main().Caption());
    EXPECT_DOUBLE_EQ(support.ScaleWidth(), 3000);
    EXPECT_DOUBLE_EQ(support.ScaleHeight(), 1500 + 300 + 495);
    EXPECT_DOUBLE_EQ(support["cmdOK"].Top(), 180 + 1500);
    EXPECT_DOUBLE_EQ(support["cmdOK"].Left(), (3000 - 1215) / 2.0);
    EXPECT_EQ(support["picSupport"].Picture(), kInstall + "\\PXVender.Bmp");
    EXPECT_FALSE(panel.Main().Visible());
    support["cmdOK"].UserClick();
    EXPECT_FALSE(support.Loaded());
    EXPECT_TRUE(panel.Main().Visible());
}

TEST_F(ControlPanelTest, AboutKeepsItsCaptionAndReturnsOnClose) {
    panel.Start();
    panel.Main()["imgIcon"].DblClick();
    auto& about = panel.About();
    ASSERT_TRUE(about.Visible());
    EXPECT_FALSE(panel.Main().Visible());
    EXPECT_EQ(about.Caption(), " About");
    EXPECT_EQ(about["lblOemTitle"].Caption(), "Veldrant Touch");
    EXPECT_EQ(about["lblSystem"].Caption(), "TouchScreen Control Panel Version K306.COM");
    EXPECT_FALSE(about["lblCopyright"].Caption().empty());
    EXPECT_TRUE(about.Unload());  // the close box
    EXPECT_TRUE(panel.Main().Visible());
}

TEST_F(ControlPanelTest, ExitClosesTheDriverAndEnds) {
    panel.Start();
    panel.Main()["cmdExit"].UserClick();
    EXPECT_FALSE(panel.Main().Loaded());
    EXPECT_EQ(device.Closed.size(), 1u);
    EXPECT_EQ(process.Ended.size(), 1u);
}

TEST_F(ControlPanelTest, ServiceGestureNeedsTheRightButtonAndExactlyTheServiceKeys) {
    forms::Form* found = panel.Window("frmMcuInfo");
    ASSERT_NE(found, nullptr);
    forms::Form& info = *found;
    panel.Start();
    auto& serial = panel.Main()["cmdSerialPort"];
    serial.MouseDown(forms::kLeftButton, kServiceKeys, 0, 0);
    serial.MouseDown(forms::kRightButton, kServiceKeys | forms::kAltMask, 0, 0);
    serial.MouseDown(forms::kRightButton, forms::kShiftMask, 0, 0);
    serial.MouseDown(forms::kRightButton | forms::kLeftButton, kServiceKeys, 0, 0);
    EXPECT_FALSE(info.Loaded());
    serial.MouseDown(forms::kRightButton, kServiceKeys, 0, 0);
    EXPECT_TRUE(info.Visible());
    EXPECT_FALSE(panel.Main().Visible());
}

TEST_F(ControlPanelTest, OpeningAWindowNotInstalledDoesNothing) {
    panel.Start();
    panel.Open("frmNotInstalled", ControlPanel::Order::HideThenShow);
    EXPECT_TRUE(panel.Main().Visible());
    EXPECT_EQ(panel.Main().Pointer(), forms::MousePointer::Default);
}

TEST(RunningCopy, SkipsItselfChildrenForeignInstancesAndPartialTitles) {
    fakes::FakeSearch search;
    const std::string title = " TouchScreen Control Panel #PX-K17-COM";
    search.Windows = {
        {1, title},                        // this window
        {2, title, 0x99},                  // has a parent
        {3, title, 0, 0x1234},             // instance word not 0
        {4, title + " (2)"},               // longer title
        {5, ""},                           // untitled
        {6, title},                        // the running copy
        {7, title},
    };
    EXPECT_EQ(FindRunningCopy(search, 1, title), 6);
    EXPECT_EQ(FindRunningCopy(search, 6, "nothing"), 0);
}

TEST(RunningCopy, TitlesAreComparedWithinTheirFirst127Characters) {
    fakes::FakeSearch search;
    const std::string longTitle(200, 'x');
    search.Windows = {{1, longTitle}};
    EXPECT_EQ(FindRunningCopy(search, 0, longTitle), 0);
    EXPECT_EQ(FindRunningCopy(search, 0, std::string(127, 'x')), 1);
}

}  // namespace
}  // namespace px
