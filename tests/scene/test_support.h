#pragma once

#include <cstdint>
#include <vector>

#include "scene/animation.h"
#include "scene/frame_buffer.h"
#include "scene/random.h"
#include "scene/saver_core.h"

namespace wendrel::testing {

// A fresh core, generator and loop state for each test.
struct FreshSaver {
    explicit FreshSaver(std::uint32_t seed = 1, bool direct = false) {
        core.m_bDirectDraw = direct ? 1 : 0;
        SeedRandom(seed);
        ResetAnimationGlobals();
    }
    CSaverCore core;
};

inline std::uint64_t Fnv1a(const std::uint8_t* data, std::size_t size) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= data[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

inline const std::uint8_t* PixelAt(const std::uint8_t* frame, int storedRow, int column) {
    return frame + storedRow * kFrameStride + 3 * column;
}

}  // namespace wendrel::testing
