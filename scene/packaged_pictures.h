#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "res/resource_ids.h"

namespace wendrel {

constexpr int kBackgroundBitmapId = IDB_BACKGROUND;
// Leaf image slot i holds the bitmap of this id.
constexpr int kLeafSlotBitmapIds[8] = {IDB_LEAF155, IDB_LEAF149, IDB_LEAF150, IDB_LEAF151,
                                       IDB_LEAF152, IDB_LEAF153, IDB_LEAF154, IDB_LEAF148};

// The bytes of a packaged bitmap as a packed DIB (header, palette, pixels),
// or an empty span when the program holds no bitmap of that id. Each
// platform layer supplies this: compiled-in files on Linux, resources on
// Windows.
std::span<const std::uint8_t> PackagedBitmap(int resourceId);

// Converts packaged bitmap `resourceId` into a 24-bit bottom-up picture of
// the given size. A missing or malformed bitmap leaves the picture black,
// returns false and says why in `error`.
bool LoadPackagedPicture(int resourceId, std::int32_t width, std::int32_t height, std::uint8_t* out,
                         std::string& error);

}  // namespace wendrel
