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

int LeafImageRefCount();
// How many times the set has been built since the process started.
int LeafImageBuildCount();

}  // namespace wendrel
