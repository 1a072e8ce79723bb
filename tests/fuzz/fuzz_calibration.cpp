// The edge computation over the whole 16-bit range of captures and screen sizes.
#include <array>

#include "control_panel/calibration.hpp"
#include "fuzz_input.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    px::fuzz::Input in(data, size);
    std::array<px::RawPoint, 4> captures{};
    for (auto& p : captures) {
        p.X = in.Take<std::int16_t>();
        p.Y = in.Take<std::int16_t>();
    }
    const int width = in.Take<std::int16_t>();
    const int height = in.Take<std::int16_t>();
    const auto edges = px::ComputeCalibration(captures, width, height);
    const int longSide = width > height ? width : height;
    const int shortSide = width > height ? height : width;
    // Nothing to scale by on a screen of 32 pixels or less; otherwise only the outer sides clip.
    FUZZ_CHECK(edges.has_value() == (shortSide > 2 * px::kTargetInset && longSide > 2 * px::kTargetInset));
    if (edges) FUZZ_CHECK(edges->XMin >= 0 && edges->YMin >= 0 && edges->XMax <= 1023 && edges->YMax <= 1023);
    return 0;
}
