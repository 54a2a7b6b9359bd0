#pragma once

#include <cstdint>

#include "scene/bitmap_info_header.h"
#include "scene/frame_buffer.h"

namespace wendrel {

// The eight leaf images, shared by every leaf and alive exactly while at
// least one leaf is: the first acquire builds them from the packaged
// bitmaps, the last release frees them. Touched by one thread at a time.
void AcquireLeafImages();
void ReleaseLeafImages();

// Valid while the set is held.
const BITMAPINFOHEADER& LeafImageHeader();
const std::uint8_t* LeafImageSlot(int slot);

// The smallest box of quads (bounds included) that holds every drawable
// quad of an image, empty when the image has none; and the range of row +
// column and of row - column over them, which cut the box's corners (by
// default, nothing).
struct LeafQuadBox {
    std::int32_t rowMin = 0;
    std::int32_t rowMax = -1;
    std::int32_t colMin = 0;
    std::int32_t colMax = -1;
    std::int32_t sumMin = 0;
    std::int32_t sumMax = 2 * (kLeafImageSize - 2);
    std::int32_t differenceMin = -(kLeafImageSize - 2);
    std::int32_t differenceMax = kLeafImageSize - 2;
    bool Empty() const { return rowMax < rowMin || colMax < colMin; }
};

// What drawing an image needs, kept beside it by the set and freed with it.
// A quad is named by its lower-left sample, at stored row r and column c
// (both 0 ... 46), and numbered r * kLeafImageSize + c.
struct LeafQuads {
    // The quad's samples channel by channel, so that one load fetches all
    // four: blue of the lower-left, lower-right, upper-left and upper-right
    // samples, then their green, then their red; then three zero bytes and
    // kDrawnFlag when all four samples are leaf (blue below 127) and the
    // quad is drawn, else 0.
    static constexpr std::uint8_t kDrawnFlag = 0x80;
    static constexpr int kFlagByte = 15;
    alignas(16) std::uint8_t samples[kLeafImageSize * kLeafImageSize][16] = {};
    LeafQuadBox box;
    bool Drawable(std::int32_t quad) const { return samples[quad][kFlagByte] != 0; }
};

// `image` must be a slot of the set.
const LeafQuads& LeafQuadTable(const std::uint8_t* image);
// What the set builds for each of its images, for any 48 x 48 image.
void BuildLeafQuads(const std::uint8_t* image, LeafQuads& quads);

int LeafImageRefCount();
// How many times the set has been built since the process started.
int LeafImageBuildCount();

}  // namespace wendrel
