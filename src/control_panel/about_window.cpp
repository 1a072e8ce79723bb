#include "about_window.hpp"

#include "running_copy.hpp"
#include "window_utils.hpp"

namespace px {

using namespace forms;

namespace {
const Font kTitleFont{"Times New Roman", 18, true, false};
const Font kBoldFont{"MS Sans Serif", 8.25, true, false};
}  // namespace

Form MakeAboutForm() {
    return Form({.Name = "frmAbout", .Caption = " About", .ClientWidth = 6975, .ClientHeight = 2880,
                 .Border = BorderStyle::FixedDialog},
                {
                    {.Name = "lblOemTitle", .Kind = ControlKind::Label, .Caption = "Vender", .Left = 480, .Top = 480,
                     .Width = 3570, .Height = 390, .ForeColor = Rgb(255, 0, 0), .TextFont = kTitleFont,
                     .Transparent = true, .AutoSize = true},
                    {.Name = "lblSystem", .Kind = ControlKind::Label, .Caption = "System", .Left = 480, .Top = 960,
                     .Width = 4275, .Height = 195, .ForeColor = Rgb(0, 0, 255), .TextFont = kBoldFont,
                     .Transparent = true, .AutoSize = true},
                    {.Name = "lblCopyright", .Kind = ControlKind::Label, .Caption = "", .Left = 480, .Top = 1500,
                     .Width = 6135, .Height = 195, .ForeColor = Rgb(0, 0, 128), .TextFont = kBoldFont,
                     .Transparent = true},
                    {.Name = "picIcon", .Kind = ControlKind::PictureBox, .Left = 5280, .Top = 360, .Width = 780,
                     .Height = 780, .Border = true},
                    {.Name = "imgIcon", .Kind = ControlKind::Image, .Width = 480, .Height = 480,
                     .Container = "picIcon", .Picture = "IDI_PRODUCT"},
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

double PictureInnerWidth(const Control& picture, const ScreenMetrics& screen) {
    return picture.Width() - 4 * screen.TwipsPerPixelX;
}
double PictureInnerHeight(const Control& picture, const ScreenMetrics& screen) {
    return picture.Height() - 4 * screen.TwipsPerPixelY;
}

void CenterIconIn(Form& form) {
    auto& frame = form["picIcon"];
    auto& icon = form["imgIcon"];
    const auto p = CenterIcon(PictureInnerWidth(frame, form.Screen()), PictureInnerHeight(frame, form.Screen()),
                              icon.Width(), icon.Height());
    icon.Move(p.Left, p.Top, icon.Width(), icon.Height());
}

void CenterFormOnScreen(Form& form) {
    const auto p = CenterWindow(form.Screen().Width, form.Screen().Height, form.Width(), form.Height());
    form.Move(p.Left, p.Top, form.Width(), form.Height());
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
