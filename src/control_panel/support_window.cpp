#include "control_panel/support_window.hpp"

#include "shared/window_header.hpp"

namespace px {

using namespace forms;

Form MakeSupportForm() {
    return Form({.Name = "frmSupport", .Caption = "Support", .ClientWidth = 1455, .ClientHeight = 1335,
                 .Border = BorderStyle::FixedDialog},
                {
                    {.Name = "picSupport", .Kind = ControlKind::PictureBox, .Left = 0, .Top = 60, .Width = 1215,
                     .Height = 540, .AutoSize = true},
                    {.Name = "cmdOK", .Kind = ControlKind::CommandButton, .Caption = "&OK", .Left = 120, .Top = 720,
                     .Width = 1215, .Height = 495, .Default = true,
                     .Cancel = true},  // the only button: Escape closes as OK does
                });
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
