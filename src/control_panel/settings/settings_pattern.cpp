#include "control_panel/settings/settings_pattern.hpp"

#include <algorithm>

#include "shared/about_window.hpp"
#include "shared/window_header.hpp"

namespace px::settings {

using namespace forms;

std::unique_ptr<Form> SettingsForm(const char* name, const char* caption, double clientHeight,
                                   std::vector<ControlDecl> controls) {
    return std::make_unique<Form>(FormDecl{.Name = name, .Caption = caption, .ClientWidth = kFormWidth,
                                           .ClientHeight = clientHeight, .Border = BorderStyle::FixedSingle,
                                           .Icon = "IDI_PRODUCT"},
                                  std::move(controls));
}

std::vector<ControlDecl> HeaderControls() {
    return {
        VendorTitleLabel(420),
        SystemLabel("System", 900, 3105),
        IconFrame(kFormWidth - 1365, 300),
        IconImage(),
        {.Name = "shpHeader", .Kind = ControlKind::Shape, .Left = 240, .Top = 180, .Width = kFormWidth - 480,
         .Height = 1080, .ForeColor = kGrey, .BackColor = kButtonFace},
    };
}

std::vector<ControlDecl> CommitButtons(double top) {
    const double width = 1575, gap = 240, left = (kFormWidth - 3 * width - 2 * gap) / 2;
    return {
        {.Name = "cmdApply", .Kind = ControlKind::CommandButton, .Caption = "&Apply", .Left = left, .Top = top,
         .Width = width, .Height = 435, .Enabled = false},
        {.Name = "cmdOK", .Kind = ControlKind::CommandButton, .Caption = "&OK", .Left = left + width + gap,
         .Top = top, .Width = width, .Height = 435, .Default = true},
        {.Name = "cmdCandel", .Kind = ControlKind::CommandButton, .Caption = "&Cancel",
         .Left = left + 2 * (width + gap), .Top = top, .Width = width, .Height = 435, .Cancel = true},
    };
}

ControlDecl FrameDecl(const char* name, const char* caption, double left, double top, double width, double height) {
    return {.Name = name, .Kind = ControlKind::Frame, .Caption = caption, .Left = left, .Top = top, .Width = width,
            .Height = height};
}

ControlDecl OptionDecl(const char* name, int index, const char* caption, const char* frame, double left, double top,
                       double width) {
    return {.Name = name, .Index = index, .Kind = ControlKind::OptionButton, .Caption = caption, .Left = left,
            .Top = top, .Width = width, .Height = 255, .ForeColor = kTeal, .Container = frame};
}

ControlDecl SliderDecl(const char* name, const char* frame, double left, double top, double width, int min, int max,
                       int largeChange, int position) {
    return {.Name = name, .Kind = ControlKind::HScrollBar, .Left = left, .Top = top, .Width = width, .Height = 255,
            .Container = frame, .Value = position, .Min = min, .Max = max, .SmallChange = 1,
            .LargeChange = largeChange};
}

ControlDecl ScaleLabel(const char* frame, const char* caption, double left, double top, double width,
                       Alignment align, Color colour) {
    return {.Name = std::string("lblScale") + caption, .Kind = ControlKind::Label, .Caption = caption, .Left = left,
            .Top = top, .Width = width, .Height = 195, .ForeColor = colour, .Align = align, .Container = frame};
}

void RunHeaderSetup(Form& window, ControlPanel& panel, bool copyCaption) {
    const WindowHeader header = panel.Header();
    window["lblOemTitle"].SetCaption(header.OemTitle);
    window["lblSystem"].SetCaption(header.System);
    if (copyCaption) window.SetCaption(panel.Main().Caption());
    CenterFormOnScreen(window);
    CenterIconIn(window);
}

void SetCommitState(Form& window, bool differs, const char* commitButton) {
    window[commitButton].SetEnabled(differs);
}

void WireCommit(Form& window, CommitWiring wiring) {
    const std::string commitName = wiring.CommitButton;
    auto commit = [&window, commitName, send = wiring.Commit] {
        window.SetPointer(MousePointer::Hourglass);
        send();
        window[commitName].SetEnabled(false);
        window.SetPointer(MousePointer::Default);
    };
    window[commitName].Click = commit;
    window["cmdOK"].Click = [&window, commitName, commit] {
        // OK sends only what Apply would: nothing when nothing differs.
        if (window[commitName].Enabled()) commit();
        window.Unload();
    };
    window[wiring.CancelButton].Click = [&window] { window.Unload(); };
    window.Unloading = [closed = wiring.Closed](bool&) { closed(); };
}

OptionGroup::OptionGroup(Form& window, std::string name, std::vector<int> indexes)
    : window_(window), name_(std::move(name)), indexes_(std::move(indexes)) {
    for (int index : indexes_)
        window_(name_, index).Click = [this, index] { Picked(index); };
}

Control* OptionGroup::Element(int index) {
    if (std::find(indexes_.begin(), indexes_.end(), index) == indexes_.end()) return nullptr;
    return &window_(name_, index);
}

void OptionGroup::Load(int value) {
    pending_ = value;
    if (Control* option = Element(value)) {
        option->SetValue(1);  // its Click finds the choice pending already
        option->SetForeColor(kBlack);
    }
}

void OptionGroup::Picked(int index) {
    if (index == pending_) return;
    if (Control* previous = Element(pending_)) {
        previous->SetValue(0);
        previous->SetForeColor(kTeal);
    }
    pending_ = index;
    Control& option = window_(name_, index);
    option.SetValue(1);
    option.SetForeColor(kBlack);
    if (Changed) Changed();
}

void OptionGroup::SetEnabled(bool on) {
    for (int index : indexes_) window_(name_, index).SetEnabled(on);
}

int Clamp(int value, int low, int high) { return std::clamp(value, low, high); }

}  // namespace px::settings
