#include "shared/bitmap_file.hpp"

namespace px {

namespace {

constexpr std::uint64_t kFileHeader = 14;
constexpr std::uint32_t kCoreHeader = 12;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

std::uint32_t Le(std::string_view bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}
std::uint32_t U16(std::string_view bytes, std::size_t at) { return Le(bytes, at, 2); }
std::uint32_t U32(std::string_view bytes, std::size_t at) { return Le(bytes, at, 4); }
std::int64_t I32(std::string_view bytes, std::size_t at) { return static_cast<std::int32_t>(U32(bytes, at)); }

}  // namespace

bool BitmapFileHoldsItsPixels(std::string_view head, std::uint64_t fileSize) {
    if (head.size() < kFileHeader + 4 || head.size() > fileSize || head[0] != 'B' || head[1] != 'M') return false;
    const std::uint32_t infoSize = U32(head, 14);
    std::int64_t width = 0, height = 0;
    std::uint32_t planes = 0, bitCount = 0, compression = kBiRgb, imageSize = 0, colorsUsed = 0;
    if (infoSize == kCoreHeader && head.size() >= kFileHeader + kCoreHeader) {
        width = U16(head, 18), height = U16(head, 20), planes = U16(head, 22), bitCount = U16(head, 24);
    } else if (infoSize >= kInfoHeader && infoSize <= kBitmapHeadBytes - kFileHeader &&
               head.size() >= kFileHeader + kInfoHeader) {
        width = I32(head, 18), height = I32(head, 22), planes = U16(head, 26), bitCount = U16(head, 28);
        compression = U32(head, 30), imageSize = U32(head, 34), colorsUsed = U32(head, 46);
    } else {
        return false;
    }
    if (planes != 1 || width <= 0 || height == 0) return false;
    const std::uint64_t rows = height < 0 ? -height : height;

    std::uint64_t pixelBytes = 0;
    if (compression == kBiRgb || compression == kBiBitfields) {
        const bool depthKnown = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                                bitCount == 24 || bitCount == 32;
        if (!depthKnown || (compression == kBiBitfields && bitCount != 16 && bitCount != 32)) return false;
        pixelBytes = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4 * rows;
    } else if (compression == kBiRle8 || compression == kBiRle4) {
        // Run-length pixels have no fixed size: the header's own count is all there is to check.
        if (bitCount != (compression == kBiRle8 ? 8u : 4u) || height < 0 || imageSize == 0) return false;
        pixelBytes = imageSize;
    } else {
        return false;  // a JPEG or PNG wrapped in a .bmp is not a picture a window can show
    }

    std::uint64_t offset = U32(head, 10);
    if (offset == 0) {
        // Some writers leave the offset out: the pixels then follow the colour table.
        const std::uint64_t entries = colorsUsed ? colorsUsed : bitCount <= 8 ? 1u << bitCount : 0;
        offset = kFileHeader + infoSize + entries * (infoSize == kCoreHeader ? 3 : 4) +
                 (infoSize == kInfoHeader && compression == kBiBitfields ? 12 : 0);
    }
    return offset >= kFileHeader + infoSize && offset + pixelBytes <= fileSize;
}

bool VendorBitmapAcceptable(std::string_view head, std::uint64_t fileSize) {
    if (fileSize > kVendorBitmapMaxBytes || !BitmapFileHoldsItsPixels(head, fileSize)) return false;
    const bool core = U32(head, 14) == kCoreHeader;
    const std::int64_t width = core ? U16(head, 18) : I32(head, 18);
    const std::int64_t height = core ? U16(head, 20) : I32(head, 22);
    return width <= kVendorBitmapMaxSide && height <= kVendorBitmapMaxSide && -height <= kVendorBitmapMaxSide;
}

}  // namespace px
