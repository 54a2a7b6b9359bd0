#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "frame_buffer.h"
#include "frame_renderer.h"

namespace wendrel::display {
namespace {

std::uint32_t PixelAt(const std::vector<std::uint8_t>& out, int pitch, int row, int x) {
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, out.data() + row * pitch + x * 4, sizeof pixel);
    return pixel;
}

TEST(FrameUpload, FirstStoredRowComesOutAtTheBottom) {
    std::vector<std::uint8_t> frame(kFrameBytes, 0);
    // Stored row 0, column 0: blue 1, green 2, red 3.
    frame[0] = 1;
    frame[1] = 2;
    frame[2] = 3;
    // Last stored row, last column: blue 0x40, green 0x50, red 0x60.
    const int last = (kFrameHeight - 1) * kFrameStride + (kFrameWidth - 1) * 3;
    frame[last] = 0x40;
    frame[last + 1] = 0x50;
    frame[last + 2] = 0x60;
    const int pitch = kFrameWidth * 4 + 16;  // a padded texture row
    std::vector<std::uint8_t> out(static_cast<std::size_t>(pitch) * kFrameHeight, 0xee);
    ConvertFrameUpright(frame.data(), out.data(), pitch);
    EXPECT_EQ(PixelAt(out, pitch, kFrameHeight - 1, 0), 0x030201u);
    EXPECT_EQ(PixelAt(out, pitch, 0, kFrameWidth - 1), 0x605040u);
    EXPECT_EQ(PixelAt(out, pitch, 0, 0), 0u);
    // The padding past each row is left alone.
    EXPECT_EQ(out[kFrameWidth * 4], 0xee);
}

TEST(FrameUpload, EveryPixelMovesToItsMirroredRow) {
    std::vector<std::uint8_t> frame(kFrameBytes);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = static_cast<std::uint8_t>(i * 7 + i / 1920);
    const int pitch = kFrameWidth * 4;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(pitch) * kFrameHeight);
    ConvertFrameUpright(frame.data(), out.data(), pitch);
    for (int row = 0; row < kFrameHeight; ++row) {
        for (int x = 0; x < kFrameWidth; ++x) {
            const std::uint8_t* src =
                frame.data() + (kFrameHeight - 1 - row) * kFrameStride + x * 3;
            const std::uint32_t expected =
                std::uint32_t{src[2]} << 16 | std::uint32_t{src[1]} << 8 | std::uint32_t{src[0]};
            ASSERT_EQ(PixelAt(out, pitch, row, x), expected) << row << "," << x;
        }
    }
}

}  // namespace
}  // namespace wendrel::display
