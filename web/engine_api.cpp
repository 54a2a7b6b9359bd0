// The engine as the web page calls it: plain C functions over one scene,
// ticked by the page itself (WebAssembly has no threads here). The page
// draws from an RGBA copy of the frame, top row first, as a canvas wants
// it; only what the ticks changed is copied, and the page is told where.
#include "web/engine_api.h"

#include <emscripten/em_macros.h>

#include <memory>
#include <vector>

#include "saver/mouse_rule.h"
#include "scene/animation.h"
#include "scene/leaf_scene.h"
#include "scene/random.h"
#include "scene/saver_core.h"

namespace wendrel {
namespace {

// Past this many rectangles since the page last drew, it redraws the lot.
constexpr std::size_t kMostDirtyRects = 256;

struct WebSaver {
    CSaverCore core;
    CLeafScene scene;
    CMouseRule mouse;
    std::vector<std::uint8_t> rgba = std::vector<std::uint8_t>(kRgbaFrameBytes);
    bool dirtyWhole = true;
    std::vector<FrameRect> dirty;
    std::vector<std::int32_t> dirtyOut;
};

std::unique_ptr<WebSaver> saver;

void CopyToRgba(const std::uint8_t* frame, const FrameRect& r, std::uint8_t* rgba) {
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        const std::uint8_t* from = frame + (kFrameHeight - 1 - y) * kFrameStride + 3 * r.left;
        std::uint8_t* to = rgba + (y * kFrameWidth + r.left) * 4;
        for (std::int32_t x = r.left; x < r.right; ++x, from += 3, to += 4) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = 255;
        }
    }
}

constexpr FrameRect kWholeFrame{0, 0, kFrameWidth, kFrameHeight};

void MarkWhole(const std::uint8_t* frame) {
    CopyToRgba(frame, kWholeFrame, saver->rgba.data());
    saver->dirtyWhole = true;
    saver->dirty.clear();
}

void TakeChanges() {
    const CLeafScene& scene = saver->scene;
    const FrameChanges& changes = scene.LastChanges();
    if (changes.whole || saver->dirty.size() + changes.rects.size() > kMostDirtyRects) {
        MarkWhole(scene.Frame());
        return;
    }
    for (const FrameRect& r : changes.rects) {
        CopyToRgba(scene.Frame(), r, saver->rgba.data());
        if (!saver->dirtyWhole)
            saver->dirty.push_back(r);
    }
}

}  // namespace
}  // namespace wendrel

using namespace wendrel;

EMSCRIPTEN_KEEPALIVE std::int32_t wendrel_start(std::uint32_t seed, std::int32_t exclusivePace) {
    saver.reset();  // its core stops being the current one first
    saver = std::make_unique<WebSaver>();
    saver->core.m_bDirectDraw = exclusivePace != 0 ? 1 : 0;
    ResetAnimationGlobals();
    SeedRandom(seed);
    const bool loaded = saver->scene.LoadBackground();
    MarkWhole(saver->scene.Background());
    return loaded ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void wendrel_tick() {
    if (!saver)
        return;
    AnimationTick(saver->scene, {});
    TakeChanges();
}

EMSCRIPTEN_KEEPALIVE void wendrel_run_ticks(std::int32_t count) {
    if (!saver)
        return;
    for (std::int32_t i = 0; i < count; ++i)
        AnimationTick(saver->scene, {});
    MarkWhole(saver->scene.Frame());
}

EMSCRIPTEN_KEEPALIVE const std::uint8_t* wendrel_frame_rgba() {
    return saver ? saver->rgba.data() : nullptr;
}

EMSCRIPTEN_KEEPALIVE std::int32_t wendrel_take_dirty() {
    if (!saver)
        return 0;
    std::int32_t count = -1;
    saver->dirtyOut.clear();
    if (!saver->dirtyWhole) {
        count = static_cast<std::int32_t>(saver->dirty.size());
        for (const FrameRect& r : saver->dirty)
            saver->dirtyOut.insert(saver->dirtyOut.end(), {r.left, r.top, r.right, r.bottom});
    }
    saver->dirtyWhole = false;
    saver->dirty.clear();
    return count;
}

EMSCRIPTEN_KEEPALIVE const std::int32_t* wendrel_dirty_rects() {
    return saver ? saver->dirtyOut.data() : nullptr;
}

EMSCRIPTEN_KEEPALIVE std::int32_t wendrel_mouse_moved(std::int32_t x, std::int32_t y) {
    return saver && saver->mouse.OnMove(x, y) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void wendrel_mouse_reset() {
    if (saver)
        saver->mouse.Reset();
}
