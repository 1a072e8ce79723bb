// frmMouseSpeed: horizontal and vertical pointer speed, acceleration and the bypass mode.
#include <memory>

#include "control_panel/settings/settings_pattern.hpp"
#include "control_panel/settings/settings_windows.hpp"
#include "shared/summaries.hpp"

namespace px {

using namespace forms;
using namespace settings;

namespace {

void AddSpeedFrame(std::vector<ControlDecl>& controls, const char* frame, const char* caption, double top,
                   const char* slider, const char* label) {
    controls.push_back(FrameDecl(frame, caption, 480, top, 3480, 1035));
    controls.push_back(SliderDecl(slider, frame, 240, 300, 3000, 1, 20, 2, 20));
    controls.push_back(ScaleLabel(frame, "Slow", 240, 660, 600, Alignment::Left));
    controls.push_back({.Name = label, .Kind = ControlKind::Label, .Caption = "100%", .Left = 1140, .Top = 660,
                        .Width = 1200, .Height = 195, .Align = Alignment::Center, .Container = frame});
    controls.push_back(ScaleLabel(frame, "Fast", 2640, 660, 600, Alignment::Right));
}

std::unique_ptr<Form> MouseSpeedForm() {
    std::vector<ControlDecl> controls = HeaderControls();
    controls.push_back(FrameDecl("fraAdjustMode", "  Adjust Mode", 480, kBodyTop, 3480, 735));
    controls.push_back({.Name = "chkBoth", .Kind = ControlKind::CheckBox, .Caption = "Set Both Horizontal && Vertical ",
                        .Left = 240, .Top = 330, .Width = 3120, .Height = 255, .ForeColor = kTeal,
                        .Container = "fraAdjustMode"});
    controls.push_back(FrameDecl("fraBypassMode", "  Bypass Mode", 4080, kBodyTop, 2085, 735));
    controls.push_back({.Name = "chkBypass", .Kind = ControlKind::CheckBox, .Caption = "Enable", .Left = 360,
                        .Top = 330, .Width = 1500, .Height = 255, .ForeColor = kTeal, .Container = "fraBypassMode"});
    AddSpeedFrame(controls, "fraHSpeed", "  Horizontal Speed  ", 2340, "hscMouseHSpeed", "lblHS");
    AddSpeedFrame(controls, "fraVSpeed", "  Vertical Speed  ", 3480, "hscMouseVSpeed", "lblVS");
    const char* accel = "fraAcceleration";
    controls.push_back(FrameDecl(accel, "  Acceleration  ", 4080, 2340, 2085, 2175));
    // "Midume" is only the design caption; the load replaces all four with the real names.
    const char* const design[] = {"Slow", "Midume", "Fast", "Off"};
    for (int i = 1; i <= 4; ++i)
        controls.push_back(OptionDecl("optAcceleration", i, design[i - 1], accel, 360, 360 + (i - 1) * 420, 1500));
    for (auto& c : CommitButtons(4740)) controls.push_back(std::move(c));
    return SettingsForm("frmMouseSpeed", "Mouse Speed", 5475, std::move(controls));
}

struct MouseSpeedState {
    explicit MouseSpeedState(Form& form) : Acceleration(form, "optAcceleration", {1, 2, 3, 4}) {}
    OptionGroup Acceleration;
    HeldValue HSpeed, VSpeed, Bypass;
};

std::string Percent(int speed) { return std::to_string(5 * speed) + "%"; }

}  // namespace

std::unique_ptr<Form> MakeMouseSpeedWindow(ControlPanel& panel) {
    auto window = MouseSpeedForm();
    Form& form = *window;
    auto state = std::make_shared<MouseSpeedState>(form);
    MouseSpeedState* s = state.get();
    auto& h = form["hscMouseHSpeed"];
    auto& v = form["hscMouseVSpeed"];
    auto& both = form["chkBoth"];
    auto& bypass = form["chkBypass"];

    auto applyState = [&form, &panel, s, &h, &v, &bypass] {
        const auto& block = panel.Channel().Block;
        SetCommitState(form, s->Bypass.Pending(bypass.Value()) != block.Bypass ||
                                 s->VSpeed.Pending(v.Value()) != block.VSpeed ||
                                 s->HSpeed.Pending(h.Value()) != block.HSpeed ||
                                 s->Acceleration.Pending() != block.Acceleration);
    };
    auto bypassHandling = [s, &h, &v, &both, &bypass, applyState] {
        const bool free = bypass.Value() == 0;
        both.SetEnabled(free);
        h.SetEnabled(free);
        v.SetEnabled(free);
        s->Acceleration.SetEnabled(free);
        applyState();
    };
    auto hChanged = [&form, s, &h, &v, &both, applyState] {
        form["lblHS"].SetCaption(Percent(s->HSpeed.Pending(h.Value())));
        if (both.Value() == 1) v.SetValue(h.Value());
        applyState();
    };
    auto vChanged = [&form, s, &h, &v, &both, applyState] {
        form["lblVS"].SetCaption(Percent(s->VSpeed.Pending(v.Value())));
        applyState();
        if (both.Value() == 1) h.SetValue(v.Value());
    };
    // Dragging a thumb reports every move as a change too, so the linked slider follows the drag.
    h.Change = hChanged;
    h.Scroll = hChanged;
    v.Change = vChanged;
    v.Scroll = vChanged;
    both.Click = [&both] { both.SetForeColor(both.Value() == 1 ? kBlack : kTeal); };
    bypass.Click = bypassHandling;
    s->Acceleration.Changed = applyState;

    form.Load = [&form, &panel, state, s, &h, &v, &both, &bypass, hChanged, vChanged, bypassHandling] {
        for (int i = 1; i <= 4; ++i)
            form("optAcceleration", i).SetCaption(AccelerationNames(static_cast<unsigned>(i)));
        const auto& block = panel.Channel().Block;
        s->HSpeed = {block.HSpeed, Clamp(block.HSpeed, h.Min(), h.Max())};
        s->VSpeed = {block.VSpeed, Clamp(block.VSpeed, v.Min(), v.Max())};
        s->Bypass = {block.Bypass, block.Bypass != 0 ? 1 : 0};
        s->Acceleration.Load(block.Acceleration);
        bypass.SetValue(s->Bypass.Shown);
        // Linked only when the speeds already agree: linking unequal ones would change one unasked.
        both.SetValue(block.HSpeed == block.VSpeed ? 1 : 0);
        both.SetForeColor(both.Value() == 1 ? kBlack : kTeal);
        h.SetValue(s->HSpeed.Shown);
        v.SetValue(s->VSpeed.Shown);
        hChanged();
        vChanged();
        bypassHandling();
        RunHeaderSetup(form, panel);
    };
    WireCommit(form, {.Commit =
                          [&panel, s, &h, &v, &bypass] {
                              auto& channel = panel.Channel();
                              auto& block = channel.Block;
                              block.Bypass = static_cast<std::uint8_t>(s->Bypass.Pending(bypass.Value()));
                              block.HSpeed = static_cast<std::uint8_t>(s->HSpeed.Pending(h.Value()));
                              block.VSpeed = static_cast<std::uint8_t>(s->VSpeed.Pending(v.Value()));
                              block.Acceleration = static_cast<std::uint8_t>(s->Acceleration.Pending());
                              channel.SetMouseSpeed();
                              panel.ShowSummary(ControlPanel::Summary::MouseSpeed);
                          },
                      .Closed = [&panel] { panel.ReturnToMainWindow(); }});
    return window;
}

}  // namespace px
