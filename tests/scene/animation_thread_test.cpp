// The animation thread of the front ends; the tick itself is tested in
// animation_test.cpp.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "scene/animation_thread.h"
#include "scene/leaf_images.h"
#include "scene/leaf_scene.h"
#include "tests/scene/test_support.h"
#include "tests/support/wait_until.h"

namespace wendrel {
namespace {

TEST(AnimationThread, StopsBetweenTicksAndNeverPresentsAfterwards) {
    testing::FreshSaver saver(1);
    {
        CLeafScene scene;
        scene.LoadBackground();
        CAnimationThread thread;
        thread.Stop();  // nothing started: nothing to stop
        std::atomic<int> frames{0};
        std::atomic<bool> started{false};
        std::thread::id tickThread;
        thread.Start(scene, {[&](CLeafScene&) { ++frames; }, {}}, [&] {
            tickThread = std::this_thread::get_id();
            started = true;
        });
        ASSERT_TRUE(testing::WaitUntil([&] { return frames >= 5; }))
            << "the animation thread presented " << frames << " frames in 10 s, not 5";
        EXPECT_TRUE(thread.IsRunning());
        thread.Stop();
        EXPECT_FALSE(thread.IsRunning());
        EXPECT_TRUE(started);
        EXPECT_NE(tickThread, std::this_thread::get_id());
        const int atStop = frames;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(frames, atStop);
        // It can be started again.
        thread.Start(scene, {[&](CLeafScene&) { ++frames; }, {}});
        ASSERT_TRUE(testing::WaitUntil([&] { return frames >= atStop + 2; }))
            << "the restarted animation thread presented " << frames - atStop
            << " frames in 10 s, not 2";
        thread.Stop();
    }
    EXPECT_EQ(LeafImageRefCount(), 0);
}

}  // namespace
}  // namespace wendrel
