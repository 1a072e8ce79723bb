#include <gtest/gtest.h>

#include <cstring>

#include "control_panel/main_window.hpp"
#include "control_panel/test_board.hpp"
#include "fakes.hpp"
#include "suite_fakes.hpp"

namespace px {
namespace {

using forms::Rgb;

const forms::Color kYellow = Rgb(255, 255, 0);

class TestBoardTest : public ::testing::Test, protected fakes::SuiteFakes {
protected:
    void SetUp() override {
        const std::string key = "HKLM\\SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
        for (const char* name : {"VenderName", "InstallPath", "WindowsPath", "SystemPath", "HardwareID"})
            registry.SetString(key, name, "x");
        DriverParameterBlock block{};
        block.TouchMode = 2;
        device.Reply(IOCTL_TOUCH_GET_PARAMETERS, block);
        panel.Start();
        device.Requests.clear();
    }
    forms::Form& board() { return *panel.Window("frmTest"); }
    void Open() { panel.Main()["cmdExit"].MouseDown(forms::kRightButton, kServiceKeys, 5, 5); }
    std::vector<int> TouchModesSent() const {
        std::vector<int> modes;
        for (const auto& r : device.Requests)
            if (r.Code == IOCTL_TOUCH_SET_TOUCH_MODE) {
                DriverParameterBlock b{};
                std::memcpy(&b, r.Input.data(), sizeof b);
                modes.push_back(b.TouchMode);
            }
        return modes;
    }
    std::vector<forms::Figure> Strokes() { return board()["picHome"].Figures(); }
    forms::Control& Width(int i) { return board()("lblWidth", i); }
    forms::Control& Colour(int i) { return board()("lblColor", i); }
    forms::Control& Indicator(int i) { return board()("lblButton", i); }

    fakes::FakeDevice device;
    ControlPanel panel{PortsWith(device)};
};

TEST_F(TestBoardTest, ServiceGestureOpensItInDragDropModeAndExitSendsTheOldModeBack) {
    Open();
    ASSERT_TRUE(board().Visible());
    EXPECT_FALSE(panel.Main().Visible());
    EXPECT_EQ(TouchModesSent(), (std::vector<int>{4}));
    board()["cmdExit"].UserClick();
    EXPECT_FALSE(board().Loaded());
    EXPECT_TRUE(panel.Main().Visible());
    EXPECT_EQ(TouchModesSent(), (std::vector<int>{4, 2}));
    EXPECT_EQ(panel.Channel().Block.TouchMode, 2);
    // Opened again while the driver already says 4: Exit sends back what it found, 4.
    panel.Channel().Block.TouchMode = 4;
    Open();
    board()["cmdExit"].UserClick();
    EXPECT_EQ(TouchModesSent(), (std::vector<int>{4, 2, 4, 4}));
}

TEST_F(TestBoardTest, SessionEndSendsTheOldModeBackAndEndsTheProgram) {
    Open();
    panel.EndSession();
    EXPECT_EQ(TouchModesSent(), (std::vector<int>{4, 2}));
    EXPECT_EQ(device.Closed.size(), 1u);
    EXPECT_EQ(process.Ended, std::vector<int>{0});
}

TEST_F(TestBoardTest, OtherKeysOrALeftClickDoNotOpenIt) {
    auto& exit = panel.Main()["cmdExit"];
    for (int shift : {0, forms::kShiftMask, forms::kCtrlMask, forms::kAltMask, kServiceKeys | forms::kAltMask})
        exit.MouseDown(forms::kRightButton, shift, 5, 5);
    exit.MouseDown(forms::kLeftButton, kServiceKeys, 5, 5);
    EXPECT_FALSE(board().Loaded());
    EXPECT_TRUE(TouchModesSent().empty());
}

TEST_F(TestBoardTest, WidthTwoAndBlueAreSelectedAtActivationAndSelectionsMoveTheMarks) {
    Open();
    auto& home = board()["picHome"];
    EXPECT_EQ(home.DrawWidth, 2);
    EXPECT_EQ(home.DrawColor, Rgb(0, 0, 255));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Width(i).ForeColor(), i == 1 ? kYellow : Rgb(0, 0, 0)) << i;
        EXPECT_EQ(Width(i).BackColor(), i == 1 ? Rgb(64, 64, 64) : Rgb(224, 224, 224)) << i;
    }
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Colour(i).Border(), i == 3) << i;

    Width(3).MouseDown(forms::kLeftButton, 0, 1, 1);
    Width(3).UserClick();  // the click after the press finds it chosen
    Colour(1).MouseDown(forms::kLeftButton, 0, 1, 1);
    EXPECT_EQ(home.DrawWidth, 4);
    EXPECT_EQ(home.DrawColor, Rgb(255, 0, 0));
    EXPECT_EQ(Width(3).BackColor(), Rgb(64, 64, 64));
    EXPECT_EQ(Width(1).BackColor(), Rgb(224, 224, 224));
    EXPECT_EQ(Width(1).ForeColor(), Rgb(0, 0, 0));
    EXPECT_TRUE(Colour(1).Border());
    EXPECT_FALSE(Colour(3).Border());
    EXPECT_EQ(TouchModesSent().size(), 1u);  // choosing sends nothing
}

TEST_F(TestBoardTest, StrokesFollowPressMoveAndReleaseAndASecondButtonCarriesTheLineOn) {
    Open();
    auto& home = board()["picHome"];
    home.MouseMove(0, 0, 5, 5);  // no button held: nothing
    home.MouseDown(forms::kLeftButton, 0, 10, 20);
    home.MouseMove(forms::kLeftButton, 0, 30, 40);
    home.MouseDown(forms::kRightButton, 0, 50, 60);
    home.MouseUp(forms::kLeftButton, 0, 50, 60);  // either release ends the stroke
    home.MouseMove(forms::kRightButton, 0, 70, 80);
    home.MouseDown(forms::kLeftButton, 0, 90, 95);  // a new stroke starts with a point
    const auto figures = Strokes();
    ASSERT_EQ(figures.size(), 4u);
    const auto& start = std::get<forms::PointFigure>(figures[0]);
    EXPECT_EQ(start.X, 10);
    EXPECT_EQ(start.Y, 20);
    EXPECT_EQ(start.Colour, Rgb(0, 0, 255));
    EXPECT_EQ(start.Width, 2);
    const auto& moved = std::get<forms::LineFigure>(figures[1]);
    EXPECT_EQ(moved.X1, 10);
    EXPECT_EQ(moved.Y2, 40);
    const auto& carried = std::get<forms::LineFigure>(figures[2]);
    EXPECT_EQ(carried.X1, 30);
    EXPECT_EQ(carried.Y1, 40);
    EXPECT_EQ(carried.X2, 50);
    EXPECT_EQ(carried.Y2, 60);
    EXPECT_TRUE(std::holds_alternative<forms::PointFigure>(figures[3]));
}

TEST_F(TestBoardTest, IndicatorsLightWhileTheirButtonIsDown) {
    Open();
    auto& home = board()["picHome"];
    struct Case {
        int Button;
        int Lit;  // lblButton index, -1 none
    };
    const Case cases[] = {{forms::kLeftButton, 0}, {forms::kMiddleButton, 1}, {forms::kRightButton, 2}, {3, -1}};
    for (const auto& c : cases) {
        home.MouseDown(c.Button, 0, 1, 1);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Indicator(i).BackColor() == kYellow, i == c.Lit) << "button " << c.Button << " lamp " << i;
        home.MouseUp(c.Button, 0, 1, 1);
        for (int i = 0; i < 3; ++i) EXPECT_NE(Indicator(i).BackColor(), kYellow) << "after release " << c.Button;
    }
}

TEST_F(TestBoardTest, ClearErasesTheStrokesAndKeepsTheChoices) {
    Open();
    auto& home = board()["picHome"];
    board()("lblWidth", 2).UserClick();
    home.MouseDown(forms::kLeftButton, 0, 10, 10);
    home.MouseMove(forms::kLeftButton, 0, 20, 20);
    home.MouseUp(forms::kLeftButton, 0, 20, 20);
    board()["cmdClear"].UserClick();
    ASSERT_EQ(Strokes().size(), 1u);
    EXPECT_EQ(std::get<forms::ClearFigure>(Strokes()[0]).Background, Rgb(255, 255, 255));
    EXPECT_EQ(home.DrawWidth, 3);
    EXPECT_EQ(home.DrawColor, Rgb(0, 0, 255));
}

TEST_F(TestBoardTest, BarsAndSurfaceAreLaidOutAcrossTheScreen) {
    Open();
    auto& f = board();
    // 1024 x 768 at 15 twips a pixel; top bar 615 high, tool bar 555 with 375-high items: m = 90.
    EXPECT_DOUBLE_EQ(f["picHead"].Width(), 15360);
    EXPECT_DOUBLE_EQ(f["picMesg"].Top(), 11520 - 555);
    EXPECT_DOUBLE_EQ(f["picHome"].Top(), 615);
    EXPECT_DOUBLE_EQ(f["picHome"].Height(), 11520 - 615 - 555);
    EXPECT_DOUBLE_EQ(f["imgIcon"].Top(), 67.5);
    EXPECT_DOUBLE_EQ(f["imgIcon"].Left(), 67.5);
    EXPECT_DOUBLE_EQ(f["lblTitle"].Left(), 3 * 67.5 + 480);
    EXPECT_DOUBLE_EQ(f["cmdExit"].Left(), 15360 - 1215 - 67.5);
    EXPECT_DOUBLE_EQ(f["cmdExit"].Height(), 615 - 135);
    EXPECT_DOUBLE_EQ(f["cmdClear"].Left(), 15360 - 1215 - 67.5 - 1215 - 67.5);
    struct Item {
        const char* Name;
        int Index;
        double Left;
    };
    double x = 15360;
    std::vector<Item> expected;
    const auto step = [&](const char* name, int index, double width) {
        x -= 90 + width;
        expected.push_back({name, index, x});
    };
    for (int i = 2; i >= 0; --i) step("lblButton", i, 375);
    step("lblButtonName", -1, 570), x -= 90;
    for (int i = 4; i >= 0; --i) step("lblColor", i, 375);
    step("lblColorName", -1, 450), x -= 90;
    for (int i = 3; i >= 0; --i) step("lblWidth", i, 375);
    step("lblWidthName", -1, 480), x -= 90;
    for (const auto& e : expected) EXPECT_DOUBLE_EQ(f(e.Name, e.Index).Left(), e.Left) << e.Name << e.Index;
    EXPECT_DOUBLE_EQ(f("lblWidth", 0).Top(), 90);
    EXPECT_DOUBLE_EQ(f["lblWidthName"].Top(), (555 - 195) / 2.0);
    EXPECT_DOUBLE_EQ(f["lblHelpBox"].Width(), x - 90);
    EXPECT_DOUBLE_EQ(f["lblHelp"].Left(), 120);
    EXPECT_DOUBLE_EQ(f["lblHelp"].Width(), x - 90 - 240);
}

}  // namespace
}  // namespace px
