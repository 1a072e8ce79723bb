// frmSensitivity: the touch sensitivity level, with a box to try it on.
#include <memory>

#include "control_panel/settings/settings_pattern.hpp"
#include "control_panel/settings/settings_windows.hpp"
#include "shared/summaries.hpp"

namespace px {

using namespace forms;
using namespace settings;

namespace {

constexpr int kTopLevel = 127;

std::unique_ptr<Form> SensitivityForm() {
    std::vector<ControlDecl> controls = HeaderControls();
    // The text comes first so it stays on top of the box it lies in. Both show the form's own
    // colour until pressed, which looks like the see-through box and needs no overlapping
    // transparency from the window system.
    controls.push_back({.Name = "lblTestBox", .Index = 1, .Kind = ControlKind::Label,
                        .Caption = "Touch On This Box To Test", .Left = 540, .Top = 1770, .Width = 5565,
                        .Height = 195, .BackColor = kButtonFace, .Align = Alignment::Center});
    controls.push_back({.Name = "lblTestBox", .Index = 0, .Kind = ControlKind::Label, .Left = 480, .Top = kBodyTop,
                        .Width = 5685, .Height = 735, .BackColor = kButtonFace, .Border = true});
    const char* frame = "fraSensitivity";
    controls.push_back(FrameDecl(frame, "  Touch Sensitivity Adjustment ", 480, 2400, 5685, 1275));
    controls.push_back(ScaleLabel(frame, "0", 240, 300, 600, Alignment::Left));
    controls.push_back(ScaleLabel(frame, "63", 2542, 300, 600, Alignment::Center));
    controls.push_back(ScaleLabel(frame, "127", 4845, 300, 600, Alignment::Right));
    controls.push_back(SliderDecl("hscSensitivity", frame, 240, 540, 5205, 0, kTopLevel, 10, 63));
    controls.push_back(ScaleLabel(frame, "Light", 240, 900, 600, Alignment::Left));
    controls.push_back({.Name = "lblSV", .Kind = ControlKind::Label, .Caption = "63", .Left = 2242, .Top = 900,
                        .Width = 1200, .Height = 195, .ForeColor = kBlue, .Align = Alignment::Center,
                        .Container = frame});
    controls.push_back(ScaleLabel(frame, "Heavy", 4845, 900, 600, Alignment::Right));
    for (auto& c : CommitButtons(3900)) controls.push_back(std::move(c));
    return SettingsForm("frmSensitivity", "Touch Sensitivity", 4635, std::move(controls));
}

}  // namespace

std::unique_ptr<Form> MakeSensitivityWindow(ControlPanel& panel) {
    auto window = SensitivityForm();
    Form& form = *window;
    auto level = std::make_shared<HeldValue>();
    auto& slider = form["hscSensitivity"];
    auto showLevel = [&form, &slider, level] {
        form["lblSV"].SetCaption(" " + std::to_string(level->Pending(slider.Value())));
    };
    slider.Scroll = showLevel;
    slider.Change = [&form, &panel, &slider, level, showLevel] {
        showLevel();
        SetCommitState(form, panel.Channel().Block.Sensitivity != kTopLevel - level->Pending(slider.Value()));
    };
    // The box lights while pressed; it is only for trying the setting and sends nothing.
    auto light = [&form](bool on) {
        for (int i : {0, 1}) form("lblTestBox", i).SetBackColor(on ? kYellow : kButtonFace);
    };
    for (int i : {0, 1}) {
        form("lblTestBox", i).MouseDown = [light](int, int, double, double) { light(true); };
        form("lblTestBox", i).MouseUp = [light](int, int, double, double) { light(false); };
    }
    form.Load = [&form, &panel, &slider, level] {
        const int stored = kTopLevel - panel.Channel().Block.Sensitivity;
        *level = {stored, Clamp(stored, slider.Min(), slider.Max())};
        slider.SetValue(level->Shown);
        slider.Change();
        RunHeaderSetup(form, panel);
    };
    WireCommit(form, {.Commit =
                          [&panel, &slider, level] {
                              auto& channel = panel.Channel();
                              channel.Block.Sensitivity =
                                  static_cast<std::uint8_t>(kTopLevel - level->Pending(slider.Value()));
                              channel.SetSensitivity();
                              panel.ShowSummary(ControlPanel::Summary::Sensitivity);
                          },
                      .Closed = [&panel] { panel.ReturnToMainWindow(); }});
    return window;
}

}  // namespace px
