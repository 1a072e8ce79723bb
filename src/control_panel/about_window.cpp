#include "about_window.hpp"

#include "running_copy.hpp"
#include "window_header.hpp"
#include "window_utils.hpp"

namespace px {

using namespace forms;

Form MakeAboutForm() {
    return Form({.Name = "frmAbout", .Caption = " About", .ClientWidth = 6975, .ClientHeight = 2880,
                 .Border = BorderStyle::FixedDialog},
                {
                    VendorTitleLabel(480),
                    SystemLabel("System", 960, 4275),
                    {.Name = "lblCopyright", .Kind = ControlKind::Label, .Caption = "", .Left = 480, .Top = 1500,
                     .Width = 6135, .Height = 195, .ForeColor = Rgb(0, 0, 128), .TextFont = kBoldFont,
                     .Transparent = true},
                    IconFrame(5280, 360),
                    IconImage(),
                    {.Name = "cmdOK", .Kind = ControlKind::CommandButton, .Caption = "&OK", .Left = 2880, .Top = 2040,
                     .Width = 1215, .Height = 495, .Default = true},
                });
}

Form MakeSupportForm() {
    return Form({.Name = "frmSupport", .Caption = "Support", .ClientWidth = 1455, .ClientHeight = 1335,
                 .Border = BorderStyle::FixedDialog},
                {
                    {.Name = "picSupport", .Kind = ControlKind::PictureBox, .Left = 0, .Top = 60, .Width = 1215,
                     .Height = 540, .AutoSize = true},
                    {.Name = "cmdOK", .Kind = ControlKind::CommandButton, .Caption = "&OK", .Left = 120, .Top = 720,
                     .Width = 1215, .Height = 495, .Default = true},
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

void WireSupportWindow(Form& support, std::function<std::string()> caption, std::function<std::string()> logoPath,
                       PicturePort& pictures, std::function<void()> returnToMain) {
    support.Load = [&support, caption, logoPath, &pictures] {
        support.SetCaption(caption());
        auto& picture = support["picSupport"];
        auto& ok = support["cmdOK"];
        int w = 0, h = 0;
        const std::string path = logoPath();
        if (pictures.BitmapSize(path, w, h))
            picture.SetPicture(path, w * support.Screen().TwipsPerPixelX, h * support.Screen().TwipsPerPixelY);
        support.SetWidth(support.Width() - support.ScaleWidth() + picture.Width() + 2 * picture.Left());
        support.SetHeight(support.Height() - support.ScaleHeight() + picture.Height() + 5 * picture.Top() +
                          ok.Height());
        ok.SetTop(3 * picture.Top() + picture.Height());
        ok.SetLeft((support.ScaleWidth() - ok.Width()) / 2);
        CenterFormOnScreen(support);
    };
    support["cmdOK"].Click = [&support] { support.Unload(); };
    support.Unloading = [returnToMain](bool&) { returnToMain(); };
}

}  // namespace px
