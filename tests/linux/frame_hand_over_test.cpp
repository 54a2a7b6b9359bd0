#include "frame_hand_over.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace wendrel::display {
namespace {

using namespace std::chrono_literals;

TEST(FrameHandOver, OfferWaitsUntilTheFrameIsDone) {
    CFrameHandOver handOver;
    const std::uint8_t block[4] = {};
    std::atomic<bool> returned{false};
    std::thread animation([&] {
        handOver.Offer(block);
        returned = true;
    });
    while (handOver.Pending() == nullptr)
        std::this_thread::sleep_for(1ms);
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
    for (const auto& block : blocks) {
        const std::uint8_t* frame = nullptr;
        while (frame == nullptr)
            frame = handOver.WaitPending(100ms);
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
    while (handOver.Pending() == nullptr)
        std::this_thread::sleep_for(1ms);
    handOver.Cancel();
    animation.join();
    handOver.Offer(block);  // returns at once
    EXPECT_EQ(handOver.Pending(), nullptr);
    handOver.Reopen();
    std::thread again([&] { handOver.Offer(block); });
    while (handOver.Pending() == nullptr)
        std::this_thread::sleep_for(1ms);
    handOver.Done();
    again.join();
}

}  // namespace
}  // namespace wendrel::display
