// The four-point calibration window: a cross mark in each corner, the finger's raw position on
// each, four screen edges computed from them and handed to the driver.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "forms/form.hpp"
#include "shared/driver_channel.hpp"
#include "shared/ports.hpp"

namespace px {

class ControlPanel;

inline constexpr char kCalibrationTitle[] = "TouchScreen Calibration";
inline constexpr char kCalibrationCompleteText[] =
    "CALIBRATION IS COMPLETE.\r\rFor test, touch on the screen and check cursor position.\r"
    "To save new calibration, click Yes button.\rTo restore old calibration, click No button.";
inline constexpr char kBreakCalibrationText[] = "Are you sure you want to break calibration?";
inline constexpr char kCalibrationFailedText[] = "FAIL TO SET NEW CALIBRATION";

// What the driver is told at fixed moments of the run.
inline constexpr std::int32_t kCodeNormal = 0;
inline constexpr std::int32_t kCodeFingerAtStart = 3;
inline constexpr std::int32_t kCodeBreak = 4;
inline constexpr std::int32_t kCodeCaptured = 5;

inline constexpr int kTargetInset = 16;

struct RawPoint {
    int X = 0;
    int Y = 0;
};

struct CalibrationEdges {
    int XMin = 0, YMin = 0, XMax = 0, YMax = 0;
    bool operator==(const CalibrationEdges&) const = default;
};

// Targets 1..4 at index 0..3. Empty when the screen is 2 × inset pixels or less in a
// divisor's direction: there is no span to scale by.
std::optional<CalibrationEdges> ComputeCalibration(const std::array<RawPoint, 4>& captures, int screenWidth,
                                                   int screenHeight);

// The drawing surface's last pixel column and row, and the inset of the marks.
struct TargetFrame {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int InsetX = kTargetInset, InsetY = kTargetInset;
};
struct CrossMark {
    int X1, Y1, X2, Y2, Cx, Cy;
    bool operator==(const CrossMark&) const = default;
};
std::optional<CrossMark> CrossMarkOf(const TargetFrame& frame, int target);
std::string TargetName(int target);  // "TOP-LEFT", ... for 1..4

// The stability rule of one attempt at a target: a finger accepted once its position has held
// through two new report numbers. Numbers that repeat are polls of the same report.
class StabilityCounter {
public:
    void BeginTarget() { lastReport_ = 0; }
    void BeginAttempt();
    void NoFinger(std::int16_t reportCount) { lastReport_ = reportCount; }
    // True when the position is accepted.
    bool Finger(std::int16_t x, std::int16_t y, std::int16_t reportCount);
    int StableCount() const { return stableCount_; }

private:
    int stableCount_ = 2;
    std::int16_t previousX_ = 0, previousY_ = 0;
    std::int16_t lastReport_ = 0;
};

std::unique_ptr<forms::Form> MakeCalibrationForm();

class CalibrationWindow {
public:
    enum class Result { Continue = 0, Break = 1 };

    CalibrationWindow(forms::Form& form, DriverChannel& channel, UiPort& ui, EventLoopPort& events,
                      std::function<void()> returnToMain);

    // The whole run happens inside the window's activation; the window then unloads itself.
    void Activate();
    void Unloaded();
    void RunCalibration();
    Result CaptureTarget(int number);
    void DrawTarget(int number, bool visible);
    void ShowTouchPrompt(const std::string& name);
    void ShowLiftOffPrompt(const std::string& text);
    void SetTouchIndicator(bool on);
    // False when the driver refused the request.
    bool ApplyCalibration(int xMin, int yMin, int xMax, int yMax);
    void AskToBreak();
    // The user closes the window mid-run (Alt+F4): the run ends at once as a confirmed break
    // would, and the window unloads after it.
    void CloseDuringRun();
    // Logoff, shutdown or a close from another program while the window is loaded: the driver
    // must not be left with unconfirmed edges, nor the right-button program hidden.
    void EndSession();
    void Layout();

    bool Running() const { return running_; }
    const TargetFrame& Frame() const { return frame_; }
    int CurrentTarget() const { return currentTarget_; }
    bool BreakRequested() const { return breakRequested_; }

private:
    bool WaitForLiftAtStart();  // false when the window was closed meanwhile
    Result EndCapture();
    std::optional<CalibrationEdges> ComputeFromLabels();

    forms::Form& form_;
    DriverChannel& channel_;
    UiPort& ui_;
    EventLoopPort& events_;
    std::function<void()> returnToMain_;
    // These outlive each opening of the window, as the cross-mark geometry does.
    TargetFrame frame_;
    int currentTarget_ = 0;
    bool breakRequested_ = false;
    StabilityCounter stability_;
    bool running_ = false;
    bool closing_ = false;
    // Where the run stands: Escape only means something before the closing question, only the
    // targets have a break to report, and only the closing question has new edges in force that
    // the user has not confirmed.
    enum class Phase { Idle, Opening, Capturing, Asking };
    Phase phase_ = Phase::Idle;
    bool askingToBreak_ = false;
    CalibrationEdges old_;
};

void InstallCalibrationWindow(ControlPanel& panel);

// The calibration, the test board and the controller information window.
void InstallServiceWindows(ControlPanel& panel);

}  // namespace px
