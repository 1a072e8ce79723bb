// frmSleepTime: after how long idle the touchscreen powers down.
#include <memory>

#include "control_panel/settings/settings_pattern.hpp"
#include "control_panel/settings/settings_windows.hpp"
#include "shared/summaries.hpp"

namespace px {

using namespace forms;
using namespace settings;

namespace {

std::unique_ptr<Form> SleepTimeForm() {
    std::vector<ControlDecl> controls = HeaderControls();
    const char* frame = "fraSleepTime";
    controls.push_back(FrameDecl(frame, "  Power Down Timer Adjustment ", 480, kBodyTop, 5685, 1515));
    controls.push_back({.Name = "lblSS", .Kind = ControlKind::Label, .Caption = "Disable Power Down Function",
                        .Left = 240, .Top = 300, .Width = 5205, .Height = 195, .ForeColor = kBlue,
                        .Align = Alignment::Center, .Container = frame});
    controls.push_back(ScaleLabel(frame, "0", 240, 540, 600, Alignment::Left));
    controls.push_back(ScaleLabel(frame, "300", 4845, 540, 600, Alignment::Right));
    controls.push_back(SliderDecl("hscSleepTime", frame, 240, 780, 5205, 0, 30, 6, 15));
    controls.push_back(ScaleLabel(frame, "Short", 240, 1140, 600, Alignment::Left));
    controls.push_back({.Name = "lblST", .Kind = ControlKind::Label, .Caption = "150", .Left = 2242, .Top = 1140,
                        .Width = 1200, .Height = 195, .ForeColor = kBlue, .Align = Alignment::Center,
                        .Container = frame});
    controls.push_back(ScaleLabel(frame, "Long", 4845, 1140, 600, Alignment::Right));
    for (auto& c : CommitButtons(3300)) controls.push_back(std::move(c));
    return SettingsForm("frmSleepTime", "Power Save", 4035, std::move(controls));
}

}  // namespace

std::unique_ptr<Form> MakeSleepTimeWindow(ControlPanel& panel) {
    auto window = SleepTimeForm();
    Form& form = *window;
    auto time = std::make_shared<HeldValue>();
    auto& slider = form["hscSleepTime"];
    auto showTime = [&form, &slider, time] {
        const int pending = time->Pending(slider.Value());
        form["lblST"].SetCaption(" " + std::to_string(10 * pending));
        form["lblSS"].SetCaption(PowerDownText(static_cast<unsigned>(pending)));
    };
    slider.Scroll = showTime;
    slider.Change = [&form, &panel, &slider, time, showTime] {
        showTime();
        SetCommitState(form, panel.Channel().Block.PowerDownTime != time->Pending(slider.Value()));
    };
    form.Load = [&form, &panel, &slider, time] {
        const int stored = panel.Channel().Block.PowerDownTime;
        *time = {stored, Clamp(stored, slider.Min(), slider.Max())};
        slider.SetValue(time->Shown);
        slider.Change();
        RunHeaderSetup(form, panel);
    };
    WireCommit(form, {.Commit =
                          [&panel, &slider, time] {
                              auto& channel = panel.Channel();
                              channel.Block.PowerDownTime = static_cast<std::uint8_t>(time->Pending(slider.Value()));
                              channel.SetPowerDown();
                              panel.ShowSummary(ControlPanel::Summary::SleepTime);
                          },
                      .Closed = [&panel] { panel.ReturnToMainWindow(); }});
    return window;
}

}  // namespace px
