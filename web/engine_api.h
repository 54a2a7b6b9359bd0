// What the web page calls in the engine's WebAssembly module. One saver at a
// time; every call but wendrel_start does nothing (or returns 0) before the
// first start.
#pragma once

#include <cstdint>

#include "scene/frame_buffer.h"

namespace wendrel {
constexpr std::uint32_t kRgbaFrameBytes = kFrameWidth * kFrameHeight * 4;
}

extern "C" {

// A new saver: the loop's state back to its start, the generator seeded,
// the background loaded and copied into the RGBA frame. `exclusivePace`
// chooses the pace of the exclusive mode (else the stretched one's). 0 when
// the background could not be loaded (the frame is then black).
std::int32_t wendrel_start(std::uint32_t seed, std::int32_t exclusivePace);
// One tick of the animation loop, without its wait; the RGBA frame follows.
void wendrel_tick();
// `count` ticks, the RGBA frame brought up to date once at the end.
void wendrel_run_ticks(std::int32_t count);
// The 640 x 480 frame, four bytes a pixel red-green-blue-alpha, top row first.
const std::uint8_t* wendrel_frame_rgba();
// Where the RGBA frame changed since the last call: -1 for everywhere, else
// the number of rectangles wendrel_dirty_rects now holds (left, top, right,
// bottom each, as frame_changes.h describes them; they may overlap).
std::int32_t wendrel_take_dirty();
const std::int32_t* wendrel_dirty_rects();
// The full-screen saver's mouse rule: 1 when a move to (x, y) ends it.
std::int32_t wendrel_mouse_moved(std::int32_t x, std::int32_t y);
// Forgets the first position, for the next run.
void wendrel_mouse_reset();
}
