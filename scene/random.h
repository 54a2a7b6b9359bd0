#pragma once

#include <cstdint>

namespace wendrel {

// The one process-wide generator every random decision draws from: the
// classic linear congruential one, so a seed gives the same leaves anywhere.
constexpr int kRandMax = 32767;

void SeedRandom(std::uint32_t seed);
// A draw in 0 ... 32767.
int Rand();
std::uint32_t RandomState();

}  // namespace wendrel
