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

}  // namespace px
