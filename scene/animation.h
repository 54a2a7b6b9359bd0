// The animation loop, and the engine's contract with a front end (a saver
// program, the renderer, a test), which includes this header:
//  - Link in PackagedBitmap (packaged_pictures.h): the packaged pictures by
//    resource id (resource_ids.h), as packed DIBs. It is called on the
//    thread that loads the background, and on the animation thread: the
//    leaf images are decoded there each time the number of live leaves
//    rises from zero, and freed there when it falls back to zero; those of
//    leaves still flying at exit are freed with the scene, on the thread
//    that destroys it (the main thread). The two never overlap, since the
//    background is loaded before the thread starts.
//  - Keep one CSaverCore alive (the application object is one) while the
//    engine runs, its m_bDirectDraw settled before the thread starts. The
//    flag sets the pace as well as the hook: while it is set, the loop
//    decides on a leaf every 34 ticks instead of 18, a gust is half as
//    likely to start, and each leaf moves one point along its flight a tick
//    instead of two.
//  - In this order: put the loop's globals back (ResetAnimationGlobals)
//    if an earlier run in this process has moved them (they outlive the
//    thread and the scene, and a run that goes on from them gives other
//    frames for the same seed), seed the generator once (SeedRandom,
//    random.h), load the scene's background (CLeafScene::LoadBackground),
//    start the animation thread (CAnimationThread::Start,
//    animation_thread.h); stop it (Stop) before the scene, the core or
//    anything the hooks reach goes away.
//  - The thread is not required: AnimationTick runs one tick, without the
//    wait, on the calling thread (the renderer and the web page tick this
//    way). What is said here of the animation thread then holds for that
//    thread. This header and the tick need no threads; the thread lives
//    in animation_thread.h, its own library.
//  - Each tick, on the animation thread, one hook gets the scene:
//    presentExclusive while m_bDirectDraw is set, presentStretched while it
//    is clear. Its Frame() is 640 x 480 pixels, bottom-up, blue-green-red,
//    rows of 1920 bytes (FrameHeader() describes it). Frame() and
//    LastChanges() stay as they are until the hook returns: the next
//    tick's Compose rewrites both. Another thread may read them while the
//    hook waits for it (the Linux front end does).
#pragma once

#include <cstdint>
#include <functional>

#include "scene/leaf_scene.h"

namespace wendrel {

// The loop's own state, touched only by the thread that runs the loop.
extern std::int32_t spawnTickCounter;  // ticks since the last spawn decision
extern std::int32_t targetLeafCount;   // wanted number of leaves, 0 ... 25
extern std::int32_t windOffset;        // sideways push on every leaf, pixels
extern std::int32_t gustStep;          // change of windOffset per tick in a gust
extern std::int32_t gustActive;        // a gust may move windOffset

// Puts the loop's state back to its start values.
void ResetAnimationGlobals();

using PresentFn = std::function<void(CLeafScene&)>;

// Where finished frames go: one of the two is called every tick, chosen by
// the core's m_bDirectDraw. Either may be empty.
struct PresentHooks {
    // A window of any size: the frame is to be stretched over it.
    PresentFn presentStretched;
    // The exclusive 640 x 480 display mode: the frame is shown unscaled.
    PresentFn presentExclusive;
};

// One tick without its sleep: spawn decision, wind, compose, present.
void AnimationTick(CLeafScene& scene, const PresentHooks& present);

}  // namespace wendrel
