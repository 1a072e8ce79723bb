// The promises a bitmap file's headers make, held against the file's length before a loader
// trusts them: a vendor logo cut short or with a damaged header must read as no picture at all,
// not as a black box or a window thousands of pixels wide.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace px {

// File header and the largest info header; pass this much of the file, or all of a shorter one.
inline constexpr std::size_t kBitmapHeadBytes = 14 + 124;

// True when head (the file's first bytes) describes a picture of positive size whose pixels
// all lie within fileSize bytes.
bool BitmapFileHoldsItsPixels(std::string_view head, std::uint64_t fileSize);

// A vendor's bitmap is loaded in every session of every user: beyond these it is refused like a
// damaged one, by the package and by the control panel alike.
inline constexpr std::uint64_t kVendorBitmapMaxBytes = 4u << 20;
inline constexpr std::int64_t kVendorBitmapMaxSide = 2048;  // pixels, width and height
bool VendorBitmapAcceptable(std::string_view head, std::uint64_t fileSize);

}  // namespace px
