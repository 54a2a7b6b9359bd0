#include "display/x11/frame_hand_over.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/support/wait_until.h"

namespace wendrel::display {
namespace {

using namespace std::chrono_literals;

// Joins the stand-in animation thread however the test ends: a failed check
// cancels the hand-over first, so no Offer is left waiting.
struct JoinOnExit {
    CFrameHandOver& handOver;
    std::thread& thread;
    ~JoinOnExit() {
        if (!thread.joinable())
            return;
        handOver.Cancel();
        thread.join();
    }
};

TEST(FrameHandOver, OfferWaitsUntilTheFrameIsDone) {
    CFrameHandOver handOver;
    const std::uint8_t block[4] = {};
    std::atomic<bool> returned{false};
    std::thread animation([&] {
        handOver.Offer(block);
        returned = true;
    });
    JoinOnExit joiner{handOver, animation};
    ASSERT_TRUE(testing::WaitUntil([&] { return handOver.Pending() != nullptr; }))
        << "no frame on offer after 10 s";
    EXPECT_EQ(handOver.Pending(), block);
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(returned);  // still waiting: the block is being read
    handOver.Done();
    animation.join();
    EXPECT_TRUE(returned);
    EXPECT_EQ(handOver.Pending(), nullptr);
}

TEST(FrameHandOver, WaitPendingReturnsEachOfferedFrame) {
    CFrameHandOver handOver;
    EXPECT_EQ(handOver.WaitPending(1ms), nullptr);
    const std::uint8_t blocks[3][4] = {};
    std::thread animation([&] {
        for (const auto& block : blocks)
            handOver.Offer(block);
    });
    JoinOnExit joiner{handOver, animation};
    for (const auto& block : blocks) {
        const std::uint8_t* frame = handOver.WaitPending(10s);
        ASSERT_NE(frame, nullptr) << "no frame offered in 10 s";
        EXPECT_EQ(frame, block);
        handOver.Done();
    }
    animation.join();
    EXPECT_EQ(handOver.WaitPending(1ms), nullptr);
}

TEST(FrameHandOver, CancelReleasesTheWaitAndLaterOffers) {
    CFrameHandOver handOver;
    const std::uint8_t block[4] = {};
    std::thread animation([&] { handOver.Offer(block); });
    JoinOnExit joiner{handOver, animation};
    ASSERT_TRUE(testing::WaitUntil([&] { return handOver.Pending() != nullptr; }))
        << "no frame on offer after 10 s";
    handOver.Cancel();
    animation.join();
    handOver.Offer(block);  // returns at once
    EXPECT_EQ(handOver.Pending(), nullptr);
    handOver.Reopen();
    std::thread again([&] { handOver.Offer(block); });
    const bool offered = testing::WaitUntil([&] { return handOver.Pending() != nullptr; });
    handOver.Done();
    again.join();
    EXPECT_TRUE(offered) << "no frame on offer after 10 s: the reopened hand-over refused it";
}

}  // namespace
}  // namespace wendrel::display
