#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "scene/frame_buffer.h"
#include "scene/picture_decoder.h"

namespace wendrel {
namespace {

void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<std::uint8_t>(x >> (8 * i));
}

// A packed DIB of the given geometry with every pixel byte zero.
std::vector<std::uint8_t> MakeDib(std::int32_t w, std::int32_t h, int bits, std::uint32_t colours) {
    const std::size_t stride = ((static_cast<std::size_t>(w) * bits + 31) / 32) * 4;
    const std::size_t rows = static_cast<std::size_t>(h < 0 ? -h : h);
    std::vector<std::uint8_t> dib(40 + colours * 4 + stride * rows, 0);
    Put32(dib, 0, 40);
    Put32(dib, 4, static_cast<std::uint32_t>(w));
    Put32(dib, 8, static_cast<std::uint32_t>(h));
    dib[12] = 1;
    dib[14] = static_cast<std::uint8_t>(bits);
    Put32(dib, 32, colours);
    return dib;
}

std::vector<std::uint8_t> AsBmpFile(const std::vector<std::uint8_t>& dib, std::uint32_t colours) {
    std::vector<std::uint8_t> file(14 + dib.size(), 0);
    std::copy(dib.begin(), dib.end(), file.begin() + 14);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 2, static_cast<std::uint32_t>(14 + dib.size()));
    Put32(file, 10, 14 + 40 + colours * 4);
    return file;
}

TEST(PictureDecoder, EightBitPaletteIsAppliedAndRowsStayBottomUp) {
    // 3 x 2, bottom-up: stored row 0 is the picture's bottom row.
    auto dib = MakeDib(3, 2, 8, 4);
    const std::uint8_t palette[16] = {1, 2, 3, 0, 10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0};
    std::memcpy(dib.data() + 40, palette, 16);
    const std::size_t pixels = 40 + 16;
    const std::uint8_t indices[8] = {0, 1, 2, 0, 3, 3, 1, 0};  // two rows of stride 4
    std::memcpy(dib.data() + pixels, indices, 8);
    DibView view;
    std::string error;
    ASSERT_TRUE(ParsePackedDib(dib, view, error)) << error;
    std::vector<std::uint8_t> out(RowStride24(3) * 2, 0xEE);
    ConvertTo24(view, 3, 2, out.data());
    const std::uint8_t expected[24] = {1,  2,  3,  10, 20, 30, 40, 50, 60, 0, 0, 0,
                                       70, 80, 90, 70, 80, 90, 10, 20, 30, 0, 0, 0};
    EXPECT_EQ(std::memcmp(out.data(), expected, 24), 0);

    // The same file form parses to the same picture.
    const auto file = AsBmpFile(dib, 4);
    DibView fromFile;
    ASSERT_TRUE(ParseBmpFile(file, fromFile, error)) << error;
    std::vector<std::uint8_t> again(out.size());
    ConvertTo24(fromFile, 3, 2, again.data());
    EXPECT_EQ(again, out);
}

TEST(PictureDecoder, TopLeftCornerIsKeptWhenSizesDiffer) {
    // 2 x 2 top-down 24-bit source into a 3 x 3 target: the rest is black.
    auto dib = MakeDib(2, -2, 24, 0);
    const std::uint8_t rows[16] = {1, 1, 1, 2, 2, 2, 0, 0, 3, 3, 3, 4, 4, 4, 0, 0};
    std::memcpy(dib.data() + 40, rows, 16);
    DibView view;
    std::string error;
    ASSERT_TRUE(ParsePackedDib(dib, view, error)) << error;
    std::vector<std::uint8_t> out(RowStride24(3) * 3, 0xEE);
    ConvertTo24(view, 3, 3, out.data());
    const std::size_t s = RowStride24(3);
    // Top picture row is stored last.
    EXPECT_EQ(out[2 * s + 0], 1);
    EXPECT_EQ(out[2 * s + 3], 2);
    EXPECT_EQ(out[2 * s + 6], 0);
    EXPECT_EQ(out[1 * s + 0], 3);
    EXPECT_EQ(out[1 * s + 3], 4);
    for (std::size_t i = 0; i < s; ++i)
        EXPECT_EQ(out[i], 0) << i;

    // A larger source is cut to the target.
    std::vector<std::uint8_t> small(RowStride24(1) * 1, 0xEE);
    ConvertTo24(view, 1, 1, small.data());
    EXPECT_EQ(small[0], 1);
    EXPECT_EQ(small[3], 0);
}

TEST(PictureDecoder, OneAndFourBitPixelsUnpackHighBitsFirst) {
    auto dib = MakeDib(8, 1, 1, 2);
    const std::uint8_t palette[8] = {0, 0, 0, 0, 9, 9, 9, 0};
    std::memcpy(dib.data() + 40, palette, 8);
    dib[48] = 0b10100000;
    DibView view;
    std::string error;
    ASSERT_TRUE(ParsePackedDib(dib, view, error)) << error;
    std::vector<std::uint8_t> out(RowStride24(8), 0);
    ConvertTo24(view, 8, 1, out.data());
    EXPECT_EQ(out[0], 9);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(out[6], 9);
    EXPECT_EQ(out[9], 0);

    auto dib4 = MakeDib(2, 1, 4, 16);
    dib4[40 + 4 * 5] = 55;  // colour 5
    dib4[40 + 64] = 0x50;   // pixel 0 uses colour 5, pixel 1 colour 0
    ASSERT_TRUE(ParsePackedDib(dib4, view, error)) << error;
    std::vector<std::uint8_t> out4(RowStride24(2), 0);
    ConvertTo24(view, 2, 1, out4.data());
    EXPECT_EQ(out4[0], 55);
    EXPECT_EQ(out4[3], 0);
}

TEST(PictureDecoder, MalformedBitmapsAreRejected) {
    const auto good = MakeDib(4, 4, 8, 256);
    DibView view;
    std::string error;
    ASSERT_TRUE(ParsePackedDib(good, view, error));

    auto broken = [&](auto change) {
        auto dib = good;
        change(dib);
        error.clear();
        const bool ok = ParsePackedDib(dib, view, error);
        return !ok && !error.empty();
    };
    EXPECT_TRUE(broken([](auto& d) { Put32(d, 0, 12); }));           // header size
    EXPECT_TRUE(broken([](auto& d) { Put32(d, 0, 100000); }));       // header beyond data
    EXPECT_TRUE(broken([](auto& d) { Put32(d, 4, 0); }));            // width 0
    EXPECT_TRUE(broken([](auto& d) { Put32(d, 4, 0x80000000u); }));  // negative width
    EXPECT_TRUE(broken([](auto& d) { Put32(d, 8, 0); }));            // height 0
    EXPECT_TRUE(broken([](auto& d) { Put32(d, 4, 1u << 30); }));     // huge width
    EXPECT_TRUE(broken([](auto& d) { d[12] = 2; }));                 // planes
    EXPECT_TRUE(broken([](auto& d) { d[14] = 16; }));                // depth
    EXPECT_TRUE(broken([](auto& d) { Put32(d, 16, 1); }));           // RLE
    EXPECT_TRUE(broken([](auto& d) { Put32(d, 32, 257); }));         // palette too long
    EXPECT_TRUE(broken([](auto& d) { d.resize(d.size() - 1); }));    // pixels cut short

    // Every truncation of a valid file is refused, never read past its end.
    const auto file = AsBmpFile(good, 256);
    for (std::size_t n = 0; n < file.size(); ++n) {
        std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<long>(n));
        ASSERT_FALSE(ParseBmpFile(cut, view, error)) << n;
    }
    auto badOffset = file;
    Put32(badOffset, 10, 20);
    EXPECT_FALSE(ParseBmpFile(badOffset, view, error));
    auto notBmp = file;
    notBmp[0] = 'X';
    EXPECT_FALSE(ParseBmpFile(notBmp, view, error));
}

}  // namespace
}  // namespace wendrel
