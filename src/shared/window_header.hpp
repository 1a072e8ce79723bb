// The heading every window of the suite carries: the vendor's name in red, the program's line in
// blue, and the product icon in a framed box. Each form still lists them in its own order.
// Also where such a window and its icon are placed.
#pragma once

#include "forms/form.hpp"

namespace px {

// Ends the program's line in every main window.
inline constexpr char kVersionSuffix[] = "K306.COM";

inline const forms::Font kVendorTitleFont{"Times New Roman", 18, true, false};
inline const forms::Font kBoldFont{"MS Sans Serif", 8.25, true, false};

// Sized to its text: a long vendor name must not be cut off.
inline forms::ControlDecl VendorTitleLabel(double top) {
    return {.Name = "lblOemTitle", .Kind = forms::ControlKind::Label, .Caption = "Vender", .Left = 480, .Top = top,
            .Width = 3570, .Height = 390, .ForeColor = forms::kRed, .TextFont = kVendorTitleFont,
            .Transparent = true, .AutoSize = true};
}

inline forms::ControlDecl SystemLabel(const char* caption, double top, double width) {
    return {.Name = "lblSystem", .Kind = forms::ControlKind::Label, .Caption = caption, .Left = 480, .Top = top,
            .Width = width, .Height = 195, .ForeColor = forms::kBlue, .TextFont = kBoldFont,
            .Transparent = true, .AutoSize = true};
}

inline forms::ControlDecl IconFrame(double left, double top) {
    return {.Name = "picIcon", .Kind = forms::ControlKind::PictureBox, .Left = left, .Top = top, .Width = 780,
            .Height = 780, .Border = true};
}

inline forms::ControlDecl IconImage() {
    return {.Name = "imgIcon", .Kind = forms::ControlKind::Image, .Width = 480, .Height = 480,
            .Container = "picIcon", .Picture = "IDI_PRODUCT"};
}

// The inner size of a picture frame: its 3-D border takes two pixels on each side.
double PictureInnerWidth(const forms::Control& picture, const forms::ScreenMetrics& screen);
double PictureInnerHeight(const forms::Control& picture, const forms::ScreenMetrics& screen);
// The icon in the middle of its frame.
void CenterIconIn(forms::Form& form);
void CenterFormOnScreen(forms::Form& form);

}  // namespace px
