#pragma once

#include <cstdint>

namespace wendrel {

// The random generator's seed at start-up: the time in seconds, cut to the
// generator's 32 bits.
std::uint32_t ClockSeed(std::int64_t seconds);

// A hack's seed: the clock's, mixed with the process id. Daemons start one
// copy per monitor in the same second, and each monitor should show leaves
// of its own. The id is spread over all 32 bits by an odd multiplier, which
// maps distinct ids to distinct values, so copies started in the same
// second never share a seed.
std::uint32_t HackSeed(std::int64_t seconds, std::uint32_t processId);

}  // namespace wendrel
