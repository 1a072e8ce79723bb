// frmFeedbackSound: when the touchscreen sounds.
#include <memory>

#include "control_panel/settings/settings_pattern.hpp"
#include "control_panel/settings/settings_windows.hpp"
#include "shared/summaries.hpp"

namespace px {

using namespace forms;
using namespace settings;

namespace {

std::unique_ptr<Form> FeedbackSoundForm() {
    std::vector<ControlDecl> controls = HeaderControls();
    const char* frame = "fraFeedbackSound";
    controls.push_back(FrameDecl(frame, "  Feedback Sound Option  ", 480, kBodyTop, 5685, 1560));
    for (int i = 1; i <= 4; ++i) {
        const std::string design = FeedbackSoundNames(static_cast<unsigned>(i));
        controls.push_back(OptionDecl("optFeedbackSound", i, design.c_str(), frame, 360, 300 + (i - 1) * 300, 4800));
    }
    for (auto& c : CommitButtons(3360)) controls.push_back(std::move(c));
    return SettingsForm("frmFeedbackSound", "Feedback Sound", 4095, std::move(controls));
}

}  // namespace

std::unique_ptr<Form> MakeFeedbackSoundWindow(ControlPanel& panel) {
    auto window = FeedbackSoundForm();
    Form& form = *window;
    auto sounds = std::make_shared<OptionGroup>(form, "optFeedbackSound", std::vector<int>{1, 2, 3, 4});
    sounds->Changed = [&form, &panel, s = sounds.get()] {
        SetCommitState(form, s->Pending() != panel.Channel().Block.FeedbackSound);
    };
    form.Load = [&form, &panel, sounds] {
        for (int i = 1; i <= 4; ++i)
            form("optFeedbackSound", i).SetCaption(" " + FeedbackSoundNames(static_cast<unsigned>(i)));
        sounds->Load(panel.Channel().Block.FeedbackSound);
        RunHeaderSetup(form, panel);
    };
    WireCommit(form, {.Commit =
                          [&panel, sounds] {
                              auto& channel = panel.Channel();
                              channel.Block.FeedbackSound = static_cast<std::uint8_t>(sounds->Pending());
                              channel.SetFeedbackSound();
                              panel.ShowSummary(ControlPanel::Summary::FeedbackSound);
                          },
                      .Closed = [&panel] { panel.ReturnToMainWindow(); }});
    return window;
}

}  // namespace px
