// Small deterministic random number generator (PCG32) and integer hashing.
#pragma once

#include <cstdint>

namespace art {

class Rng {
  public:
    explicit Rng(uint64_t seed, uint64_t stream = 0x5851f42d4c957f2dULL)
        : state_(0), inc_((stream << 1u) | 1u) {
        next();
        state_ += seed;
        next();
    }

    uint32_t next() {
        uint64_t old = state_;
        state_ = old * 6364136223846793005ULL + inc_;
        uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
        uint32_t rot = static_cast<uint32_t>(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    }

    // Uniform in [0, 1).
    double uniform() { return next() * (1.0 / 4294967296.0); }
    double range(double a, double b) { return a + (b - a) * uniform(); }
    int below(int n) { return static_cast<int>(uniform() * n); }
    // Roughly normal (Irwin-Hall with four terms), mean 0, deviation 1.
    double gauss() { return (uniform() + uniform() + uniform() + uniform() - 2.0) * 1.7320508; }

  private:
    uint64_t state_;
    uint64_t inc_;
};

inline uint32_t hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

inline uint32_t hash3(int x, int y, int z, uint32_t seed) {
    uint32_t h = hash32(static_cast<uint32_t>(x) * 0x8da6b343U ^ seed);
    h = hash32(h ^ (static_cast<uint32_t>(y) * 0xd8163841U));
    return hash32(h ^ (static_cast<uint32_t>(z) * 0xcb1ab31fU));
}

// Hash to [0, 1).
inline double hash_unit(int x, int y, uint32_t seed) {
    return hash3(x, y, 0, seed) * (1.0 / 4294967296.0);
}

}  // namespace art
