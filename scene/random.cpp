#include "scene/random.h"

namespace wendrel {
namespace {
std::uint32_t state = 1;
}

void SeedRandom(std::uint32_t seed) {
    state = seed;
}

int Rand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7fffu);
}

std::uint32_t RandomState() {
    return state;
}

}  // namespace wendrel
