#include "control_panel/mcu_info.hpp"

#include <cstdio>

#include "control_panel/main_window.hpp"
#include "shared/summaries.hpp"
#include "shared/window_header.hpp"

namespace px {

using namespace forms;

namespace {
const Font kLineFont{"MS Sans Serif", 9.75, true, false};
}  // namespace

std::string McuVersionText(std::uint8_t version) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%X", version);
    // The digits stop at the first letter: 0x4A is 4, 0xA0 is 0.
    int v = 0;
    for (const char* c = hex; *c >= '0' && *c <= '9'; ++c) v = v * 10 + (*c - '0');
    return "MCU-Version=" + std::to_string(v / 10) + "." + std::to_string(v % 10);
}

std::string McuInfoLine(const DriverParameterBlock& block) {
    std::string code;
    for (std::uint8_t b : block.McuCode) code += Hex2(b);
    return "MCU-Mode=" + Hex2(block.McuMode) + "  " + McuVersionText(block.McuVersion) + "  MCU-Code=" + code;
}

std::unique_ptr<Form> MakeMcuInfoForm() {
    return std::make_unique<Form>(FormDecl{.Name = "frmMcuInfo", .Caption = " MCU Information", .ClientWidth = 6975, .ClientHeight = 2880,
                 .Border = BorderStyle::FixedDialog},
                std::vector<ControlDecl>{
                    IconFrame(5280, 360),
                    IconImage(),
                    VendorTitleLabel(480),
                    SystemLabel("System", 960, 4275),
                    {.Name = "lblMcuInfo", .Kind = ControlKind::Label, .Caption = "", .Left = 480, .Top = 1500,
                     .Width = 5745, .Height = 240, .ForeColor = kDarkGreen, .TextFont = kLineFont,
                     .Transparent = true},
                    {.Name = "cmdOK", .Kind = ControlKind::CommandButton, .Caption = "&OK", .Left = 2880, .Top = 2040,
                     .Width = 1215, .Height = 495, .Default = true,
                     .Cancel = true},  // the only button: Escape closes as OK does
                });
}

void InstallMcuInfoWindow(ControlPanel& panel) {
    Form& info = panel.AddWindow(MakeMcuInfoForm());
    info.Load = [&info, &panel] {
        const auto header = panel.Header();
        info["lblOemTitle"].SetCaption(header.OemTitle);
        info["lblSystem"].SetCaption(header.System);
        info["lblMcuInfo"].SetCaption(McuInfoLine(panel.Channel().Block));
        CenterFormOnScreen(info);
        CenterIconIn(info);
    };
    info["cmdOK"].Click = [&info] { info.Unload(); };
    info.Unloading = [&panel](bool&) { panel.ReturnToMainWindow(); };
}

}  // namespace px
