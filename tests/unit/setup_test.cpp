#include <gtest/gtest.h>

#include "fakes.hpp"
#include "setup/post_setup.hpp"
#include "setup/uninstaller.hpp"
#include "setup_fakes.hpp"
#include "suite_fakes.hpp"

namespace px {
namespace {

const std::string kOemKey = "HKLM\\SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
const std::string kInstall = "C:\\Program Files\\TouchScreen";
const std::string kOemFile = kInstall + "\\setup.oem";

struct SetupFixture : ::testing::Test, fakes::SuiteFakes {
    void FillOem() {
        registry.SetString(kOemKey, "VenderName", "Old Vendor");
        registry.SetString(kOemKey, "InstallPath", kInstall);
        registry.SetString(kOemKey, "WindowsPath", "C:\\windows");
        registry.SetString(kOemKey, "SystemPath", "C:\\windows\\system32");
        registry.SetString(kOemKey, "HardwareID", "HW");
    }
    std::string StoredVendor() {
        const auto* v = registry.Get(kOemKey, "VenderName");
        return v ? std::string(reinterpret_cast<const char*>(v->Data.data())) : "";
    }

    fakes::FakeDevice device;
    fakes::FakeIni ini;
    fakes::FakeRestart restart;
    fakes::FakeRemoval removal;
    fakes::FakeTextMeasure text;
    SuitePorts ports = PortsWith(device);
};

TEST(IniValue, TrimsTrailingBlanksKeepsLeadingAndStopsAt254) {
    fakes::FakeIni ini;
    const auto set = [&](const std::string& v) { ini.Values["f|SETUP|TITLE"] = v; };
    set("  Acme Touch   ");
    EXPECT_EQ(IniValue(ini, "f", "SETUP", "TITLE"), "  Acme Touch");
    set(std::string(300, 'x'));
    EXPECT_EQ(IniValue(ini, "f", "SETUP", "TITLE").size(), 254u);
    set("   ");
    EXPECT_EQ(IniValue(ini, "f", "SETUP", "TITLE"), "");
    EXPECT_EQ(IniValue(ini, "f", "SETUP", "OTHER"), "");
}

TEST(SetupFileExists, DropsOneTrailingBackslash) {
    fakes::FakeFiles files;
    files.Readable.insert("C:\\T\\setup.oem");
    EXPECT_TRUE(SetupFileExists(files, "C:\\T\\setup.oem\\"));
    EXPECT_TRUE(SetupFileExists(files, "C:\\T\\setup.oem"));
    EXPECT_FALSE(SetupFileExists(files, "C:\\T\\setup.oem\\\\"));
}

using PostSetupTest = SetupFixture;

TEST_F(PostSetupTest, TitleFromSetupFileBecomesTheVendorThenRestart) {
    FillOem();
    files.Readable.insert(kOemFile);
    ini.Values[kOemFile + "|SETUP|TITLE"] = " New Vendor  ";
    PostSetup program(ports, ini, restart);
    program.Run();
    EXPECT_EQ(StoredVendor(), " New Vendor");
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text,
              "Setup has finished installing TouchScreen drivers and utilities on your computer.\r\n\r\n"
              "The Windows must be restarted.");
    EXPECT_EQ(ui.Boxes[0].Title, "TouchScreen Driver Installation");
    EXPECT_EQ(ui.Boxes[0].Style, 4160u);
    EXPECT_EQ(restart.Calls, (std::vector<std::string>{"open", "lookup", "adjust", "exit", "close"}));
    EXPECT_FALSE(program.Message().Loaded());
}

TEST_F(PostSetupTest, MissingFileOrEmptyTitleKeepsTheVendorAndStillRestarts) {
    for (const bool fileThere : {false, true}) {
        FillOem();
        ui.Boxes.clear();
        restart.Calls.clear();
        if (fileThere) {
            files.Readable.insert(kOemFile);
            ini.Values[kOemFile + "|SETUP|TITLE"] = "    ";
        }
        PostSetup program(ports, ini, restart);
        program.Run();
        EXPECT_EQ(StoredVendor(), "Old Vendor");
        ASSERT_EQ(ui.Boxes.size(), 1u);
        EXPECT_EQ(ui.Boxes[0].Style, 4160u);
        EXPECT_FALSE(restart.Calls.empty());
    }
}

TEST_F(PostSetupTest, MissingOemDataEndsWithAPlainBoxAndNoRestart) {
    PostSetup program(ports, ini, restart);
    EXPECT_EQ(program.Run(), 0);
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Fail to load data from Register File!");
    EXPECT_EQ(ui.Boxes[0].Style, 0u);
    EXPECT_TRUE(ui.Events.size() == 1 && ui.Events[0] == "box");  // no beep
    EXPECT_TRUE(restart.Calls.empty());
}

TEST(PostSetupOptions, QuietAndNoRestartAreWholeArgumentsInAnyCase) {
    const auto parsed = [](const char* line) {
        const auto o = ParsePostSetupOptions(line);
        return std::pair(o.Quiet, o.NoRestart);
    };
    EXPECT_EQ(parsed(""), std::pair(false, false));
    EXPECT_EQ(parsed("/QUIET /NORESTART"), std::pair(true, true));
    EXPECT_EQ(parsed("/quiet"), std::pair(true, false));
    EXPECT_EQ(parsed("/QUIETLY /NORESTARTS"), std::pair(false, false));
}

TEST_F(PostSetupTest, QuietRunStoresTheVendorAndRestartsWithoutABox) {
    FillOem();
    files.Readable.insert(kOemFile);
    ini.Values[kOemFile + "|SETUP|TITLE"] = "New Vendor";
    PostSetup program(ports, ini, restart, {.Quiet = true});
    EXPECT_EQ(program.Run(), 1641);
    EXPECT_EQ(StoredVendor(), "New Vendor");
    EXPECT_TRUE(ui.Events.empty());
    EXPECT_EQ(restart.Calls, (std::vector<std::string>{"open", "lookup", "adjust", "exit", "close"}));
}

TEST_F(PostSetupTest, NoRestartLeavesTheRestartToTheAdministrator) {
    FillOem();
    PostSetup quiet(ports, ini, restart, {.Quiet = true, .NoRestart = true});
    EXPECT_EQ(quiet.Run(), 3010);
    EXPECT_TRUE(ui.Events.empty());
    EXPECT_TRUE(restart.Calls.empty());
    // Interactive, the user is still told that Windows must be restarted.
    PostSetup shown(ports, ini, restart, {.NoRestart = true});
    EXPECT_EQ(shown.Run(), 3010);
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Style, 4160u);
    EXPECT_TRUE(restart.Calls.empty());
}

TEST_F(PostSetupTest, QuietFailuresShowInTheExitCodeOnly) {
    PostSetup noOem(ports, ini, restart, {.Quiet = true});
    EXPECT_EQ(noOem.Run(), 1603);
    FillOem();
    // A refused restart leaves the installation done: the restart is still needed.
    restart.AdjustError = 1300;
    PostSetup refused(ports, ini, restart, {.Quiet = true});
    EXPECT_EQ(refused.Run(), 3010);
    EXPECT_TRUE(ui.Events.empty());
}

TEST(PostSetupExitCode, FollowsTheInstallerConvention) {
    EXPECT_EQ(PostSetupExitCode({.RestartStarted = true}), 1641);
    EXPECT_EQ(PostSetupExitCode({.RestartStarted = false}), 3010);
    EXPECT_EQ(PostSetupExitCode({.RestartAsked = false}), 3010);
    EXPECT_EQ(PostSetupExitCode({.OemLoaded = false, .RestartStarted = true}), 1603);
    EXPECT_EQ(PostSetupExitCode({.VendorStored = false, .RestartStarted = true}), 1603);
}

// As the system account, or in session 0, the restart goes through the call meant for that.
TEST_F(PostSetupTest, WithoutAUserAtTheScreenTheSystemRestartCallIsUsed) {
    FillOem();
    restart.Interactive = false;
    PostSetup quiet(ports, ini, restart, {.Quiet = true});
    EXPECT_EQ(quiet.Run(), 1641);
    EXPECT_EQ(restart.Calls, (std::vector<std::string>{"open", "lookup", "adjust", "system", "close"}));
    restart.Calls.clear();
    restart.SystemRestartWorks = false;
    PostSetup refused(ports, ini, restart, {.Quiet = true});
    EXPECT_EQ(refused.Run(), 3010);
}

TEST(Restart, EachFailureIsReportedWithItsOwnSpacing) {
    struct Case {
        bool Opens;
        std::uint32_t Lookup, Adjust;
        bool Exits;
        std::string Message;
    } cases[] = {
        {false, 0, 0, true, "Fail to restart system! (OpenProcessToken=0)"},
        {true, 1313, 0, true, "Fail to restart system! (LookupPrivilegeValue = 1313)"},
        {true, 0, 1300, true, "Fail to restart system! (AdjustTokenPrivileges = 1300)"},
        {true, 0, 0, false, "Fail to restart system! (ExitWindowsEx=0)"},
    };
    for (const auto& c : cases) {
        fakes::FakeRestart restart;
        fakes::FakeUi ui;
        restart.TokenOpens = c.Opens;
        restart.LookupError = c.Lookup;
        restart.AdjustError = c.Adjust;
        restart.ExitWorks = c.Exits;
        EXPECT_FALSE(RestartSystem(restart, ui, "T"));
        ASSERT_EQ(ui.Boxes.size(), 1u);
        EXPECT_EQ(ui.Boxes[0].Text, c.Message);
        EXPECT_EQ(ui.Boxes[0].Style, 0u);
        EXPECT_EQ(ui.Boxes[0].Title, "T");
        // A refused privilege never reaches the restart itself.
        const bool exited =
            std::find(restart.Calls.begin(), restart.Calls.end(), "exit") != restart.Calls.end();
        EXPECT_EQ(exited, c.Opens && c.Lookup == 0 && c.Adjust == 0);
    }
}

TEST(Hourglass, IsCountedAndNeverBelowZero) {
    auto form = MakeMessageForm();
    Hourglass hourglass(form);
    hourglass.Busy();
    hourglass.Busy();
    hourglass.Normal();
    EXPECT_EQ(form.Pointer(), forms::MousePointer::Hourglass);
    hourglass.Normal();
    EXPECT_EQ(form.Pointer(), forms::MousePointer::Default);
    hourglass.Normal();
    EXPECT_EQ(hourglass.Count(), 0);
    hourglass.Busy();
    EXPECT_EQ(form.Pointer(), forms::MousePointer::Hourglass);
}

TEST(Progress, IconAndTextAreCentredVerticallyAndTheWindowPlaced) {
    auto form = MakeMessageForm();
    ShowProgress(form, "TouchScreen Software Removal", "Removing files from your system...");
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.Caption(), "TouchScreen Software Removal");
    EXPECT_EQ(form["lblMsg"].Caption(), "Removing files from your system...");
    EXPECT_DOUBLE_EQ(form["imgMsg"].Top(), 900 / 2 - 240);
    EXPECT_DOUBLE_EQ(form["lblMsg"].Top(), 900 / 2 - 90);
    EXPECT_DOUBLE_EQ(form.Left(), 7680 - 5355 / 2);
    EXPECT_DOUBLE_EQ(form.Top(), 4896 - 450);
}

struct UninstallerTest : SetupFixture {
    void SetUp() override {
        FillOem();
        device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{0x5150, 0, {0, 0}});
    }
    Uninstaller Make() { return Uninstaller(ports, SetupPorts{ini, restart, removal, text}); }
};

TEST_F(UninstallerTest, QuestionAndLayout) {
    auto program = Make();
    program.Start();
    auto& main = program.Main();
    EXPECT_EQ(main.Caption(), "TouchScreen Software Removal");
    EXPECT_EQ(main["lblSystem"].Caption(), "TouchScreen Software Removal Version K306.COM");
    EXPECT_EQ(main["lblOemTitle"].Caption(), "Old Vendor");
    EXPECT_EQ(main["lblAsk"].Caption(),
              "Are you sure you want to completely remove TouchScreen V.K306.COM and all of its components?");
    // 6975 wide inside: shape (6975 - 6015) \ 2, buttons (6975 - 1822.5 - 1215) \ 2 = 3937.5 -> 3938 \ 2.
    EXPECT_DOUBLE_EQ(main["shpRemoval"].Left(), 480);
    EXPECT_DOUBLE_EQ(main["cmdYes"].Left(), 1969);
    EXPECT_DOUBLE_EQ(main["cmdNo"].Left(), 3792);  // 1969 + 1822.5, stored whole: half to even
    // Two etched lines above the buttons: shadow then highlight, the second drawn back.
    ASSERT_EQ(main.Figures().size(), 2u);
    const auto& shadow = std::get<forms::LineFigure>(main.Figures()[0]);
    const auto& light = std::get<forms::LineFigure>(main.Figures()[1]);
    const double y = 3000 - 435 / 2;
    EXPECT_EQ(shadow.Colour, 0x80000010u);
    EXPECT_DOUBLE_EQ(shadow.X1, 430);
    EXPECT_DOUBLE_EQ(shadow.Y1, y);
    EXPECT_DOUBLE_EQ(shadow.X2, 430 + 6115);
    EXPECT_EQ(light.Colour, 0x80000014u);
    EXPECT_DOUBLE_EQ(light.X1, 430 + 6115 + 5);
    EXPECT_DOUBLE_EQ(light.Y1, y + 20);
    EXPECT_DOUBLE_EQ(light.X2, 425);
}

TEST_F(UninstallerTest, WideCaptionWidensTheWindowBeforeItIsCentred) {
    text.TwipsPerCharacter = 400;  // 28 characters: 11200 + 2 x 1215
    auto program = Make();
    program.Start();
    auto& main = program.Main();
    EXPECT_DOUBLE_EQ(main.Width(), 11200 + 2430);
    EXPECT_DOUBLE_EQ(main.Left(), 7680 - (11200 + 2430) / 2);
}

TEST_F(UninstallerTest, NoChangesNothing) {
    auto program = Make();
    program.Start();
    program.Main()["cmdNo"].UserClick();
    EXPECT_FALSE(program.Main().Loaded());
    EXPECT_TRUE(device.OpenedPaths.empty());
    EXPECT_TRUE(removal.Started.empty());
    EXPECT_TRUE(windows.Sent.empty());
    EXPECT_EQ(process.Ended.size(), 1u);
}

TEST_F(UninstallerTest, YesClosesTheButtonRunsRemovalAndRestarts) {
    removal.WaitResults = {kWaitTimeout, kWaitTimeout, kWaitTimeout, kWaitTimeout, kWaitTimeout,
                           kWaitTimeout, kWaitTimeout, kWaitTimeout, kWaitTimeout, kWaitObject0};  // ~9.5 s
    auto program = Make();
    program.Start();
    program.Main()["cmdYes"].UserClick();
    EXPECT_FALSE(program.Main().Visible());
    ASSERT_EQ(windows.Sent.size(), 1u);
    EXPECT_EQ(windows.Sent[0].Window, 0x5150);
    EXPECT_EQ(windows.Sent[0].WParam, 4110u);
    EXPECT_EQ(device.Closed.size(), 1u);
    EXPECT_EQ(removal.Started, (std::vector<std::string>{"\"C:\\Program Files\\TouchScreen\\unins000.exe\" /SILENT"}));
    EXPECT_EQ(removal.ShowCommands, (std::vector<int>{1}));
    EXPECT_EQ(removal.WaitTimes.size(), 10u);
    EXPECT_EQ(removal.Closed.size(), 1u);
    ASSERT_EQ(removal.Moved.size(), 1u);
    EXPECT_EQ(removal.Moved[0].first, "C:\\windows\\PXWNTCde.exe");
    EXPECT_EQ(removal.Moved[0].second, 4u);
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text,
              "Removal is complete to uninstall TouchScreen drivers and utilities.\r\n\r\nThe Windows must be restarted.");
    EXPECT_EQ(ui.Boxes[0].Style, 4160u);
    EXPECT_FALSE(restart.Calls.empty());
    EXPECT_FALSE(program.Message().Loaded());
    // Ten rounds of waiting, then the ten-second pause; window events ran throughout.
    EXPECT_GE(events.Calls, 10 + 10);
}

TEST_F(UninstallerTest, EachWaitFailureEndsWithoutRestart) {
    struct Case {
        std::deque<std::uint32_t> Results;
        std::uint32_t ProcessId;
        std::string Message;
        std::size_t Waits;
        std::uint32_t EndedWith = 0;
        bool LockFree = true;
    } cases[] = {
        {{kWaitTimeout, kWaitFailed}, 4242, "Fail to remove files! (WAIT_FAILED)", 2},
        {{kWaitAbandoned}, 4242, "Fail to remove files! (WAIT_ABANDONED)", 1},
        {{}, 4242, "Fail to remove files! (WAIT_TIMEOUT)", 10},
        {{}, 0, "Fail to remove files! (Startup)", 0},
        // Ended is not done: a removal program that failed gives no "complete" and no restart.
        {{kWaitObject0}, 4242, "Fail to remove files! (ExitCode=1)", 1, 1},
        {{kWaitObject0}, 4242, "Fail to remove files! (ExitCode=1603)", 1, 1603},
        // Another installation or removal runs: nothing is started.
        {{kWaitObject0}, 4242, "Fail to remove files! (Setup running)", 0, 0, false},
    };
    for (const auto& c : cases) {
        fakes::FakeRemoval caseRemoval;
        caseRemoval.WaitResults = c.Results;
        caseRemoval.ProcessId = c.ProcessId;
        caseRemoval.EndedWith = c.EndedWith;
        caseRemoval.LockFree = c.LockFree;
        fakes::FakeUi caseUi;
        fakes::FakeRestart caseRestart;
        fakes::FakeProcess caseProcess;
        SuitePorts casePorts{device, registry, caseUi, caseProcess, windows, search, files, pictures, events, clock};
        Uninstaller program(casePorts, SetupPorts{ini, caseRestart, caseRemoval, text});
        program.Start();
        program.Main()["cmdYes"].UserClick();
        ASSERT_EQ(caseUi.Boxes.size(), 1u) << c.Message;
        EXPECT_EQ(caseUi.Boxes[0].Text, c.Message);
        EXPECT_EQ(caseUi.Boxes[0].Style, 4144u);
        EXPECT_EQ(caseUi.Boxes[0].Title, "TouchScreen Software Removal");
        EXPECT_EQ(caseRemoval.WaitTimes.size(), c.Waits) << c.Message;
        EXPECT_TRUE(caseRemoval.Moved.empty());
        EXPECT_TRUE(caseRestart.Calls.empty());
        EXPECT_EQ(caseProcess.Ended.size(), 1u);
    }
}

TEST_F(UninstallerTest, NoRegisteredButtonSendsNothingAndMissingDriverIsSkipped) {
    device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, RbfWindowRecord{-1, 0, {0, 0}});
    removal.WaitResults = {kWaitObject0};
    auto program = Make();
    program.Start();
    program.Main()["cmdYes"].UserClick();
    EXPECT_TRUE(windows.Sent.empty());

    device.Present = false;
    fakes::FakeRemoval again;
    again.WaitResults = {kWaitObject0};
    Uninstaller second(ports, SetupPorts{ini, restart, again, text});
    second.Start();
    second.Main()["cmdYes"].UserClick();
    EXPECT_EQ(again.Started.size(), 1u);
    EXPECT_TRUE(windows.Sent.empty());
}

TEST_F(UninstallerTest, MissingOemDataEndsBeforeTheQuestion) {
    registry.Set(kOemKey, "SystemPath", kRegDword, {1, 0, 0, 0});
    auto program = Make();
    program.Start();
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Fail to load data from Register File!");
    EXPECT_EQ(ui.Boxes[0].Title, "TouchScreen Software Removal");
    EXPECT_EQ(ui.Boxes[0].Style, 0u);
    EXPECT_EQ(process.Ended.size(), 1u);
}

}  // namespace
}  // namespace px
