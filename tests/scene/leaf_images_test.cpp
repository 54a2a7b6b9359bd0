#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "scene/frame_buffer.h"
#include "scene/leaf.h"
#include "scene/leaf_images.h"
#include "scene/leaf_scene.h"
#include "scene/packaged_pictures.h"
#include "scene/picture_decoder.h"
#include "tests/scene/test_support.h"

namespace wendrel {
namespace {

TEST(LeafImages, BuiltByTheFirstLeafFreedWithTheLastRebuiltAfter) {
    testing::FreshSaver saver;
    ASSERT_EQ(LeafImageRefCount(), 0);
    const int builds = LeafImageBuildCount();
    auto first = std::make_unique<CLeaf>(640, 480);
    EXPECT_EQ(LeafImageRefCount(), 1);
    EXPECT_EQ(LeafImageBuildCount(), builds + 1);
    auto second = std::make_unique<CLeaf>(640, 480);
    EXPECT_EQ(LeafImageRefCount(), 2);
    EXPECT_EQ(LeafImageBuildCount(), builds + 1);  // not reloaded
    first.reset();
    second.reset();
    EXPECT_EQ(LeafImageRefCount(), 0);
    auto third = std::make_unique<CLeaf>(640, 480);
    EXPECT_EQ(LeafImageBuildCount(), builds + 2);  // loaded again
    third.reset();
    EXPECT_EQ(LeafImageRefCount(), 0);
}

TEST(LeafImages, SlotsHoldTheirBitmapsInOrderAndKeepTheKeyRule) {
    AcquireLeafImages();
    const BITMAPINFOHEADER& h = LeafImageHeader();
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 48);
    EXPECT_EQ(h.biHeight, 48);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biSizeImage, 6912u);
    const int ids[8] = {155, 149, 150, 151, 152, 153, 154, 148};
    std::vector<std::uint64_t> hashes;
    for (int slot = 0; slot < 8; ++slot) {
        std::vector<std::uint8_t> expected(kLeafImageBytes);
        std::string error;
        ASSERT_TRUE(LoadPackagedPicture(ids[slot], 48, 48, expected.data(), error)) << error;
        const std::uint8_t* image = LeafImageSlot(slot);
        ASSERT_EQ(std::memcmp(image, expected.data(), kLeafImageBytes), 0) << slot;
        int leafPixels = 0;
        for (int row = 0; row < 48; ++row) {
            for (int col = 0; col < 48; ++col) {
                const std::uint8_t* px = image + row * kLeafImageStride + 3 * col;
                if (px[0] >= 127) {
                    ASSERT_EQ(px[0], 255) << slot << " " << row << " " << col;
                    ASSERT_EQ(px[1], 0);
                    ASSERT_EQ(px[2], 0);
                } else {
                    ++leafPixels;
                }
            }
        }
        EXPECT_GT(leafPixels, 48 * 48 / 5) << "slot " << slot << " is nearly empty";
        hashes.push_back(testing::Fnv1a(image, kLeafImageBytes));
    }
    ReleaseLeafImages();
    for (std::size_t i = 0; i < hashes.size(); ++i)
        for (std::size_t j = i + 1; j < hashes.size(); ++j)
            EXPECT_NE(hashes[i], hashes[j]) << "leaf slots " << i << " and " << j << " are equal";
}

TEST(LeafImages, BackgroundLoadsIntoTheFixedFrameFormat) {
    CLeafScene scene;
    std::string error;
    ASSERT_TRUE(scene.LoadBackground(error)) << error;
    const BITMAPINFOHEADER& h = scene.FrameHeader();
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 640);
    EXPECT_EQ(h.biHeight, 480);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, 0u);
    EXPECT_EQ(h.biSizeImage, 921600u);
    EXPECT_EQ(h.biXPelsPerMeter | h.biYPelsPerMeter, 0);
    EXPECT_EQ(h.biClrUsed | h.biClrImportant, 0u);
    EXPECT_EQ(RowStride24(h.biWidth), 1920);

    // The packaged background is an 8-bit picture with a full palette.
    DibView view;
    ASSERT_TRUE(ParsePackedDib(PackagedBitmap(129), view, error)) << error;
    EXPECT_EQ(view.header.biBitCount, 8);
    EXPECT_EQ(view.header.biWidth, 640);
    EXPECT_EQ(view.header.biHeight, 480);
    EXPECT_EQ(view.palette.size(), 256u * 4);
    EXPECT_TRUE(PackagedBitmap(130).empty());
}

}  // namespace
}  // namespace wendrel
