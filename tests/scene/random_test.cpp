#include <gtest/gtest.h>

#include "scene/random.h"

namespace wendrel {
namespace {

TEST(Random, SeedOneGivesTheClassicSequence) {
    SeedRandom(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected)
        EXPECT_EQ(Rand(), value);
}

TEST(Random, StateFollowsTheCongruenceAndDrawsStayInRange) {
    SeedRandom(0xFFFFFFFFu);
    std::uint32_t state = 0xFFFFFFFFu;
    for (int i = 0; i < 100000; ++i) {
        const int draw = Rand();
        state = state * 214013u + 2531011u;
        ASSERT_EQ(RandomState(), state);
        ASSERT_EQ(draw, static_cast<int>((state >> 16) & 0x7fff));
        ASSERT_GE(draw, 0);
        ASSERT_LE(draw, kRandMax);
    }
}

TEST(Random, ReseedingRepeatsTheSequence) {
    SeedRandom(12345);
    const int a = Rand(), b = Rand();
    SeedRandom(12345);
    EXPECT_EQ(Rand(), a);
    EXPECT_EQ(Rand(), b);
}

}  // namespace
}  // namespace wendrel
