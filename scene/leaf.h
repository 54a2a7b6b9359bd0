#pragma once

#include <cstdint>

#include "scene/bitmap_info_header.h"
#include "scene/frame_changes.h"
#include "scene/leaf_path.h"

namespace wendrel {

// One falling leaf. It plans its whole flight when it is made; each tick it
// draws itself at its place on that flight, tumbles, and moves on.
class CLeaf {
  public:
    // Plans a random flight over a frame of this size (always 640 x 480).
    CLeaf(std::int32_t sceneWidth, std::int32_t sceneHeight);
    // A leaf on a given flight with a given image slot; draws nothing at random.
    CLeaf(PathPointArray flight, int imageSlot);
    virtual ~CLeaf();
    CLeaf(const CLeaf&) = delete;
    CLeaf& operator=(const CLeaf&) = delete;

    // Draws the leaf into the frame, shifted right by windOffset, then
    // tumbles and advances it; false once its flight is used up. `drawn`,
    // when given, receives a rectangle (upright, see FrameRect) holding
    // every pixel written, empty when none was.
    bool DrawAndAdvance(const BITMAPINFOHEADER& frameHeader, std::uint8_t* framePixels,
                        std::int32_t windOffset, FrameRect* drawn = nullptr);

    std::int32_t sceneWidth;
    std::int32_t sceneHeight;
    std::int32_t pathIndex = 0;
    PathPointArray path;
    std::int32_t spin = 0;      // hundredths of a radian, in the picture plane
    std::int32_t tilt = 0;      // hundredths of a radian, about the vertical axis
    std::int32_t spinRate = 0;  // -32 ... 32 per tick
    std::int32_t tiltRate = 0;  // -32 ... 32 per tick
    const std::uint8_t* image = nullptr;

  private:
    FrameRect Draw(const BITMAPINFOHEADER& frameHeader, std::uint8_t* framePixels,
                   std::int32_t left, std::int32_t top) const;
    void Tumble();
};

}  // namespace wendrel
