#include "saver/start_seed.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <set>

#include "scene/random.h"

namespace wendrel {
namespace {

// The first draws a seed gives: what decides the first leaves.
std::array<int, 8> FirstDraws(std::uint32_t seed) {
    SeedRandom(seed);
    std::array<int, 8> draws{};
    for (int& draw : draws)
        draw = Rand();
    return draws;
}

class StartSeed : public ::testing::TestWithParam<std::int64_t> {};

TEST_P(StartSeed, TheClockAloneIsTheTimeCutTo32Bits) {
    const std::int64_t seconds = GetParam();
    EXPECT_EQ(ClockSeed(seconds), static_cast<std::uint32_t>(seconds & 0xFFFFFFFF));
}

// Copies a daemon starts in one second, one per monitor: consecutive ids,
// ids far apart, and ids that differ only above bit 16 all get seeds, and
// first leaves, of their own.
TEST_P(StartSeed, HacksStartedInOneSecondDiffer) {
    const std::int64_t seconds = GetParam();
    std::set<std::uint32_t> seeds;
    std::uint32_t count = 0;
    for (std::uint32_t id = 1; id <= 5000; ++id, ++count)
        seeds.insert(HackSeed(seconds, id));
    for (const std::uint32_t id : {65537u, 131073u, 4194304u, 4194303u, 0x7FFFFFFFu}) {
        seeds.insert(HackSeed(seconds, id));
        ++count;
    }
    EXPECT_EQ(seeds.size(), count);
    for (const std::uint32_t id : {2u, 300u, 65536u, 4194303u}) {
        SCOPED_TRACE(id);
        EXPECT_NE(HackSeed(seconds, id), ClockSeed(seconds));
        EXPECT_NE(FirstDraws(HackSeed(seconds, id)), FirstDraws(HackSeed(seconds, id + 1)));
    }
}

// The same copy a second later: another seed, as with the clock alone; and
// a tool that knows the id and the second finds the seed again.
TEST_P(StartSeed, AHackSeedFollowsTheClock) {
    const std::int64_t seconds = GetParam();
    for (const std::uint32_t id : {1u, 4321u, 4194304u}) {
        SCOPED_TRACE(id);
        EXPECT_NE(HackSeed(seconds, id), HackSeed(seconds + 1, id));
        EXPECT_EQ(HackSeed(seconds, id), HackSeed(seconds, id));
        EXPECT_EQ(HackSeed(seconds, id) ^ ClockSeed(seconds), HackSeed(0, id));
    }
}

INSTANTIATE_TEST_SUITE_P(Times, StartSeed,
                         ::testing::Values(std::int64_t{0}, std::int64_t{1},
                                           std::int64_t{1765324800}, std::int64_t{0x7FFFFFFF},
                                           std::int64_t{0xFFFFFFFF}, std::int64_t{0x100000000}));

}  // namespace
}  // namespace wendrel
