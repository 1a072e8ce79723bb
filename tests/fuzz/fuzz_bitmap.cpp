// The vendor bitmap's headers, held against its length: any head and any file size.
#include <string_view>

#include "fuzz_input.hpp"
#include "shared/bitmap_file.hpp"

namespace {

unsigned Le(std::string_view b, std::size_t at, int n) {
    unsigned v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    px::fuzz::Input in(data, size);
    const auto fileSize = in.Take<std::uint64_t>();
    const std::string head = in.Rest();
    if (!px::BitmapFileHoldsItsPixels(head, fileSize)) return 0;

    FUZZ_CHECK(head.size() >= 18 && head[0] == 'B' && head[1] == 'M' && head.size() <= fileSize);
    // Uncompressed pixels accepted must fit the file, counted without any chance of wrapping.
    const unsigned info = Le(head, 14, 4);
    const bool core = info == 12;
    if (!core && (head.size() < 54 || (Le(head, 30, 4) != 0 && Le(head, 30, 4) != 3))) return 0;
    // Each branch cast on its own: a conditional would turn the signed height unsigned.
    const __int128 width = core ? static_cast<__int128>(Le(head, 18, 2)) : static_cast<std::int32_t>(Le(head, 18, 4));
    const __int128 height = core ? static_cast<__int128>(Le(head, 20, 2)) : static_cast<std::int32_t>(Le(head, 22, 4));
    const __int128 bits = Le(head, core ? 24 : 28, 2);
    const __int128 rows = height < 0 ? -height : height;
    FUZZ_CHECK(width > 0 && rows > 0);
    const __int128 pixels = (width * bits + 31) / 32 * 4 * rows;
    FUZZ_CHECK(pixels + 14 + info <= static_cast<__int128>(fileSize));
    return 0;
}
