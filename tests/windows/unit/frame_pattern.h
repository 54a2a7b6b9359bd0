#pragma once

#include <cstdint>

#include "scene/frame_buffer.h"
#include "scene/leaf_scene.h"

namespace wendrel::test {

// Colours as GetPixel gives them (0x00BBGGRR).
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kYellow = 0x00FFFF;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// Fills the scene's frame with four quadrants, as seen upright: green top
// left, blue top right, red bottom left, yellow bottom right. The first
// stored rows are the bottom ones.
inline void PaintQuadrants(CLeafScene& scene) {
    std::uint8_t* frame = scene.MutableFrame();
    for (int row = 0; row < kFrameHeight; ++row) {
        const bool bottom = row < kFrameHeight / 2;
        for (int x = 0; x < kFrameWidth; ++x) {
            const bool left = x < kFrameWidth / 2;
            const std::uint32_t colour = bottom ? (left ? kRed : kYellow) : (left ? kGreen : kBlue);
            std::uint8_t* pixel = frame + row * kFrameStride + x * 3;
            pixel[0] = static_cast<std::uint8_t>(colour >> 16);  // blue
            pixel[1] = static_cast<std::uint8_t>(colour >> 8);   // green
            pixel[2] = static_cast<std::uint8_t>(colour);        // red
        }
    }
}

// The frame's pixel at (x, y) from the top left, as 0x00BBGGRR.
inline std::uint32_t FramePixel(const CLeafScene& scene, int x, int y) {
    const std::uint8_t* pixel = scene.Frame() + (kFrameHeight - 1 - y) * kFrameStride + x * 3;
    return static_cast<std::uint32_t>(pixel[2]) | static_cast<std::uint32_t>(pixel[1]) << 8 |
           static_cast<std::uint32_t>(pixel[0]) << 16;
}

}  // namespace wendrel::test
