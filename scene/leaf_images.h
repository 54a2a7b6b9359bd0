#pragma once

#include <cstdint>

#include "bitmap_info_header.h"

namespace wendrel {

// The eight leaf images, shared by every leaf and alive exactly while at
// least one leaf is: the first acquire builds them from the packaged
// bitmaps, the last release frees them. Touched by one thread at a time.
void AcquireLeafImages();
void ReleaseLeafImages();

// Valid while the set is held.
const BITMAPINFOHEADER& LeafImageHeader();
const std::uint8_t* LeafImageSlot(int slot);

// Beside each image the set keeps which 2 x 2 sample quads hold no key
// colour: for the quad whose lower-left sample is at stored row r and
// column c (both 0 ... 46), entry r * kLeafImageSize + c is 1 when all four
// samples are leaf (blue below 127), else 0. `image` must be a slot of the
// set; the table lives and dies with it.
const std::uint8_t* LeafQuadTable(const std::uint8_t* image);
// Bytes after an image's last pixel that may be read (not used) by wide
// loads.
constexpr std::uint32_t kLeafImageSlack = 16;

int LeafImageRefCount();
// How many times the set has been built since the process started.
int LeafImageBuildCount();

}  // namespace wendrel
