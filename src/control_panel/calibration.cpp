#include "control_panel/calibration.hpp"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "control_panel/main_window.hpp"
#include "control_panel/mcu_info.hpp"
#include "control_panel/test_board.hpp"
#include "shared/window_header.hpp"
#include "shared/window_utils.hpp"

namespace px {

using namespace forms;

namespace {

const Font kBold975{"MS Sans Serif", 9.75, true, false};
const Font kTitleFont{"Times New Roman", 21.75, true, false};

constexpr std::uint32_t kFailureBoxStyle = kBoxOk | kBoxIconExclamation;

const char* const kTargetNames[] = {"TOP-LEFT", "TOP-RIGHT", "DOWN-RIGHT", "DOWN-LEFT"};

std::int16_t ToRecord(long value) {
    // Only captures far outside the controller's range get here; saturate rather than wrap.
    return static_cast<std::int16_t>(std::clamp<long>(value, std::numeric_limits<std::int16_t>::min(),
                                                      std::numeric_limits<std::int16_t>::max()));
}

ControlDecl SaveLabel(const char* name, int index) {
    return {.Name = name, .Index = index, .Kind = ControlKind::Label, .Caption = "", .Width = 600, .Height = 195,
            .Visible = false, .Container = "picHome"};
}

}  // namespace

std::optional<CalibrationEdges> ComputeCalibration(const std::array<RawPoint, 4>& p, int screenWidth,
                                                   int screenHeight) {
    constexpr int inset = kTargetInset;
    const bool landscape = screenHeight <= screenWidth;
    // A portrait panel is turned a quarter: raw X runs down the screen, raw Y from right to left.
    int a1, a2, b1, b2;
    if (landscape) {
        a1 = (p[0].X + p[3].X) / 2;
        a2 = (p[1].X + p[2].X) / 2;
        b1 = (p[0].Y + p[1].Y) / 2;
        b2 = (p[3].Y + p[2].Y) / 2;
    } else {
        a1 = (p[0].X + p[1].X) / 2;
        a2 = (p[3].X + p[2].X) / 2;
        b1 = (p[1].Y + p[2].Y) / 2;
        b2 = (p[0].Y + p[3].Y) / 2;
    }
    const int spanA = landscape ? screenWidth : screenHeight;
    const int spanB = landscape ? screenHeight : screenWidth;
    if (spanA <= 2 * inset || spanB <= 2 * inset) return std::nullopt;
    // The marks sit `inset` pixels inside the edges: push each pair out by that much raw distance.
    const double dA = static_cast<double>(a2 - a1 + 1) / (spanA - 2 * inset) * inset;
    const double dB = static_cast<double>(b2 - b1 + 1) / (spanB - 2 * inset) * inset;
    CalibrationEdges e;
    e.XMin = std::max(0L, RoundHalfEven(a1 - dA));
    e.XMax = std::min(1023L, RoundHalfEven(a2 + dA));
    e.YMin = std::max(0L, RoundHalfEven(b1 - dB));
    e.YMax = std::min(1023L, RoundHalfEven(b2 + dB));
    return e;
}

std::optional<CrossMark> CrossMarkOf(const TargetFrame& f, int target) {
    const int ix = f.InsetX, iy = f.InsetY;
    const bool right = target == 2 || target == 3;
    const bool bottom = target == 3 || target == 4;
    if (target < 1 || target > 4) return std::nullopt;
    CrossMark m{};
    // The right and bottom squares are one pixel wider and sit one further in, as they always have.
    if (right) {
        m.X1 = f.Right - 2 * ix - 1, m.X2 = f.Right, m.Cx = f.Right - ix - 1;
    } else {
        m.X1 = f.Left, m.X2 = f.Left + 2 * ix - 1, m.Cx = f.Left + ix - 1;
    }
    if (bottom) {
        m.Y1 = f.Bottom - 2 * iy - 1, m.Y2 = f.Bottom, m.Cy = f.Bottom - iy - 1;
    } else {
        m.Y1 = f.Top, m.Y2 = f.Top + 2 * iy - 1, m.Cy = f.Top + iy - 1;
    }
    return m;
}

std::string TargetName(int target) { return target >= 1 && target <= 4 ? kTargetNames[target - 1] : ""; }

void StabilityCounter::BeginAttempt() {
    stableCount_ = 2;
    previousX_ = 0;
    previousY_ = 0;
}

bool StabilityCounter::Finger(std::int16_t x, std::int16_t y, std::int16_t reportCount) {
    if (x != previousX_ || y != previousY_) {
        previousX_ = x;
        previousY_ = y;
        stableCount_ = 2;
        return false;
    }
    if (reportCount != lastReport_) {
        lastReport_ = reportCount;
        --stableCount_;
    }
    return stableCount_ <= 0;
}

std::unique_ptr<Form> MakeCalibrationForm() {
    std::vector<ControlDecl> controls = {
        {.Name = "picCalibration", .Kind = ControlKind::PictureBox, .BackColor = kWindowBackground},
        {.Name = "picHome", .Kind = ControlKind::PictureBox, .Width = 6135, .Height = 3255,
         .BackColor = kWindowBackground, .Container = "picCalibration"},
        {.Name = "picStat", .Kind = ControlKind::PictureBox, .Width = 2895, .Height = 975,
         .BackColor = kWhite, .Container = "picHome", .Border = true},
        {.Name = "lblResolution", .Kind = ControlKind::Label, .Left = 360, .Top = 360, .Width = 2145, .Height = 195,
         .ForeColor = kBlack, .TextFont = kBoldFont, .Transparent = true, .Align = Alignment::Center,
         .Container = "picStat"},
        {.Name = "picMesg", .Kind = ControlKind::PictureBox, .Left = 240, .Top = 1320, .Width = 5655, .Height = 975,
         .BackColor = kBlack, .Container = "picHome", .Border = true},
        {.Name = "lblMesg1", .Kind = ControlKind::Label, .Left = 480, .Top = 240, .Width = 5055, .Height = 240,
         .ForeColor = kGreen, .TextFont = kBold975, .Transparent = true, .Container = "picMesg"},
        {.Name = "lblMesg2", .Kind = ControlKind::Label, .Left = 480, .Top = 480, .Width = 5055, .Height = 240,
         .ForeColor = kGreen, .TextFont = kBold975, .Transparent = true, .Container = "picMesg"},
        {.Name = "lblMesg3", .Kind = ControlKind::Label, .Left = 195, .Width = 5250, .Height = 240,
         .ForeColor = kYellow, .TextFont = kBold975, .Visible = false, .Transparent = true,
         .Align = Alignment::Center, .Container = "picMesg"},
        {.Name = "lblHelp", .Kind = ControlKind::Label, .Caption = "Press ESC key to break calibration",
         .Left = 1680, .Top = 2520, .Width = 2970, .Height = 195, .ForeColor = kBlue, .TextFont = kBoldFont,
         .Transparent = true, .Align = Alignment::Center, .Container = "picHome"},
        {.Name = "lblTitle", .Kind = ControlKind::Label, .Caption = "TouchScreen Calibration", .Width = 6135,
         .Height = 480, .ForeColor = kRed, .TextFont = kTitleFont, .Transparent = true, .Align = Alignment::Center,
         .Container = "picCalibration"},
    };
    for (int i = 1; i <= 4; ++i) {
        controls.push_back(SaveLabel("lblSaveXX", i));
        controls.push_back(SaveLabel("lblSaveYY", i));
    }
    auto form = std::make_unique<Form>(
        FormDecl{.Name = "frmCalibration", .Caption = "Calibration", .Border = BorderStyle::None,
                 .State = WindowState::Maximized, .BackColor = kLightGrey, .ControlBox = false, .KeyPreview = true,
                 .TopMost = true},
        std::move(controls));
    (*form)["picCalibration"].Scale = ScaleMode::Pixels;
    return form;
}

CalibrationWindow::CalibrationWindow(Form& form, DriverChannel& channel, UiPort& ui, EventLoopPort& events,
                                     std::function<void()> returnToMain)
    : form_(form), channel_(channel), ui_(ui), events_(events), returnToMain_(std::move(returnToMain)) {}

void CalibrationWindow::Layout() {
    auto& surface = form_["picCalibration"];
    auto& home = form_["picHome"];
    auto& stat = form_["picStat"];
    auto& mesg = form_["picMesg"];
    auto& title = form_["lblTitle"];
    auto& mesg3 = form_["lblMesg3"];
    surface.Move(0, 0, form_.ScaleWidth(), form_.ScaleHeight());
    const double width = surface.Width(), height = surface.Height();
    const double homeWidth = mesg.Width() + 2 * mesg.Left();
    home.Move((width - homeWidth) / 2, (height - home.Height()) / 2, homeWidth, home.Height());
    title.Move((width - title.Width()) / 2, home.Top() - 1.5 * title.Height(), title.Width(), title.Height());
    stat.SetLeft((home.Width() - stat.Width()) / 2);
    mesg.SetLeft((home.Width() - mesg.Width()) / 2);
    mesg3.SetTop((stat.Height() - mesg3.Height()) / 2);

    const auto& screen = form_.Screen();
    frame_.Left = 0;
    frame_.Top = 0;
    frame_.Right = ToRecord(RoundHalfEven(width / screen.TwipsPerPixelX) - 1);
    frame_.Bottom = ToRecord(RoundHalfEven(height / screen.TwipsPerPixelY) - 1);
    frame_.InsetX = frame_.InsetY = kTargetInset;
}

void CalibrationWindow::DrawTarget(int number, bool visible) {
    const auto mark = CrossMarkOf(frame_, number);
    if (!mark) return;
    auto& surface = form_["picCalibration"];
    surface.Box(mark->X1, mark->Y1, mark->X2, mark->Y2, visible ? kRed : kWhite, false);
    surface.Line(mark->X1, mark->Cy, mark->X2, mark->Cy, visible ? kBlack : kWhite);
    surface.Line(mark->Cx, mark->Y1, mark->Cx, mark->Y2, visible ? kBlack : kWhite);
}

void CalibrationWindow::ShowTouchPrompt(const std::string& name) {
    auto& first = form_["lblMesg1"];
    auto& second = form_["lblMesg2"];
    form_["lblMesg3"].SetVisible(false);
    first.SetCaption("Please touch on the center of Cross Mark that");
    second.SetCaption("show on the " + name + " of the screen");
    second.SetLeft(first.Left());
    first.SetVisible(true);
    second.SetVisible(true);
}

void CalibrationWindow::ShowLiftOffPrompt(const std::string& text) {
    form_["lblMesg1"].SetVisible(false);
    form_["lblMesg2"].SetVisible(false);
    form_["lblMesg3"].SetCaption("PLEASE LIFT OFF TO " + text);
    form_["lblMesg3"].SetVisible(true);
}

void CalibrationWindow::SetTouchIndicator(bool on) { form_["picStat"].SetBackColor(on ? kYellow : kWhite); }

bool CalibrationWindow::ApplyCalibration(int xMin, int yMin, int xMax, int yMax) {
    auto& b = channel_.Block;
    b.CalXMin = ToRecord(xMin);
    b.CalYMin = ToRecord(yMin);
    b.CalXMax = ToRecord(xMax);
    b.CalYMax = ToRecord(yMax);
    return channel_.SetCalibration();
}

void CalibrationWindow::AskToBreak() {
    if ((phase_ != Phase::Opening && phase_ != Phase::Capturing) || askingToBreak_) return;
    askingToBreak_ = true;
    channel_.SendCalibrationCode(kCodeNormal);
    DrawTarget(currentTarget_, false);
    form_["picMesg"].SetVisible(false);
    form_["lblHelp"].SetVisible(false);
    RestoreCursor(ui_);
    breakRequested_ = AskYesNo(ui_, kBreakCalibrationText, kBoxDefaultButton2, kCalibrationTitle) == kIdYes;
    askingToBreak_ = false;
    if (phase_ == Phase::Idle) return;  // the session ended while the question was open
    HideCursor(ui_);
    form_["lblHelp"].SetVisible(true);
    form_["picMesg"].SetVisible(true);
    DrawTarget(currentTarget_, true);
}

void CalibrationWindow::CloseDuringRun() {
    if (phase_ == Phase::Opening || phase_ == Phase::Capturing) closing_ = true;
}

void CalibrationWindow::EndSession() {
    if (phase_ == Phase::Asking) ApplyCalibration(old_.XMin, old_.YMin, old_.XMax, old_.YMax);  // as No does
    else if (phase_ == Phase::Capturing) channel_.SendCalibrationCode(kCodeBreak);  // as a confirmed break does
    // The opening wait has only told the driver of the finger (3): nothing to take back there.
    phase_ = Phase::Idle;
    closing_ = true;  // whatever the program does next, the run polls no more
    RestoreCursor(ui_);
    // The program ends without unloading the window, which would have shown it again.
    channel_.ShowRbfWindow();
}

bool CalibrationWindow::WaitForLiftAtStart() {
    channel_.GetReport();
    if ((channel_.Report.Status & kTouchDownBit) == 0) return true;
    ShowLiftOffPrompt("START CALIBRATION!");
    SetTouchIndicator(true);
    channel_.SendCalibrationCode(kCodeFingerAtStart);
    do {
        events_.DoEvents();
        if (closing_) return false;
        channel_.GetReport();
    } while (channel_.Report.Status & kTouchDownBit);
    return true;
}

CalibrationWindow::Result CalibrationWindow::EndCapture() {
    if (phase_ == Phase::Capturing) channel_.SendCalibrationCode(kCodeBreak);  // the session end sent it already
    return Result::Break;
}

CalibrationWindow::Result CalibrationWindow::CaptureTarget(int number) {
    currentTarget_ = number;
    form_("lblSaveXX", number).SetCaption("    ");
    form_("lblSaveYY", number).SetCaption("    ");
    DrawTarget(number, true);
    ShowTouchPrompt(TargetName(number));
    events_.DoEvents();

    stability_.BeginTarget();
    bool touchSeen = true;  // so the first attempt turns the indicator off too
    bool accepted = false;
    while (!accepted) {
        if (touchSeen) SetTouchIndicator(false);
        touchSeen = false;
        stability_.BeginAttempt();
        for (;;) {
            channel_.GetReport();
            const TouchReport report = channel_.Report;
            if ((report.Status & kTouchDownBit) == 0) {
                stability_.NoFinger(report.ReportCount);
                events_.DoEvents();
                if (breakRequested_ || closing_) return EndCapture();
                break;  // lifted before acceptance: the target starts over
            }
            if (!touchSeen) {
                SetTouchIndicator(true);
                touchSeen = true;
                events_.DoEvents();
                // A break waits for the lift, as it always has; a closed window does not.
                if (closing_) return EndCapture();
            }
            // No events while the finger rests: the loop has to keep up with the controller.
            if (stability_.Finger(report.RawX, report.RawY, report.ReportCount)) {
                accepted = true;
                break;
            }
            // A finger may rest for long: Windows must still see a live queue.
            events_.LookAtQueue();
        }
    }

    form_("lblSaveXX", number).SetCaption(std::to_string(channel_.Report.RawX));
    form_("lblSaveYY", number).SetCaption(std::to_string(channel_.Report.RawY));
    channel_.SendCalibrationCode(kCodeCaptured);
    DrawTarget(number, false);
    ShowLiftOffPrompt("NEXT STEP!");
    for (;;) {
        channel_.GetReport();
        if ((channel_.Report.Status & kTouchDownBit) == 0) break;
        events_.DoEvents();
        if (breakRequested_ || closing_) return EndCapture();
    }
    SetTouchIndicator(false);
    return Result::Continue;
}

std::optional<CalibrationEdges> CalibrationWindow::ComputeFromLabels() {
    std::array<RawPoint, 4> captures;
    for (int i = 1; i <= 4; ++i) {
        // The labels hold what was captured; read back as numbers like the rest of the run.
        captures[i - 1].X = std::atoi(form_("lblSaveXX", i).Caption().c_str());
        captures[i - 1].Y = std::atoi(form_("lblSaveYY", i).Caption().c_str());
    }
    return ComputeCalibration(captures, channel_.Block.ScreenWidth, channel_.Block.ScreenHeight);
}

void CalibrationWindow::RunCalibration() {
    const auto old = channel_.Block;
    old_ = {old.CalXMin, old.CalYMin, old.CalXMax, old.CalYMax};
    closing_ = false;
    phase_ = Phase::Opening;
    HideCursor(ui_);
    if (!WaitForLiftAtStart()) {
        phase_ = Phase::Idle;
        RestoreCursor(ui_);
        return;
    }
    SetTouchIndicator(false);
    breakRequested_ = false;
    phase_ = Phase::Capturing;

    for (int target = 1; target <= 4; ++target) {
        if (CaptureTarget(target) == Result::Break) {
            phase_ = Phase::Idle;
            RestoreCursor(ui_);
            return;
        }
    }
    phase_ = Phase::Idle;

    const auto edges = ComputeFromLabels();
    const bool applied = edges && ApplyCalibration(edges->XMin, edges->YMin, edges->XMax, edges->YMax);
    form_["picCalibration"].SetVisible(false);
    RestoreCursor(ui_);
    channel_.SendCalibrationCode(kCodeNormal);
    if (!applied) {
        // Nothing new is in force: asking to keep it would report a failure as success.
        auto& b = channel_.Block;
        b.CalXMin = old.CalXMin, b.CalYMin = old.CalYMin, b.CalXMax = old.CalXMax, b.CalYMax = old.CalYMax;
        ui_.ShowMessageBox(kCalibrationFailedText, kCalibrationTitle, kFailureBoxStyle);
        return;
    }
    phase_ = Phase::Asking;
    const int answer = AskYesNo(ui_, kCalibrationCompleteText, kBoxDefaultButton1, kCalibrationTitle);
    if (phase_ != Phase::Asking) return;  // the session ended and put the old edges back
    phase_ = Phase::Idle;
    // Only Yes keeps the new edges: a box that went without an answer (0) is no Yes.
    if (answer != kIdYes) {
        form_.SetPointer(MousePointer::Hourglass);
        ApplyCalibration(old.CalXMin, old.CalYMin, old.CalXMax, old.CalYMax);
        form_.SetPointer(MousePointer::Default);
    }
    RestoreCursor(ui_);
}

void CalibrationWindow::Activate() {
    // The window comes back to the front when one of the run's own message boxes closes.
    if (running_) return;
    running_ = true;
    RunCalibration();
    running_ = false;
    form_.Unload();
}

void CalibrationWindow::Unloaded() {
    channel_.ShowRbfWindow();
    returnToMain_();
    RestoreCursor(ui_);
}

void InstallCalibrationWindow(ControlPanel& panel) {
    Form& form = panel.AddWindow(MakeCalibrationForm());
    auto window = std::make_shared<CalibrationWindow>(form, panel.Channel(), panel.Ports().Ui,
                                                      panel.Ports().Events, [&panel] { panel.ReturnToMainWindow(); });
    form.Load = [&form, &panel, window] {
        panel.Channel().GetRbfWindow();
        const auto& b = panel.Channel().Block;
        form["lblResolution"].SetCaption("Resolution: " + std::to_string(b.ScreenWidth) + " X " +
                                         std::to_string(b.ScreenHeight));
        panel.Channel().HideRbfWindow();
        // Full screen also where no window manager maximizes it (and in the model alone).
        form.Move(0, 0, form.Screen().Width, form.Screen().Height);
        window->Layout();
    };
    form.Resize = [window] { window->Layout(); };
    form.Activated = [window] { window->Activate(); };
    form.KeyPress = [window](int& key) {
        if (key == 27) window->AskToBreak();
    };
    form.Unloading = [window](bool& cancel) {
        // Closed mid-run: the run ends first, and its own end unloads the window.
        if (window->Running()) {
            window->CloseDuringRun();
            cancel = true;
            return;
        }
        window->Unloaded();
    };
    form.SessionEnding = [window] { window->EndSession(); };
}

void InstallServiceWindows(ControlPanel& panel) {
    InstallCalibrationWindow(panel);
    InstallTestBoard(panel);
    InstallMcuInfoWindow(panel);
}

}  // namespace px
