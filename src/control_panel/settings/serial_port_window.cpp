// frmSerialPort (the four COM ports the driver reports, the one in use marked) and frmCOMxSet
// (an IRQ for each of them), opened from the former's hidden Setup button.
#include <memory>

#include "control_panel/settings/settings_pattern.hpp"
#include "control_panel/settings/settings_windows.hpp"
#include "shared/summaries.hpp"
#include "shared/window_header.hpp"

namespace px {

using namespace forms;
using namespace settings;

namespace {

constexpr char kSetupCaption[] = " COM Port Configuration";
constexpr char kNoteText[] =
    "Incorrect change to the following Setting could prevent the TouchScreen from operation or operation "
    "correctly.";
const char* const kIrqChoices[] = {"3", "4", "5", "7", "10", "11"};

std::unique_ptr<Form> SerialPortForm() {
    std::vector<ControlDecl> controls = HeaderControls();
    controls.push_back(FrameDecl("fraSerialPort", "  Serial Port Information  ", 480, kBodyTop, 5685, 1560));
    const char* const design[] = {"COM1, Port=03F8h, IRQ=4", "COM2, Port=02F8h, IRQ=3", "COM3, Port=03E8h, IRQ=11",
                                  "COM4, Port=02E8h, IRQ=10"};
    for (int n = 1; n <= 4; ++n) {
        const double top = 300 + (n - 1) * 300;
        controls.push_back({.Name = "optDetected", .Index = n, .Kind = ControlKind::OptionButton, .Left = 360,
                            .Top = top, .Width = 255, .Height = 255, .Enabled = false, .Container = "fraSerialPort"});
        controls.push_back({.Name = "lblCOM", .Index = n, .Kind = ControlKind::Label, .Caption = design[n - 1],
                            .Left = 720, .Top = top + 30, .Width = 4695, .Height = 195, .ForeColor = kGrey,
                            .Container = "fraSerialPort"});
    }
    controls.push_back({.Name = "cmdOK", .Kind = ControlKind::CommandButton, .Caption = "&OK", .Left = 2535,
                        .Top = 3360, .Width = 1575, .Height = 435, .Default = true, .Cancel = true});
    controls.push_back({.Name = "cmdSetup", .Kind = ControlKind::CommandButton, .Caption = "&Setup", .Left = 4350,
                        .Top = 3360, .Width = 1575, .Height = 435, .Visible = false, .Enabled = false});
    return SettingsForm("frmSerialPort", "Serial Port", 4095, std::move(controls));
}

std::unique_ptr<Form> ComPortSetupForm() {
    std::vector<ControlDecl> controls = HeaderControls();
    // The only settings window whose heading has no frame around it.
    std::erase_if(controls, [](const ControlDecl& c) { return c.Name == "shpHeader"; });
    const char* frame = "fraCOMxSet";
    controls.push_back(FrameDecl(frame, "", 240, 1380, kFormWidth - 480, 3060));
    controls.push_back({.Name = "imgCaution", .Kind = ControlKind::Image, .Left = 240, .Top = 240, .Width = 480,
                        .Height = 480, .Container = frame, .Picture = "IDI_WARNING"});
    controls.push_back({.Name = "lblCaution", .Kind = ControlKind::Label, .Caption = "CAUTION:", .Left = 900,
                        .Top = 240, .Width = 1200, .Height = 195, .ForeColor = kRed, .TextFont = kBoldFont,
                        .Container = frame});
    controls.push_back({.Name = "lblNote", .Kind = ControlKind::Label, .Caption = kNoteText, .Left = 900,
                        .Top = 480, .Width = 4935, .Height = 390, .ForeColor = kRed, .Container = frame});
    for (int n = 1; n <= 4; ++n) {
        const double top = 1020 + (n - 1) * 480;
        const std::string com = "COM" + std::to_string(n) + ":";
        controls.push_back({.Name = "lblCOM", .Index = n, .Kind = ControlKind::Label, .Caption = com, .Left = 240,
                            .Top = top + 60, .Width = 615, .Height = 195, .Container = frame});
        controls.push_back({.Name = "lblPortName", .Index = n, .Kind = ControlKind::Label, .Caption = "PORT",
                            .Left = 1020, .Top = top + 60, .Width = 495, .Height = 195, .Container = frame});
        controls.push_back({.Name = "cboPort", .Index = n, .Kind = ControlKind::ComboBox, .Left = 1560, .Top = top,
                            .Width = 1575, .Height = 315, .BackColor = kGrey, .Enabled = false,
                            .Container = frame});
        controls.push_back({.Name = "lblIRQ", .Index = n, .Kind = ControlKind::Label, .Caption = "IRQ",
                            .Left = 3480, .Top = top + 60, .Width = 375, .Height = 195, .Container = frame});
        controls.push_back({.Name = "cboIRQ", .Index = n, .Kind = ControlKind::ComboBox, .Left = 3960, .Top = top,
                            .Width = 1095, .Height = 315, .BackColor = kWindowBackground, .Container = frame});
    }
    const double width = 1575, gap = 240, left = (kFormWidth - 3 * width - 2 * gap) / 2, top = 4620;
    controls.push_back({.Name = "cmdOK", .Kind = ControlKind::CommandButton, .Caption = "&OK", .Left = left,
                        .Top = top, .Width = width, .Height = 435, .Default = true});
    controls.push_back({.Name = "cmdSave", .Kind = ControlKind::CommandButton, .Caption = "&Save",
                        .Left = left + width + gap, .Top = top, .Width = width, .Height = 435, .Enabled = false});
    controls.push_back({.Name = "cmdCancel", .Kind = ControlKind::CommandButton, .Caption = "&Cancel",
                        .Left = left + 2 * (width + gap), .Top = top, .Width = width, .Height = 435,
                        .Cancel = true});
    return SettingsForm("frmCOMxSet", kSetupCaption, 5355, std::move(controls));
}

void ShowPortRows(Form& window, const DriverParameterBlock& block) {
    for (int n = 1; n <= 4; ++n) {
        const auto& entry = block.ComTable[n - 1];
        auto& line = window("lblCOM", n);
        line.SetCaption(PortLineText(static_cast<unsigned>(n), entry.IoAddress, entry.Irq));
        const bool inUse = block.ComPort == n;
        line.SetForeColor(inUse ? kBlack : kGrey);
        auto& option = window("optDetected", n);
        option.SetEnabled(inUse);
        if (inUse) option.SetValue(1);
    }
}

// The IRQ a row stands for: the chosen item, or the driver's own value while nothing is chosen
// (an IRQ that is not one of the six choices is kept, never replaced by 0).
int RowIrq(Form& window, const DriverParameterBlock& block, int n) {
    auto& box = window("cboIRQ", n);
    if (box.ListIndex() < 0) return block.ComTable[n - 1].Irq;
    return std::stoi(box.List()[static_cast<std::size_t>(box.ListIndex())]);
}

}  // namespace

std::unique_ptr<Form> MakeSerialPortWindow(ControlPanel& panel) {
    auto window = SerialPortForm();
    Form& form = *window;
    form.Load = [&form, &panel] { RunHeaderSetup(form, panel); };
    form.Activated = [&form, &panel] { ShowPortRows(form, panel.Channel().Block); };
    form["cmdOK"].Click = [&form] { form.Unload(); };
    form["cmdSetup"].Click = [&form, &panel] {
        form.SetPointer(MousePointer::Hourglass);
        if (Form* setup = panel.Window("frmCOMxSet")) {
            setup->Show();
            form.Hide();
        }
        form.SetPointer(MousePointer::Default);
    };
    form.Unloading = [&panel](bool&) { panel.ReturnToMainWindow(); };
    return window;
}

std::unique_ptr<Form> MakeComPortSetupWindow(ControlPanel& panel) {
    auto window = ComPortSetupForm();
    Form& form = *window;
    auto saveState = [&form, &panel] {
        const auto& block = panel.Channel().Block;
        bool differs = false;
        for (int n = 1; n <= 4; ++n) differs |= RowIrq(form, block, n) != block.ComTable[n - 1].Irq;
        SetCommitState(form, differs, "cmdSave");
    };
    for (int n = 1; n <= 4; ++n) form("cboIRQ", n).Click = saveState;
    form.Load = [&form, &panel] {
        const auto& block = panel.Channel().Block;
        for (int n = 1; n <= 4; ++n) {
            auto& port = form("cboPort", n);
            for (const auto& entry : block.ComTable) port.AddItem(Hex4(entry.IoAddress));
            port.SetListIndex(n - 1);
            auto& irq = form("cboIRQ", n);
            for (const char* choice : kIrqChoices) irq.AddItem(choice);
        }
        for (int n = 1; n <= 4; ++n) {
            auto& irq = form("cboIRQ", n);
            const std::string stored = std::to_string(block.ComTable[n - 1].Irq);
            for (std::size_t i = 0; i < irq.List().size(); ++i)
                if (irq.List()[i] == stored) {
                    irq.SetListIndex(static_cast<int>(i));
                    break;
                }
        }
        RunHeaderSetup(form, panel, false);
    };
    WireCommit(form, {.CommitButton = "cmdSave",
                      .CancelButton = "cmdCancel",
                      .Commit =
                          [&form, &panel] {
                              auto& channel = panel.Channel();
                              for (int n = 1; n <= 4; ++n)
                                  channel.Block.ComTable[n - 1].Irq =
                                      static_cast<std::uint8_t>(RowIrq(form, channel.Block, n));
                              channel.SetPortIrqs();
                          },
                      .Closed =
                          [&panel] {
                              if (Form* serial = panel.Window("frmSerialPort")) serial->Show();
                          }});
    return window;
}

}  // namespace px
