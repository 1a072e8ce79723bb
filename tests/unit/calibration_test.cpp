#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <stdexcept>

#include "control_panel/calibration.hpp"
#include "control_panel/main_window.hpp"
#include "fakes.hpp"
#include "suite_fakes.hpp"

namespace px {
namespace {

using forms::Rgb;

// --------------------------------------------------------------- the computation

TEST(ComputeCalibration, EdgesFromTheFourCaptures) {
    struct Case {
        const char* Name;
        std::array<RawPoint, 4> Captures;
        int Width, Height;
        CalibrationEdges Expected;
    };
    const Case cases[] = {
        {"landscape worked example", {{{100, 120}, {900, 120}, {900, 880}, {100, 880}}}, 1024, 768, {87, 103, 913, 897}},
        // Quarter-turned panel: X runs down the screen, Y from right to left.
        {"portrait gives the same edges", {{{100, 880}, {100, 120}, {900, 120}, {900, 880}}}, 768, 1024, {87, 103, 913, 897}},
        // 64 pixels: the push-out is (span + 1) / 2, so odd spans land on halves.
        {"halves go to the even neighbour", {{{10, 11}, {20, 11}, {20, 21}, {10, 21}}}, 64, 64, {4, 6, 26, 26}},
        {"averages drop the fraction", {{{10, 10}, {21, 11}, {20, 21}, {11, 20}}}, 64, 64, {4, 4, 26, 26}},
        {"outer sides clip to the raw range", {{{5, 3}, {1020, 3}, {1020, 1021}, {5, 1021}}}, 1024, 768, {0, 0, 1023, 1023}},
        // The low edges have no upper bound and the high edges no lower one.
        {"inner sides are not clipped", {{{1100, 1100}, {-200, 1100}, {-200, -300}, {1100, -300}}}, 1024, 768,
         {1100 + 21, 1100 + 30, -200 - 21, -300 - 30}},
        {"extreme captures do not overflow", {{{32767, 32767}, {32767, 32767}, {32767, 32767}, {32767, 32767}}}, 1024,
         768, {32767, 32767, 1023, 1023}},
    };
    for (const auto& c : cases) {
        const auto edges = ComputeCalibration(c.Captures, c.Width, c.Height);
        ASSERT_TRUE(edges) << c.Name;
        EXPECT_EQ(edges->XMin, c.Expected.XMin) << c.Name;
        EXPECT_EQ(edges->YMin, c.Expected.YMin) << c.Name;
        EXPECT_EQ(edges->XMax, c.Expected.XMax) << c.Name;
        EXPECT_EQ(edges->YMax, c.Expected.YMax) << c.Name;
    }
}

TEST(ComputeCalibration, NoEdgesForAScreenOfThirtyTwoPixelsOrLess) {
    const std::array<RawPoint, 4> captures{{{100, 120}, {900, 120}, {900, 880}, {100, 880}}};
    EXPECT_FALSE(ComputeCalibration(captures, 32, 20));
    EXPECT_FALSE(ComputeCalibration(captures, 1024, 32));
    EXPECT_FALSE(ComputeCalibration(captures, 32, 1024));
    EXPECT_FALSE(ComputeCalibration(captures, 0, 0));
    EXPECT_TRUE(ComputeCalibration(captures, 33, 33));
}

// --------------------------------------------------------------- the cross marks

TEST(CrossMarks, GeometryOnA1024By768Surface) {
    const TargetFrame frame{0, 0, 1023, 767, 16, 16};
    struct Case {
        int Target;
        CrossMark Mark;
    };
    const Case cases[] = {
        {1, {0, 0, 31, 31, 15, 15}},
        {2, {990, 0, 1023, 31, 1006, 15}},
        {3, {990, 734, 1023, 767, 1006, 750}},
        {4, {0, 734, 31, 767, 15, 750}},
    };
    for (const auto& c : cases) {
        const auto mark = CrossMarkOf(frame, c.Target);
        ASSERT_TRUE(mark) << c.Target;
        EXPECT_EQ(*mark, c.Mark) << "target " << c.Target;
    }
    EXPECT_FALSE(CrossMarkOf(frame, 0));
    EXPECT_FALSE(CrossMarkOf(frame, 5));
    EXPECT_EQ(TargetName(1), "TOP-LEFT");
    EXPECT_EQ(TargetName(2), "TOP-RIGHT");
    EXPECT_EQ(TargetName(3), "DOWN-RIGHT");
    EXPECT_EQ(TargetName(4), "DOWN-LEFT");
}

// --------------------------------------------------------------- the stability rule

TEST(StabilityCounter, AcceptsAfterTwoNewReportNumbersAtOnePlace) {
    struct Poll {
        std::int16_t X, Y, Count;
    };
    struct Case {
        const char* Name;
        std::vector<Poll> Polls;
        int AcceptedAt;  // index of the accepting poll, -1 never
    };
    const Case cases[] = {
        {"still finger", {{50, 60, 1}, {50, 60, 2}, {50, 60, 3}}, 2},
        {"repeated numbers neither count nor reset", {{50, 60, 1}, {50, 60, 2}, {50, 60, 2}, {50, 60, 2}, {50, 60, 3}}, 4},
        {"a move starts the count again", {{50, 60, 1}, {50, 60, 2}, {51, 60, 3}, {51, 60, 4}, {51, 60, 5}}, 4},
        {"moving in every report", {{1, 1, 1}, {2, 1, 2}, {3, 1, 3}, {3, 2, 4}, {4, 2, 5}, {5, 5, 6}}, -1},
        // The previous position starts at (0, 0): a first (0, 0) goes straight to the number test.
        {"first reading (0, 0)", {{0, 0, 1}, {0, 0, 2}}, 1},
        {"first reading (0, 0) with the number already seen", {{0, 0, 0}, {0, 0, 1}, {0, 0, 2}}, 2},
    };
    for (const auto& c : cases) {
        StabilityCounter counter;
        counter.BeginTarget();
        counter.BeginAttempt();
        int accepted = -1;
        for (std::size_t i = 0; i < c.Polls.size() && accepted < 0; ++i)
            if (counter.Finger(c.Polls[i].X, c.Polls[i].Y, c.Polls[i].Count)) accepted = static_cast<int>(i);
        EXPECT_EQ(accepted, c.AcceptedAt) << c.Name;
    }
}

TEST(StabilityCounter, LastNumberSurvivesANewAttemptButNotANewTarget) {
    StabilityCounter counter;
    counter.BeginTarget();
    counter.BeginAttempt();
    counter.NoFinger(7);
    counter.BeginAttempt();
    EXPECT_FALSE(counter.Finger(0, 0, 7));  // number already seen: no count
    EXPECT_EQ(counter.StableCount(), 2);
    counter.BeginTarget();
    counter.BeginAttempt();
    EXPECT_FALSE(counter.Finger(0, 0, 7));  // 7 is new again for this target
    EXPECT_EQ(counter.StableCount(), 1);
}

// --------------------------------------------------------------- the run

// GET_REPORT answers from a script; running out of it fails the test instead of hanging it.
class ScriptedDevice : public fakes::FakeDevice {
public:
    std::deque<TouchReport> Reports;
    std::int16_t Count = 0;

    void Up(int newReports = 1) {
        for (int i = 0; i < newReports; ++i) Reports.push_back({0, 0, 0, 0, ++Count});
    }
    void Down(std::int16_t x, std::int16_t y, int newReports = 1) {
        for (int i = 0; i < newReports; ++i) Reports.push_back({x, y, kTouchDownBit, 0, ++Count});
    }
    void Repeat(int polls) {
        for (int i = 0; i < polls; ++i) Reports.push_back(Reports.back());
    }
    // A touch held still until accepted, then lifted.
    void Tap(std::int16_t x, std::int16_t y) {
        Up();
        Down(x, y, 3);
        Up();
    }
    void FourCorners() {
        Tap(100, 120);
        Tap(900, 120);
        Tap(900, 880);
        Tap(100, 880);
    }

    bool Control(DeviceHandle handle, std::uint32_t code, void* buffer, std::uint32_t size) override {
        if (code != IOCTL_TOUCH_GET_REPORT) return FakeDevice::Control(handle, code, buffer, size);
        if (Reports.empty()) throw std::runtime_error("report script ran out");
        Requests.push_back({code, {}});
        std::memcpy(buffer, &Reports.front(), sizeof(TouchReport));
        Reports.pop_front();
        return true;
    }
};

struct DrawnFigure {
    std::string Picture;
    forms::Figure Figure;
};

// Sees every figure and control change of the window while it is loaded.
class Recorder : public forms::FormObserver {
public:
    std::vector<DrawnFigure> Figures;
    std::vector<forms::Color> Indicator;  // picStat's colour at each change
    void FormLoaded(forms::Form&) override {}
    void FormUnloaded(forms::Form&) override {}
    void FormChanged(forms::Form&) override {}
    void ControlChanged(forms::Control& c) override {
        if (c.Name() == "picStat") Indicator.push_back(c.BackColor());
    }
    void Drawn(forms::Form&, forms::Control* picture, const forms::Figure& f) override {
        Figures.push_back({picture ? picture->Name() : "", f});
    }
};

class CalibrationRunTest : public ::testing::Test, protected fakes::SuiteFakes {
protected:
    void SetUp() override {
        const std::string key = "HKLM\\SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
        for (const char* name : {"VenderName", "InstallPath", "WindowsPath", "SystemPath", "HardwareID"})
            registry.SetString(key, name, "x");
        block.CalXMin = 10, block.CalXMax = 1000, block.CalYMin = 20, block.CalYMax = 990;
        block.ScreenWidth = 1024, block.ScreenHeight = 768;
        device.Reply(IOCTL_TOUCH_GET_PARAMETERS, block);
        RbfWindowRecord rbf{-1, 0, {0, 0}};
        device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, rbf);
        panel.Start();
        form().SetObserver(&recorder);
        device.Requests.clear();
        device.Up();  // the opening check finds no finger
    }
    forms::Form& form() { return *panel.Window("frmCalibration"); }
    void Run() { panel.Main()["cmdCalibration"].UserClick(); }

    std::vector<std::int32_t> Codes() const {
        std::vector<std::int32_t> codes;
        for (const auto& r : device.Requests)
            if (r.Code == IOCTL_TOUCH_CALIBRATION_CODE) {
                std::int32_t code = 0;
                std::memcpy(&code, r.Input.data(), sizeof code);
                codes.push_back(code);
            }
        return codes;
    }
    std::vector<std::uint32_t> RequestsAfterLastCode() const {
        std::vector<std::uint32_t> after;
        for (const auto& r : device.Requests) {
            if (r.Code == IOCTL_TOUCH_CALIBRATION_CODE)
                after.clear();
            else
                after.push_back(r.Code);
        }
        return after;
    }
    std::vector<DriverParameterBlock> CalibrationsSent() const {
        std::vector<DriverParameterBlock> sent;
        for (const auto& r : device.Requests)
            if (r.Code == IOCTL_TOUCH_SET_CALIBRATION) {
                DriverParameterBlock b{};
                std::memcpy(&b, r.Input.data(), sizeof b);
                sent.push_back(b);
            }
        return sent;
    }
    // When the script reaches the given report, the user presses Escape.
    void EscapeAtEvents(int call) {
        events.OnEvents = [this, call](int n) {
            if (n != call) return;
            int key = 27;
            form().KeyPress(key);
        };
    }

    DriverParameterBlock block{};
    ScriptedDevice device;
    Recorder recorder;
    ControlPanel panel{PortsWith(device)};
};

TEST_F(CalibrationRunTest, FourCapturesSendTheEdgesAndYesKeepsThem) {
    device.FourCorners();
    ui.Answers = {kIdYes};
    Run();

    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{5, 5, 5, 5, 0}));
    const auto sent = CalibrationsSent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].CalXMin, 87);
    EXPECT_EQ(sent[0].CalXMax, 913);
    EXPECT_EQ(sent[0].CalYMin, 103);
    EXPECT_EQ(sent[0].CalYMax, 897);
    EXPECT_EQ(sent[0].ScreenWidth, 1024);  // the whole block travels
    EXPECT_EQ(panel.Channel().Block.CalXMax, 913);
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text,
              "CALIBRATION IS COMPLETE.\r\rFor test, touch on the screen and check cursor position.\r"
              "To save new calibration, click Yes button.\rTo restore old calibration, click No button.");
    EXPECT_EQ(ui.Boxes[0].Title, "TouchScreen Calibration");
    EXPECT_EQ(ui.Boxes[0].Style, 4096u + 32 + 4);
    // The code 0 goes before the question; after Yes only the right-button program is shown.
    EXPECT_EQ(RequestsAfterLastCode(), (std::vector<std::uint32_t>{IOCTL_TOUCH_GET_RBF_WINDOW}));
    EXPECT_FALSE(form().Loaded());
    EXPECT_TRUE(panel.Main().Visible());
    EXPECT_GE(ui.CursorCount, 0);
    EXPECT_TRUE(device.Reports.empty());
    EXPECT_TRUE(windows.Sent.empty());  // no right-button program registered
}

TEST_F(CalibrationRunTest, NoSendsTheOldEdgesBack) {
    device.FourCorners();
    ui.Answers = {kIdNo};
    Run();
    const auto sent = CalibrationsSent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].CalXMin, 10);
    EXPECT_EQ(sent[1].CalXMax, 1000);
    EXPECT_EQ(sent[1].CalYMin, 20);
    EXPECT_EQ(sent[1].CalYMax, 990);
    EXPECT_EQ(RequestsAfterLastCode(),
              (std::vector<std::uint32_t>{IOCTL_TOUCH_SET_CALIBRATION, IOCTL_TOUCH_GET_RBF_WINDOW}));
    EXPECT_EQ(panel.Channel().Block.CalXMin, 10);
}

TEST_F(CalibrationRunTest, CrossMarksAreDrawnRedAndBlackAndErasedWhiteInTargetOrder) {
    device.FourCorners();
    ui.Answers = {kIdYes};
    Run();
    using forms::BoxFigure;
    using forms::LineFigure;
    const auto red = Rgb(255, 0, 0), black = Rgb(0, 0, 0), white = Rgb(255, 255, 255);
    std::vector<std::string> got;
    for (const auto& d : recorder.Figures) {
        ASSERT_EQ(d.Picture, "picCalibration");
        if (const auto* b = std::get_if<BoxFigure>(&d.Figure)) {
            EXPECT_FALSE(b->Filled);
            got.push_back("box " + std::to_string(int(b->X1)) + "," + std::to_string(int(b->Y1)) + "-" +
                          std::to_string(int(b->X2)) + "," + std::to_string(int(b->Y2)) +
                          (b->Colour == red ? " red" : b->Colour == white ? " white" : " ?"));
        } else if (const auto* l = std::get_if<LineFigure>(&d.Figure)) {
            got.push_back("line " + std::to_string(int(l->X1)) + "," + std::to_string(int(l->Y1)) + "-" +
                          std::to_string(int(l->X2)) + "," + std::to_string(int(l->Y2)) +
                          (l->Colour == black ? " black" : l->Colour == white ? " white" : " ?"));
        } else {
            got.push_back("other");
        }
    }
    const std::vector<std::string> expected = {
        "box 0,0-31,31 red",         "line 0,15-31,15 black",       "line 15,0-15,31 black",
        "box 0,0-31,31 white",       "line 0,15-31,15 white",       "line 15,0-15,31 white",
        "box 990,0-1023,31 red",     "line 990,15-1023,15 black",   "line 1006,0-1006,31 black",
        "box 990,0-1023,31 white",   "line 990,15-1023,15 white",   "line 1006,0-1006,31 white",
        "box 990,734-1023,767 red",  "line 990,750-1023,750 black", "line 1006,734-1006,767 black",
        "box 990,734-1023,767 white", "line 990,750-1023,750 white", "line 1006,734-1006,767 white",
        "box 0,734-31,767 red",      "line 0,750-31,750 black",     "line 15,734-15,767 black",
        "box 0,734-31,767 white",    "line 0,750-31,750 white",     "line 15,734-15,767 white",
    };
    EXPECT_EQ(got, expected);
}

TEST_F(CalibrationRunTest, PromptsAndIndicatorFollowTheFinger) {
    device.Up();
    device.Down(300, 300, 1);  // touched, then lifted before acceptance
    device.Up();
    device.Down(100, 120, 3);
    device.Repeat(1);  // still down after the capture
    device.Up();
    device.Tap(900, 120);
    device.Tap(900, 880);
    device.Tap(100, 880);
    ui.Answers = {kIdYes};
    std::vector<std::string> prompts;
    int cursorDuringRun = -1000;
    events.OnEvents = [&](int) {
        auto& f = form();
        cursorDuringRun = std::max(cursorDuringRun, ui.CursorCount);
        prompts.push_back(f["lblMesg3"].Visible() ? f["lblMesg3"].Caption()
                                                  : f["lblMesg1"].Caption() + "|" + f["lblMesg2"].Caption());
    };
    Run();
    EXPECT_EQ(prompts.front(), "Please touch on the center of Cross Mark that|show on the TOP-LEFT of the screen");
    EXPECT_NE(std::find(prompts.begin(), prompts.end(),
                        "Please touch on the center of Cross Mark that|show on the DOWN-RIGHT of the screen"),
              prompts.end());
    EXPECT_NE(std::find(prompts.begin(), prompts.end(), "PLEASE LIFT OFF TO NEXT STEP!"), prompts.end());
    const auto yellow = Rgb(255, 255, 0), white = Rgb(255, 255, 255);
    // Off at the start, on at the early touch, off after its lift, then on/off per target.
    ASSERT_GE(recorder.Indicator.size(), 3u);
    EXPECT_EQ(recorder.Indicator[0], white);
    EXPECT_EQ(recorder.Indicator[1], yellow);
    EXPECT_EQ(recorder.Indicator[2], white);
    EXPECT_EQ(std::count(recorder.Indicator.begin(), recorder.Indicator.end(), yellow), 5);
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{5, 5, 5, 5, 0}));
    EXPECT_LT(cursorDuringRun, 0);  // hidden throughout the captures
}

TEST_F(CalibrationRunTest, FingerDownAtTheStartWaitsForItsLiftWithCodeThree) {
    device.Reports.clear();
    device.Down(500, 500, 1);
    device.Repeat(2);
    device.Up();
    device.FourCorners();
    ui.Answers = {kIdYes};
    std::string firstPrompt;
    forms::Color firstIndicator = 0;
    events.OnEvents = [&](int n) {
        if (n != 1) return;
        firstPrompt = form()["lblMesg3"].Visible() ? form()["lblMesg3"].Caption() : "";
        firstIndicator = form()["picStat"].BackColor();
    };
    Run();
    EXPECT_EQ(firstPrompt, "PLEASE LIFT OFF TO START CALIBRATION!");
    EXPECT_EQ(firstIndicator, Rgb(255, 255, 0));
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{3, 5, 5, 5, 5, 0}));
}

TEST_F(CalibrationRunTest, MovingFingerIsNeverAcceptedAndRepeatedNumbersAreNotCounted) {
    device.Up();
    for (std::int16_t x = 200; x < 260; ++x) device.Down(x, 200, 1);  // a new place in every report
    device.Down(400, 400, 1);
    device.Down(400, 400, 1);
    device.Repeat(50);  // polls of the same report: still one count short
    device.Up();        // lifted: the target starts over
    device.FourCorners();
    ui.Answers = {kIdYes};
    Run();
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{5, 5, 5, 5, 0}));
    EXPECT_EQ(CalibrationsSent().at(0).CalXMin, 87);
}

TEST_F(CalibrationRunTest, ARestingFingerOnlyLooksAtTheQueueAndIsCountedAsBefore) {
    // A finger resting on the first target, moving in every report for a long while: a look at
    // the queue at every poll that does not accept, and no more window events than a quick tap.
    device.Up();
    for (std::int16_t x = 200; x < 230; ++x) device.Down(x, 200, 1);
    device.Down(100, 120, 3);
    device.Up();
    device.Tap(900, 120);
    device.Tap(900, 880);
    device.Tap(100, 880);
    ui.Answers = {kIdYes};
    Run();
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{5, 5, 5, 5, 0}));
    EXPECT_EQ(CalibrationsSent().at(0).CalXMin, 87);
    EXPECT_EQ(events.Looks, 30 + 2 + 3 * 2);
    const int restingEvents = events.Calls;

    events.Calls = 0;
    device.Up();
    device.FourCorners();
    ui.Answers = {kIdYes};
    Run();
    EXPECT_EQ(events.Calls, restingEvents);
    EXPECT_TRUE(device.Reports.empty());
}

TEST_F(CalibrationRunTest, FirstReadingAtZeroZeroNeedsOneReportLess) {
    device.Up();
    device.Down(0, 0, 2);  // unchanged from the start position: both reports count
    device.Up();
    device.Tap(900, 120);
    device.Tap(900, 880);
    device.Tap(100, 880);
    ui.Answers = {kIdYes};
    Run();
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{5, 5, 5, 5, 0}));
    EXPECT_TRUE(device.Reports.empty());
}

TEST_F(CalibrationRunTest, EscapeAnsweredNoRedrawsTheMarkAndGoesOn) {
    device.FourCorners();
    ui.Answers = {kIdNo, kIdYes};
    EscapeAtEvents(1);
    std::size_t figuresAtEscape = 0;
    const auto escape = events.OnEvents;
    events.OnEvents = [&](int n) {
        if (n == 1) figuresAtEscape = recorder.Figures.size();
        escape(n);
    };
    Run();
    ASSERT_EQ(ui.Boxes.size(), 2u);
    EXPECT_EQ(ui.Boxes[0].Text, "Are you sure you want to break calibration?");
    EXPECT_EQ(ui.Boxes[0].Title, "TouchScreen Calibration");
    EXPECT_EQ(ui.Boxes[0].Style, 4096u + 32 + 4 + 256);
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{0, 5, 5, 5, 5, 0}));
    // Target 1's mark: erased for the question, drawn again after it.
    ASSERT_GE(recorder.Figures.size(), figuresAtEscape + 6);
    const auto& erased = std::get<forms::BoxFigure>(recorder.Figures[figuresAtEscape].Figure);
    const auto& redrawn = std::get<forms::BoxFigure>(recorder.Figures[figuresAtEscape + 3].Figure);
    EXPECT_EQ(erased.Colour, Rgb(255, 255, 255));
    EXPECT_EQ(redrawn.Colour, Rgb(255, 0, 0));
    EXPECT_EQ(redrawn.X1, 0);
    EXPECT_EQ(CalibrationsSent().size(), 1u);
}

TEST_F(CalibrationRunTest, EscapeAnsweredYesBreaksWithCodeFourAndSendsNoCalibration) {
    device.Tap(100, 120);
    device.Up(3);
    ui.Answers = {kIdYes};
    EscapeAtEvents(5);  // while target 2 waits for a touch
    Run();
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{5, 0, 4}));
    EXPECT_TRUE(CalibrationsSent().empty());
    EXPECT_EQ(ui.Boxes.size(), 1u);
    EXPECT_FALSE(form().Loaded());
    EXPECT_TRUE(panel.Main().Visible());
    EXPECT_GE(ui.CursorCount, 0);
    EXPECT_EQ(panel.Channel().Block.CalXMin, 10);
}

TEST_F(CalibrationRunTest, EscapeYesDuringTheOpeningWaitHasNoEffect) {
    device.Reports.clear();
    device.Down(500, 500, 1);
    device.Up();
    device.FourCorners();
    ui.Answers = {kIdYes, kIdYes};
    EscapeAtEvents(1);
    Run();
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{3, 0, 5, 5, 5, 5, 0}));
    EXPECT_EQ(CalibrationsSent().size(), 1u);
}

// A key or a session end can reach the program while one of its questions is open.
TEST_F(CalibrationRunTest, EscapeDuringAnOpenQuestionAsksNothingAndSendsNothing) {
    device.FourCorners();
    ui.Answers = {kIdNo, kIdYes};
    EscapeAtEvents(1);
    ui.OnBox = [this](const fakes::MessageBoxCall&) {
        int key = 27;
        form().KeyPress(key);
    };
    Run();
    ASSERT_EQ(ui.Boxes.size(), 2u);  // the break question, then the closing one; neither twice
    EXPECT_EQ(ui.Boxes[1].Text.substr(0, 24), "CALIBRATION IS COMPLETE.");
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{0, 5, 5, 5, 5, 0}));
    EXPECT_GE(ui.CursorCount, 0);
}

TEST_F(CalibrationRunTest, SessionEndAtTheClosingQuestionPutsTheOldEdgesBackAndEnds) {
    device.FourCorners();
    ui.Answers = {kIdYes};
    int cursorAfterEnd = -1;
    ui.OnBox = [&](const fakes::MessageBoxCall&) {
        ui.CursorCount = -1;  // as if something had hidden it meanwhile
        panel.EndSession();
        cursorAfterEnd = ui.CursorCount;
    };
    Run();
    const auto sent = CalibrationsSent();
    ASSERT_EQ(sent.size(), 2u);  // Yes, arriving after the end, keeps nothing
    EXPECT_EQ(sent[1].CalXMin, 10);
    EXPECT_EQ(sent[1].CalYMax, 990);
    EXPECT_EQ(cursorAfterEnd, 0);
    EXPECT_EQ(process.Ended, std::vector<int>{0});
}

TEST_F(CalibrationRunTest, SessionEndDuringTheOpeningWaitSendsNothingMore) {
    device.Reports.clear();
    device.Down(500, 500, 1);
    device.Repeat(3);
    events.OnEvents = [this](int n) {
        if (n == 1) panel.EndSession();
    };
    Run();
    EXPECT_EQ(Codes(), std::vector<std::int32_t>{3});  // a finger was down; no target was being taken
    EXPECT_TRUE(CalibrationsSent().empty());
    EXPECT_EQ(process.Ended, std::vector<int>{0});
    EXPECT_EQ(device.Reports.size(), 3u);  // and the wait polls no more
}

TEST_F(CalibrationRunTest, SessionEndWhileATargetIsTakenSendsCodeFourAndPollsNoMore) {
    device.Tap(100, 120);
    device.Up(3);
    events.OnEvents = [this](int n) {
        if (n == 5) panel.EndSession();  // target 2 waits for a touch
    };
    Run();
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{5, 4}));
    EXPECT_TRUE(CalibrationsSent().empty());
    const auto after = RequestsAfterLastCode();
    EXPECT_EQ(std::count(after.begin(), after.end(), IOCTL_TOUCH_GET_REPORT), 0);
    EXPECT_EQ(process.Ended, std::vector<int>{0});
}

// Alt+F4 while the finger rests on target 2: the run ends then and there, not at the lift, and
// the touches that follow are no targets.
TEST_F(CalibrationRunTest, ClosingTheWindowMidRunBreaksOffAndReturnsToTheMainWindow) {
    RbfWindowRecord rbf{0x1234, 0, {0, 0}};
    device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, rbf);
    device.Tap(100, 120);
    device.Tap(900, 120);
    device.FourCorners();
    events.OnEvents = [this](int n) {
        if (n == 6) form().Unload();  // target 2's touch just seen
    };
    Run();
    EXPECT_EQ(Codes(), (std::vector<std::int32_t>{5, 4}));
    EXPECT_TRUE(CalibrationsSent().empty());
    EXPECT_EQ(RequestsAfterLastCode(), (std::vector<std::uint32_t>{IOCTL_TOUCH_GET_RBF_WINDOW}));
    EXPECT_FALSE(form().Loaded());
    EXPECT_TRUE(panel.Main().Visible());
    EXPECT_GE(ui.CursorCount, 0);
    ASSERT_EQ(windows.Sent.size(), 2u);
    EXPECT_EQ(windows.Sent[1].WParam, 4097u);
    EXPECT_TRUE(process.Ended.empty());
}

TEST_F(CalibrationRunTest, AClosingQuestionThatGoesWithoutAnAnswerIsNoYes) {
    device.FourCorners();
    ui.Answers = {0};  // the box was taken away
    Run();
    const auto sent = CalibrationsSent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].CalXMin, 10);
    EXPECT_EQ(sent[1].CalYMax, 990);
}

TEST_F(CalibrationRunTest, RefusedCalibrationSaysSoAndKeepsTheOldValues) {
    device.FourCorners();
    device.Failing.insert(IOCTL_TOUCH_SET_CALIBRATION);
    Run();
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "FAIL TO SET NEW CALIBRATION");
    EXPECT_EQ(ui.Boxes[0].Title, "TouchScreen Calibration");
    EXPECT_EQ(CalibrationsSent().size(), 1u);  // no restore: nothing new is in force
    EXPECT_EQ(panel.Channel().Block.CalXMin, 10);
    EXPECT_EQ(panel.Channel().Block.CalYMax, 990);
}

TEST(CalibrationTinyScreen, SendsNothingAndSaysSo) {
    // A separate panel: the block is read at start, so the size must be in the reply first.
    ScriptedDevice device;
    fakes::SuiteFakes suite;
    const std::string key = "HKLM\\SOFTWARE\\Veldrant\\TouchScreen\\PX-K17-COM";
    for (const char* name : {"VenderName", "InstallPath", "WindowsPath", "SystemPath", "HardwareID"})
        suite.registry.SetString(key, name, "x");
    DriverParameterBlock block{};
    block.ScreenWidth = 1024;
    block.ScreenHeight = 32;
    device.Reply(IOCTL_TOUCH_GET_PARAMETERS, block);
    ControlPanel panel{suite.PortsWith(device)};
    panel.Start();
    device.Up();
    device.FourCorners();
    panel.Main()["cmdCalibration"].UserClick();
    for (const auto& r : device.Requests) EXPECT_NE(r.Code, IOCTL_TOUCH_SET_CALIBRATION);
    ASSERT_EQ(suite.ui.Boxes.size(), 1u);
    EXPECT_EQ(suite.ui.Boxes[0].Text, "FAIL TO SET NEW CALIBRATION");
}

TEST_F(CalibrationRunTest, RightButtonProgramIsHiddenForTheRunAndShownAfter) {
    RbfWindowRecord rbf{0x1234, 0, {0, 0}};
    device.Reply(IOCTL_TOUCH_GET_RBF_WINDOW, rbf);
    device.FourCorners();
    ui.Answers = {kIdYes};
    Run();
    ASSERT_EQ(windows.Sent.size(), 2u);
    EXPECT_EQ(windows.Sent[0].Window, 0x1234);
    EXPECT_EQ(windows.Sent[0].WParam, 4096u);
    EXPECT_EQ(windows.Sent[1].WParam, 4097u);
}

TEST_F(CalibrationRunTest, LayoutCentresThePanelAndShowsTheResolution) {
    device.FourCorners();
    ui.Answers = {kIdYes};
    std::string resolution;
    double homeLeft = 0, homeTop = 0, titleTop = 0, mesg3Top = 0;
    events.OnEvents = [&](int n) {
        if (n != 1) return;
        auto& f = form();
        resolution = f["lblResolution"].Caption();
        homeLeft = f["picHome"].Left();
        homeTop = f["picHome"].Top();
        titleTop = f["lblTitle"].Top();
        mesg3Top = f["lblMesg3"].Top();
    };
    Run();
    EXPECT_EQ(resolution, "Resolution: 1024 X 768");
    EXPECT_DOUBLE_EQ(homeLeft, (15360 - 6135) / 2.0);
    EXPECT_DOUBLE_EQ(homeTop, (11520 - 3255) / 2.0);
    EXPECT_DOUBLE_EQ(titleTop, homeTop - 720);
    EXPECT_DOUBLE_EQ(mesg3Top, (975 - 240) / 2.0);
}

}  // namespace
}  // namespace px
