#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "scene/frame_buffer.h"
#include "scene/leaf.h"
#include "scene/leaf_images.h"
#include "tests/scene/test_support.h"

namespace wendrel {
namespace {

using testing::PixelAt;

// A frame filled with one marker colour that no leaf has (blue 200).
struct MarkedFrame {
    MarkedFrame() : header(MakeHeader24(640, 480)), pixels(kFrameBytes) {
        for (std::size_t i = 0; i < pixels.size(); i += 3) {
            pixels[i] = 200;
            pixels[i + 1] = 7;
            pixels[i + 2] = 9;
        }
    }
    bool Untouched(int row, int col) const {
        const std::uint8_t* p = PixelAt(pixels.data(), row, col);
        return p[0] == 200 && p[1] == 7 && p[2] == 9;
    }
    int Changed() const {
        int n = 0;
        for (int r = 0; r < 480; ++r)
            for (int c = 0; c < 640; ++c)
                n += Untouched(r, c) ? 0 : 1;
        return n;
    }
    BITMAPINFOHEADER header;
    std::vector<std::uint8_t> pixels;
};

PathPointArray Still(PathPoint p, std::size_t length) {
    return PathPointArray(length, p);
}

TEST(LeafDraw, UnturnedLeafCopiesItsImageTwoRowsAboveItsRectangle) {
    testing::FreshSaver saver;
    for (int slot = 0; slot < 8; ++slot) {
        MarkedFrame frame;
        CLeaf leaf(Still({300, 200}, 30), slot);
        ASSERT_TRUE(leaf.DrawAndAdvance(frame.header, frame.pixels.data(), 0));
        const int left = 300 - 24, top = 200 - 24;
        int drawn = 0;
        for (int i = 0; i < 48; ++i) {
            for (int j = 0; j < 48; ++j) {
                const int storedRow = 480 + 1 - top - i;  // screen row top + i - 2
                const std::uint8_t* src = leaf.image + i * kLeafImageStride + 3 * j;
                // Drawn only where all four samples are leaf, even though
                // the neighbours carry no weight here.
                const bool inside = i < 47 && j < 47 && src[0] < 127 && src[3] < 127 &&
                                    src[kLeafImageStride] < 127 && src[kLeafImageStride + 3] < 127;
                if (inside) {
                    const std::uint8_t* dst = PixelAt(frame.pixels.data(), storedRow, left + j);
                    ASSERT_EQ(std::memcmp(dst, src, 3), 0) << slot << " " << i << " " << j;
                    ++drawn;
                } else {
                    ASSERT_TRUE(frame.Untouched(storedRow, left + j)) << i << " " << j;
                }
            }
        }
        EXPECT_EQ(frame.Changed(), drawn);
        EXPECT_GT(drawn, 300);
    }
}

TEST(LeafDraw, KeyColourIsNeverDrawnWhateverTheTurn) {
    testing::FreshSaver saver(99);
    MarkedFrame frame;
    for (int n = 0; n < 300; ++n) {
        std::fill(frame.pixels.begin(), frame.pixels.end(), 0);
        CLeaf leaf(Still({320, 240}, 4), n % 8);
        leaf.spin = n * 37 - 5000;
        leaf.tilt = n * 53 - 7000;
        leaf.DrawAndAdvance(frame.header, frame.pixels.data(), 0);
        for (std::size_t i = 0; i < frame.pixels.size(); i += 3)
            ASSERT_LT(frame.pixels[i], 127) << "blue bled in at turn " << n;
    }
}

TEST(LeafDraw, LeafOffTheFrameDrawsNothingButStillTumblesAndMoves) {
    testing::FreshSaver saver(5);
    const PathPoint outside[] = {{-24, 200}, {664, 200}, {300, -24}, {300, 504}, {-500, -500}};
    for (const PathPoint p : outside) {
        MarkedFrame frame;
        CLeaf leaf(Still(p, 30), 0);
        const std::uint32_t before = RandomState();
        ASSERT_TRUE(leaf.DrawAndAdvance(frame.header, frame.pixels.data(), 0));
        EXPECT_EQ(frame.Changed(), 0) << p.x << "," << p.y;
        EXPECT_EQ(leaf.pathIndex, 2);
        SeedRandom(before);  // the two draws of the tumble, spin first
        const int spinRate = Rand() % 7 - 3;
        const int tiltRate = Rand() % 7 - 3;
        EXPECT_EQ(leaf.spinRate, spinRate);
        EXPECT_EQ(leaf.spin, spinRate);
        EXPECT_EQ(leaf.tiltRate, tiltRate);
        EXPECT_EQ(leaf.tilt, tiltRate);
    }
    // The wind moves the rectangle: pushed back into view it draws.
    MarkedFrame frame;
    CLeaf leaf(Still({-24, 200}, 30), 0);
    leaf.DrawAndAdvance(frame.header, frame.pixels.data(), 100);
    EXPECT_GT(frame.Changed(), 0);
}

TEST(LeafDraw, EdgeOnLeafIsASliver) {
    testing::FreshSaver saver;
    MarkedFrame frame;
    CLeaf leaf(Still({320, 240}, 30), 3);
    leaf.tilt = 157;  // cos is ~0: the leaf is seen edge on
    leaf.DrawAndAdvance(frame.header, frame.pixels.data(), 0);
    int widest = 0, total = 0;
    for (int r = 0; r < 480; ++r) {
        int n = 0;
        for (int c = 0; c < 640; ++c)
            n += frame.Untouched(r, c) ? 0 : 1;
        widest = std::max(widest, n);
        total += n;
    }
    EXPECT_GT(total, 0);
    EXPECT_LE(widest, 3);
}

TEST(LeafDraw, RatesStayBoundedAndPathEndsOnTime) {
    testing::FreshSaver saver(31337);
    MarkedFrame frame;
    CLeaf wanderer(Still({100, 100}, 200000), 1);
    for (int n = 0; n < 50000; ++n) {
        wanderer.DrawAndAdvance(frame.header, frame.pixels.data(), 0);
        ASSERT_GE(wanderer.spinRate, -32);
        ASSERT_LE(wanderer.spinRate, 32);
        ASSERT_GE(wanderer.tiltRate, -32);
        ASSERT_LE(wanderer.tiltRate, 32);
    }
    for (int direct = 0; direct < 2; ++direct) {
        saver.core.m_bDirectDraw = direct;
        CLeaf leaf(Still({100, 100}, 30), 2);
        int calls = 1;
        while (leaf.DrawAndAdvance(frame.header, frame.pixels.data(), 0))
            ++calls;
        EXPECT_EQ(calls, direct ? 30 : 15);
    }
    CLeaf empty(PathPointArray{}, 0);
    const std::uint32_t before = RandomState();
    EXPECT_FALSE(empty.DrawAndAdvance(frame.header, frame.pixels.data(), 0));
    EXPECT_EQ(RandomState(), before);
}

TEST(LeafDraw, PixelsNextToTheKeyColourKeepTheFrame) {
    testing::FreshSaver saver;
    MarkedFrame frame;
    CLeaf leaf(Still({320, 240}, 30), 0);
    leaf.spin = 40;
    leaf.tilt = 60;
    leaf.DrawAndAdvance(frame.header, frame.pixels.data(), 0);
    // Each drawn pixel is a blend of leaf pixels only: it can never be
    // bluer than the bluest leaf pixel of the image.
    int bluest = 0;
    for (std::uint32_t i = 0; i < kLeafImageBytes; i += 3) {
        if (leaf.image[i] < 127)
            bluest = std::max<int>(bluest, leaf.image[i]);
    }
    for (int r = 0; r < 480; ++r)
        for (int c = 0; c < 640; ++c)
            if (!frame.Untouched(r, c)) {
                ASSERT_LE(PixelAt(frame.pixels.data(), r, c)[0], bluest);
            }
}

}  // namespace
}  // namespace wendrel
