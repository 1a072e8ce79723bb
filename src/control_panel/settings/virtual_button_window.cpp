// frmVirtualButton: the touch mode and the right-button function, which starts or closes the
// right-button program on Apply.
#include <memory>

#include "control_panel/settings/settings_pattern.hpp"
#include "control_panel/settings/settings_windows.hpp"
#include "shared/summaries.hpp"

namespace px {

using namespace forms;
using namespace settings;

namespace {

std::unique_ptr<Form> VirtualButtonForm() {
    std::vector<ControlDecl> controls = HeaderControls();
    const char* modes = "fraVirtualButton";
    controls.push_back(FrameDecl(modes, "  Virtual Button Option  ", 480, kBodyTop, 5685, 1560));
    const char* const design[] = {"Stream Mode", "Touch Down Mode", "Lift Off Mode", "Drag Dorp Mode"};
    for (int i = 1; i <= 4; ++i)
        controls.push_back(OptionDecl("optVirtualButton", i, design[i - 1], modes, 360, 300 + (i - 1) * 300, 4800));
    const char* rbf = "fraRBFunction";
    controls.push_back(FrameDecl(rbf, "  Right Button Function ", 480, 3180, 5685, 735));
    controls.push_back(OptionDecl("optRBFunction", 1, "Enable", rbf, 360, 330, 2000));
    controls.push_back(OptionDecl("optRBFunction", 0, "Disable", rbf, 3000, 330, 2000));
    for (auto& c : CommitButtons(4200)) controls.push_back(std::move(c));
    return SettingsForm("frmVirtualButton", "Virtual Button", 4935, std::move(controls));
}

struct VirtualButtonState {
    explicit VirtualButtonState(Form& form)
        : Modes(form, "optVirtualButton", {1, 2, 3, 4}), Rbf(form, "optRBFunction", {1, 0}) {}
    OptionGroup Modes;
    OptionGroup Rbf;
};

}  // namespace

std::unique_ptr<Form> MakeVirtualButtonWindow(ControlPanel& panel) {
    auto window = VirtualButtonForm();
    Form& form = *window;
    auto state = std::make_shared<VirtualButtonState>(form);
    auto applyState = [&form, &panel, s = state.get()] {
        const auto& block = panel.Channel().Block;
        SetCommitState(form, s->Modes.Pending() != block.TouchMode || s->Rbf.Pending() != block.RightButton);
    };
    state->Modes.Changed = applyState;
    state->Rbf.Changed = applyState;
    form.Load = [&form, &panel, state] {
        for (int i = 1; i <= 4; ++i)
            form("optVirtualButton", i).SetCaption(" " + TouchModeNames(static_cast<unsigned>(i)));
        const auto& block = panel.Channel().Block;
        state->Modes.Load(block.TouchMode);
        state->Rbf.Load(block.RightButton);
        RunHeaderSetup(form, panel);
    };
    WireCommit(form, {.Commit =
                          [&panel, state] {
                              auto& channel = panel.Channel();
                              channel.Block.TouchMode = static_cast<std::uint8_t>(state->Modes.Pending());
                              channel.Block.RightButton = static_cast<std::uint8_t>(state->Rbf.Pending());
                              channel.SetTouchMode();
                              // Every Apply with Enable starts it: a second copy hands over to the first.
                              if (state->Rbf.Pending() != 0)
                                  StartRbfProgram(panel.Ports().Process, panel.Oem().InstallPath);
                              else
                                  channel.CloseRbfWindow();
                              panel.ShowSummary(ControlPanel::Summary::VirtualButton);
                          },
                      .Closed = [&panel] { panel.ReturnToMainWindow(); }});
    return window;
}

}  // namespace px
