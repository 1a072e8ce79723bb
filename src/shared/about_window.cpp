#include "shared/about_window.hpp"

#include "shared/running_copy.hpp"
#include "shared/window_header.hpp"
#include "shared/window_utils.hpp"

namespace px {

using namespace forms;

Form MakeAboutForm() {
    return Form({.Name = "frmAbout", .Caption = " About", .ClientWidth = 6975, .ClientHeight = 2880,
                 .Border = BorderStyle::FixedDialog},
                {
                    VendorTitleLabel(480),
                    SystemLabel("System", 960, 4275),
                    {.Name = "lblCopyright", .Kind = ControlKind::Label, .Caption = "", .Left = 480, .Top = 1500,
                     .Width = 6135, .Height = 195, .ForeColor = kNavy, .TextFont = kBoldFont,
                     .Transparent = true},
                    IconFrame(5280, 360),
                    IconImage(),
                    {.Name = "cmdOK", .Kind = ControlKind::CommandButton, .Caption = "&OK", .Left = 2880, .Top = 2040,
                     .Width = 1215, .Height = 495, .Default = true,
                     .Cancel = true},  // the only button: Escape closes as OK does
                });
}

bool PassStartChecks(Form& main, WindowSearchPort& search, UiPort& ui, OemRecord& oem) {
    if (search.PreviousInstance()) {
        const WindowHandle running = FindRunningCopy(search, main.NativeHandle, main.Caption());
        if (running != 0)
            search.BringToFront(running);
        else
            ShowErrorBox(ui, kRunningText, main.Caption());
        return false;
    }
    main.SetPointer(MousePointer::Hourglass);
    const bool oemLoaded = oem.LoadOemData();
    main.SetPointer(MousePointer::Default);
    if (!oemLoaded) {
        ShowErrorBox(ui, kOemLoadFailureText, main.Caption());
        return false;
    }
    return true;
}

bool LoadMainHeading(Form& main, const char* title, WindowSearchPort& search, UiPort& ui, OemRecord& oem) {
    main.SetCaption(title);
    auto& system = main["lblSystem"];
    system.SetCaption(system.Caption() + kVersionSuffix);
    if (!PassStartChecks(main, search, ui, oem)) return false;
    main["lblOemTitle"].SetCaption(oem.VenderName);
    return true;
}

void WireAboutWindow(Form& about, std::function<WindowHeader()> header, std::function<void()> returnToMain) {
    about.Load = [&about, header] {
        const auto h = header();
        about["lblOemTitle"].SetCaption(h.OemTitle);
        about["lblSystem"].SetCaption(h.System);
        about["lblCopyright"].SetCaption(kCopyrightLine);
        CenterFormOnScreen(about);
        CenterIconIn(about);
    };
    about["cmdOK"].Click = [&about] { about.Unload(); };
    about.Unloading = [returnToMain](bool&) { returnToMain(); };
}

}  // namespace px
