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

TEST(FrameHandOver, WakeRunsOncePerOffer) {
    std::atomic<int> wakes{0};
    CFrameHandOver handOver([&] { ++wakes; });
    const std::uint8_t block[4] = {};
    std::thread animation([&] {
        for (int i = 0; i < 3; ++i)
            handOver.Offer(block);
    });
    for (int shown = 0; shown < 3;) {
        if (handOver.Pending() != nullptr) {
            handOver.Done();
            ++shown;
        } else {
            std::this_thread::sleep_for(1ms);
        }
    }
    animation.join();
    EXPECT_EQ(wakes, 3);
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
