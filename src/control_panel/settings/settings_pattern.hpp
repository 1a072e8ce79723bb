// What every settings window shares: the header copied from the main window, the commit
// button with OK and Cancel, option groups with their pending byte, and how a slider or check
// box stands for a driver value.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control_panel/main_window.hpp"
#include "forms/form.hpp"

namespace px::settings {


// Every settings window is this wide, so the header sits alike in all of them.
inline constexpr double kFormWidth = 6645;
// Where the body of a window starts, below its header.
inline constexpr double kBodyTop = 1500;

// A settings window of the common width, fixed single border and the product icon.
std::unique_ptr<forms::Form> SettingsForm(const char* name, const char* caption, double clientHeight,
                                          std::vector<forms::ControlDecl> controls);
// lblOemTitle, lblSystem, picIcon with imgIcon, and the decorative frame around them.
std::vector<forms::ControlDecl> HeaderControls();
// cmdApply, cmdOK and cmdCandel in one row; OK answers Enter and Cancel Esc.
std::vector<forms::ControlDecl> CommitButtons(double top);
forms::ControlDecl FrameDecl(const char* name, const char* caption, double left, double top, double width,
                             double height);
forms::ControlDecl OptionDecl(const char* name, int index, const char* caption, const char* frame, double left,
                              double top, double width);
forms::ControlDecl SliderDecl(const char* name, const char* frame, double left, double top, double width, int min,
                              int max, int largeChange, int position);
forms::ControlDecl ScaleLabel(const char* frame, const char* caption, double left, double top, double width,
                              forms::Alignment align, forms::Color colour = forms::kButtonText);

// Vendor name, version line, optionally the main window's caption; then placement and icon.
void RunHeaderSetup(forms::Form& window, ControlPanel& panel, bool copyCaption = true);

// The commit button (cmdApply, or cmdSave) and OK/Cancel around one request to the driver.
struct CommitWiring {
    const char* CommitButton = "cmdApply";
    const char* CancelButton = "cmdCandel";  // so spelled in every window; tests find it by name
    std::function<void()> Commit;   // copy the pending values in, send, rewrite the summary
    std::function<void()> Closed;   // where the user goes back to
};
void WireCommit(forms::Form& window, CommitWiring wiring);
void SetCommitState(forms::Form& window, bool differs, const char* commitButton = "cmdApply");

// An option-button array with its window-level pending byte and the highlight rule: the chosen
// option black, the others teal.
class OptionGroup {
public:
    OptionGroup(forms::Form& window, std::string name, std::vector<int> indexes);

    // Pending := value; its option (if the value has one) selected and black.
    void Load(int value);
    int Pending() const { return pending_; }
    void SetEnabled(bool on);
    // Called after the user changed the pending choice.
    std::function<void()> Changed;

private:
    void Picked(int index);
    forms::Control* Element(int index);

    forms::Form& window_;
    std::string name_;
    std::vector<int> indexes_;
    int pending_ = -1;
};

// A slider or check box that stands for a driver value. Until the user moves the control it
// stands for the driver's value itself, so a stored value the control cannot show (out of range)
// is neither changed nor sent. Once moved, every position stands for itself, the opening one
// too: otherwise the end it was clamped to could never be chosen.
struct HeldValue {
    int Stored = 0;
    int Shown = 0;
    // Moves count only once the control has shown its opening position: the load looks at the
    // controls while they still hold their design positions.
    bool Opened = false;
    bool Moved = false;
    int Pending(int now) {
        if (now == Shown)
            Opened = true;
        else if (Opened)
            Moved = true;
        return Moved || now != Shown ? now : Stored;
    }
};

// Nearest position a slider can show.
int Clamp(int value, int low, int high);

}  // namespace px::settings
