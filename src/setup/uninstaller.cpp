#include "setup/uninstaller.hpp"

#include "shared/pause.hpp"
#include "shared/setup_exit_codes.hpp"
#include "shared/window_header.hpp"
#include "shared/window_utils.hpp"

namespace px {

using namespace forms;

namespace {
// "\" of the layout rules: both sides whole numbers first, then division toward zero.
long Halve(double value) { return RoundHalfEven(value) / 2; }
}  // namespace

Form MakeRemovalForm() {
    return Form({.Name = "frmMain", .Caption = "TouchScreen Software  Removal", .ClientWidth = 6975,
                 .ClientHeight = 3720, .Border = BorderStyle::FixedSingle, .Icon = "IDI_PRODUCT"},
                {
                    VendorTitleLabel(480),
                    SystemLabel("TouchScreen Software Removal Version ", 960, 3600),
                    IconFrame(5280, 360),
                    IconImage(),
                    {.Name = "imgRemoval", .Kind = ControlKind::Image, .Left = 480, .Top = 1500, .Width = 480,
                     .Height = 480, .Picture = "IDI_REMOVAL"},
                    {.Name = "lblText", .Kind = ControlKind::Label,
                     .Caption = "If Removal is complete, TouchScreen will not work next time when you start Windows!",
                     .Left = 1200, .Top = 1500, .Width = 5295, .Height = 390, .ForeColor = kBlack,
                     .Transparent = true},
                    {.Name = "lblAsk", .Kind = ControlKind::Label,
                     .Caption = "Are you sure you want to remove TouchScreen Driver now?", .Left = 1200, .Top = 2040,
                     .Width = 5295, .Height = 390, .ForeColor = kBlack, .TextFont = kBoldFont,
                     .Transparent = true},
                    {.Name = "shpRemoval", .Kind = ControlKind::Shape, .Left = 480, .Top = 2580, .Width = 6015,
                     .Height = 30, .ForeColor = SystemColor(16), .BackColor = kLightGrey},
                    // No first: the first stop takes the focus, so one Enter removes nothing.
                    {.Name = "cmdNo", .Kind = ControlKind::CommandButton, .Caption = "&No", .Left = 3960, .Top = 3000,
                     .Width = 1215, .Height = 435, .Default = true, .Cancel = true},
                    {.Name = "cmdYes", .Kind = ControlKind::CommandButton, .Caption = "&Yes", .Left = 1800,
                     .Top = 3000, .Width = 1215, .Height = 435},
                });
}

std::string RemovalCommandLine(const std::string& installPath) {
    return "\"" + installPath + "\\unins000.exe\" /SILENT";
}

Uninstaller::Uninstaller(SuitePorts ports, SetupPorts setup)
    : ports_(ports),
      setup_(setup),
      channel_(ports.Device, ports.Ui, ports.Process, ports.Windows),
      oem_(ports.Registry),
      main_(MakeRemovalForm()),
      message_(MakeMessageForm()) {
    main_.Load = [this] { LoadMain(); };
    main_["cmdNo"].Click = [this] {
        main_.Unload();
        End();
    };
    main_["cmdYes"].Click = [this] { Remove(); };
}

void Uninstaller::Start() { main_.Show(); }

void Uninstaller::End() { ports_.Process.EndProgram(0); }

void Uninstaller::LoadMain() {
    main_.SetCaption(kRemovalTitle);
    auto& system = main_["lblSystem"];
    system.SetCaption(system.Caption() + kVersionSuffix);
    main_.SetPointer(MousePointer::Hourglass);
    const bool loaded = oem_.LoadOemData();
    main_.SetPointer(MousePointer::Default);
    if (!loaded) {
        ports_.Ui.ShowMessageBox(kOemLoadFailureText, main_.Caption(), kBoxOk);
        End();
        return;
    }
    main_["lblOemTitle"].SetCaption(oem_.VenderName);
    main_["lblAsk"].SetCaption(std::string("Are you sure you want to completely remove ") + kRemovalProduct +
                               " and all of its components?");
    Layout();
    CenterFormOnScreen(main_);
    CenterIconIn(main_);
}

void Uninstaller::Layout() {
    auto& yes = main_["cmdYes"];
    auto& no = main_["cmdNo"];
    auto& shape = main_["shpRemoval"];
    const double wanted =
        RoundHalfEven(2 * yes.Width() + setup_.Text.TextWidthTwips(main_.Caption(), Font{}));
    if (wanted > main_.Width()) main_.SetWidth(wanted);
    shape.SetLeft(Halve(main_.ScaleWidth() - shape.Width()));
    yes.SetLeft(Halve(main_.ScaleWidth() - 1.5 * yes.Width() - no.Width()));
    no.SetLeft(RoundHalfEven(yes.Left() + 1.5 * yes.Width()));

    const double x = shape.Left() - 50;
    const double y = yes.Top() - Halve(no.Height());
    const double length = shape.Width() + 100;
    main_.DrawWidth = 1;
    main_.Line(x, y, x + length, y, SystemColor(16));
    main_.Line(x + length + 5, y + 20, x - 5, y + 20, SystemColor(20));
}

void Uninstaller::Fail(const std::string& reason) {
    ports_.Ui.ShowMessageBox("Fail to remove files! (" + reason + ")", kRemovalTitle, kRemovalFailureStyle);
}

bool Uninstaller::RunRemovalProgram() {
    const std::uint32_t id = setup_.Removal.StartProcess(RemovalCommandLine(oem_.InstallPath), kShowNormal);
    const ProcessHandle process = id != 0 ? setup_.Removal.OpenProcess(id) : 0;
    if (process == 0) {
        Fail("Startup");
        return false;
    }
    bool ended = false;
    for (int round = 0; round < 10;) {
        ports_.Events.DoEvents();
        const std::uint32_t result = setup_.Removal.Wait(process, 1000);
        if (result == kWaitObject0) {
            // Ended is not removed: a removal that failed must not be followed by "complete".
            const std::uint32_t code = setup_.Removal.ExitCode(process);
            ended = RemovalSucceeded(code);
            if (!ended) Fail("ExitCode=" + std::to_string(code));
            break;
        }
        if (result == kWaitFailed) {
            Fail("WAIT_FAILED");
            break;
        }
        if (result == kWaitAbandoned) {
            Fail("WAIT_ABANDONED");
            break;
        }
        if (++round == 10) Fail("WAIT_TIMEOUT");
    }
    setup_.Removal.CloseProcess(process);
    return ended;
}

void Uninstaller::Remove() {
    main_.Hide();
    // Held until the program ends; the removal program it starts works under it.
    if (!setup_.Removal.LockInstallation()) {
        Fail("Setup running");
        End();
        return;
    }
    if (channel_.OpenDriver(OpenForm::Silent)) {
        channel_.CloseRbfWindow();
        channel_.CloseDriver();
    }
    ShowProgress(message_, kRemovalTitle, "Removing files from your system...");
    if (!RunRemovalProgram()) {
        End();
        return;
    }
    setup_.Removal.MoveFileEx(oem_.WindowsPath + "\\PXWNTCde.exe", kMoveFileDelayUntilReboot);
    Pause(ports_.Events, ports_.Clock, 10);
    message_.Unload();
    ports_.Ui.ShowMessageBox(kRemovalCompleteText, kRemovalTitle, kRemovalCompleteStyle);
    RestartSystem(setup_.Restart, ports_.Ui, kRemovalTitle);
    End();
}

}  // namespace px
