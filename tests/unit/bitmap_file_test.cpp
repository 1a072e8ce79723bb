#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shared/bitmap_file.hpp"

namespace px {
namespace {

void Put(std::string& bytes, std::size_t at, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

struct Bmp {
    std::int32_t Width = 120, Height = 60;
    std::uint16_t BitCount = 24;
    std::uint32_t Compression = 0, ImageSize = 0, ColorsUsed = 0;
    std::uint32_t Palette = 0;  // colour-table entries written before the pixels

    // A whole file, pixels included, with the offset to them filled in.
    std::string File() const {
        const std::uint64_t rows = Height < 0 ? -static_cast<std::int64_t>(Height) : Height;
        const std::uint64_t pixels = Compression == 1 || Compression == 2
                                         ? ImageSize
                                         : (static_cast<std::uint64_t>(Width) * BitCount + 31) / 32 * 4 * rows;
        const std::uint32_t offset = 14 + 40 + Palette * 4;
        std::string bytes(offset + pixels, '\0');
        bytes[0] = 'B', bytes[1] = 'M';
        Put(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
        Put(bytes, 10, offset, 4);
        Put(bytes, 14, 40, 4);
        Put(bytes, 18, static_cast<std::uint32_t>(Width), 4);
        Put(bytes, 22, static_cast<std::uint32_t>(Height), 4);
        Put(bytes, 26, 1, 2);
        Put(bytes, 28, BitCount, 2);
        Put(bytes, 30, Compression, 4);
        Put(bytes, 34, ImageSize, 4);
        Put(bytes, 46, ColorsUsed, 4);
        return bytes;
    }
};

bool Holds(const std::string& file) {
    return BitmapFileHoldsItsPixels(std::string_view(file).substr(0, kBitmapHeadBytes), file.size());
}

struct Case {
    const char* Name;
    std::function<std::string()> File;
    bool Readable;
};

TEST(BitmapFile, ReadableOnlyWhenTheFileHoldsWhatItsHeadersPromise) {
    const std::string whole = Bmp{}.File();
    const Case cases[] = {
        {"24-bit bottom-up", [] { return Bmp{}.File(); }, true},
        {"top-down", [] { return Bmp{.Height = -60}.File(); }, true},
        {"8-bit with its colour table", [] { return Bmp{.BitCount = 8, .Palette = 256}.File(); }, true},
        {"1-bit, rows padded to four bytes", [] { return Bmp{.Width = 33, .Height = 3, .BitCount = 1, .Palette = 2}.File(); },
         true},
        {"run-length 8-bit within the file", [] { return Bmp{.BitCount = 8, .Compression = 1, .ImageSize = 300, .Palette = 256}.File(); },
         true},
        {"offset left out, pixels after the colour table",
         [] {
             auto f = Bmp{.BitCount = 8, .Palette = 256}.File();
             Put(f, 10, 0, 4);
             return f;
         },
         true},
        {"core header",
         [] {
             std::string f(14 + 12 + 3 * 4, '\0');  // 3 x 2 at 24 bits: two rows of 12 bytes
             f[0] = 'B', f[1] = 'M';
             Put(f, 10, 26, 4), Put(f, 14, 12, 4), Put(f, 18, 3, 2), Put(f, 20, 2, 2), Put(f, 22, 1, 2),
                 Put(f, 24, 24, 2);
             f.resize(26 + 24);
             return f;
         },
         true},
        {"zero bytes", [] { return std::string(); }, false},
        {"file header only", [whole] { return whole.substr(0, 14); }, false},
        {"headers only", [whole] { return whole.substr(0, 54); }, false},
        {"one byte short", [whole] { return whole.substr(0, whole.size() - 1); }, false},
        {"cut to half", [whole] { return whole.substr(0, whole.size() / 2); }, false},
        {"width claims more than the file holds",
         [whole] {
             auto f = whole;
             Put(f, 18, 30000, 4);
             return f;
         },
         false},
        {"height at the 32-bit limit",
         [whole] {
             auto f = whole;
             Put(f, 22, 0x7FFFFFFF, 4);
             return f;
         },
         false},
        {"height most negative",
         [whole] {
             auto f = whole;
             Put(f, 22, 0x80000000u, 4);
             return f;
         },
         false},
        {"offset past the end",
         [whole] {
             auto f = whole;
             Put(f, 10, static_cast<std::uint32_t>(f.size()), 4);
             return f;
         },
         false},
        {"offset inside the headers",
         [whole] {
             auto f = whole;
             Put(f, 10, 20, 4);
             return f;
         },
         false},
        {"no BM mark", [whole] { return "XY" + whole.substr(2); }, false},
        {"width 0", [] { return Bmp{.Width = 0}.File(); }, false},
        {"negative width",
         [whole] {
             auto f = whole;
             Put(f, 18, static_cast<std::uint32_t>(-120), 4);
             return f;
         },
         false},
        {"height 0", [] { return Bmp{.Height = 0}.File(); }, false},
        {"unknown depth", [] { return Bmp{.BitCount = 7}.File(); }, false},
        {"run length without its size", [] { return Bmp{.BitCount = 8, .Compression = 1, .Palette = 256}.File(); },
         false},
        {"run length claiming more than the file",
         [] {
             auto f = Bmp{.BitCount = 8, .Compression = 1, .ImageSize = 300, .Palette = 256}.File();
             Put(f, 34, 301, 4);
             return f;
         },
         false},
        {"PNG inside", [] { return Bmp{.Compression = 5, .ImageSize = 10}.File(); }, false},
        {"info header size unknown",
         [whole] {
             auto f = whole;
             Put(f, 14, 20, 4);
             return f;
         },
         false},
        {"text file", [] { return std::string("[SETUP]\r\nTITLE=Not a picture\r\n"); }, false},
    };
    for (const auto& c : cases) EXPECT_EQ(Holds(c.File()), c.Readable) << c.Name;
}

TEST(BitmapFile, HeadLongerThanTheFileIsRefused) {
    const std::string file = Bmp{}.File();
    EXPECT_FALSE(BitmapFileHoldsItsPixels(file, file.size() - 1));
}

// Loaded in every session: a picture beyond the limits is refused like a damaged one.
TEST(BitmapFile, VendorBitmapWithinTheLimitsOnly) {
    const auto acceptable = [](const std::string& file) {
        return VendorBitmapAcceptable(std::string_view(file).substr(0, kBitmapHeadBytes), file.size());
    };
    EXPECT_TRUE(acceptable(Bmp{.Width = 2048, .Height = -2048, .BitCount = 1}.File()));
    EXPECT_FALSE(acceptable(Bmp{.Width = 2049, .Height = 8, .BitCount = 1}.File()));
    EXPECT_FALSE(acceptable(Bmp{.Width = 8, .Height = -2049, .BitCount = 1}.File()));
    // Run-length pixels: a small file may still claim a huge picture.
    EXPECT_FALSE(acceptable(Bmp{.Width = 30000, .Height = 30000, .BitCount = 8, .Compression = 1, .ImageSize = 64}.File()));
    EXPECT_FALSE(acceptable(Bmp{.Width = 1400, .Height = 1000, .BitCount = 24}.File()));  // 4.2 MB
}

}  // namespace
}  // namespace px
