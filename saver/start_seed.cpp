#include "saver/start_seed.h"

namespace wendrel {
namespace {

// 2^32 divided by the golden ratio, an odd number: neighbouring ids land far
// apart.
constexpr std::uint32_t kProcessSpread = 0x9E3779B9u;

}  // namespace

std::uint32_t ClockSeed(std::int64_t seconds) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(seconds));
}

std::uint32_t HackSeed(std::int64_t seconds, std::uint32_t processId) {
    return ClockSeed(seconds) ^ (processId * kProcessSpread);
}

}  // namespace wendrel
