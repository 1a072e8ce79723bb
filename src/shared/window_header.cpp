#include "shared/window_header.hpp"

#include "shared/window_utils.hpp"

namespace px {

using namespace forms;

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

}  // namespace px
