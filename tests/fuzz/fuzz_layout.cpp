// Window placement for any screen and window size, and the Support window for any bitmap.
#include <cmath>

#include "control_panel/support_window.hpp"
#include "fakes.hpp"
#include "fuzz_input.hpp"
#include "shared/about_window.hpp"
#include "shared/window_utils.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    px::fuzz::Input in(data, size);
    const double screenW = in.Take<std::int32_t>(), screenH = in.Take<std::int32_t>();
    const double windowW = in.Take<std::int32_t>(), windowH = in.Take<std::int32_t>();
    const auto place = px::CenterWindow(screenW, screenH, windowW, windowH);
    // Centred within a twip of rounding.
    FUZZ_CHECK(std::fabs(2.0 * place.Left + windowW - screenW) <= 4);

    const double big = in.Take<double>();
    if (std::isfinite(big)) (void)px::RoundHalfEven(big);  // saturates, never overflows

    px::fakes::FakePictures pictures;
    const int bmpW = in.Take<std::uint16_t>(), bmpH = in.Take<std::uint16_t>();
    pictures.Bitmaps["logo"] = {bmpW, bmpH};
    auto support = px::MakeSupportForm();
    bool returned = false;
    px::WireSupportWindow(
        support, [] { return std::string("caption"); }, [] { return std::string("logo"); }, pictures,
        [&] { returned = true; });
    support.Show();
    if (bmpW > 0 && bmpH > 0) {
        FUZZ_CHECK(support.ScaleWidth() == bmpW * 15.0);
        FUZZ_CHECK(support.ScaleHeight() == bmpH * 15.0 + 300 + support["cmdOK"].Height());
    }
    support.Unload();
    FUZZ_CHECK(returned);
    return 0;
}
