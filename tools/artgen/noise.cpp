#include "tools/artgen/noise.h"

#include <cmath>

#include "tools/artgen/fmath.h"
#include "tools/artgen/rng.h"

namespace art {
namespace {

// Sixteen unit gradient directions (22.5 degree steps).
constexpr double kGrad2[16][2] = {
    {1.0, 0.0},  {0.92387953, 0.38268343},   {0.70710678, 0.70710678},   {0.38268343, 0.92387953},
    {0.0, 1.0},  {-0.38268343, 0.92387953},  {-0.70710678, 0.70710678},  {-0.92387953, 0.38268343},
    {-1.0, 0.0}, {-0.92387953, -0.38268343}, {-0.70710678, -0.70710678}, {-0.38268343, -0.92387953},
    {0.0, -1.0}, {0.38268343, -0.92387953},  {0.70710678, -0.70710678},  {0.92387953, -0.38268343}};

constexpr double kGrad3[16][3] = {
    {1, 1, 0}, {-1, 1, 0}, {1, -1, 0}, {-1, -1, 0}, {1, 0, 1}, {-1, 0, 1}, {1, 0, -1}, {-1, 0, -1},
    {0, 1, 1}, {0, -1, 1}, {0, 1, -1}, {0, -1, -1}, {1, 1, 0}, {-1, 1, 0}, {0, -1, 1}, {0, -1, -1}};

inline double fade(double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

inline double dot2(int ix, int iy, double fx, double fy, uint32_t seed) {
    const double* g = kGrad2[hash3(ix, iy, 0, seed) & 15u];
    return g[0] * fx + g[1] * fy;
}

inline double dot3(int ix, int iy, int iz, double fx, double fy, double fz, uint32_t seed) {
    const double* g = kGrad3[hash3(ix, iy, iz, seed) & 15u];
    return g[0] * fx + g[1] * fy + g[2] * fz;
}

// Fades out octaves finer than the pixel footprint, which would only alias.
double octave_weight(double freq, double footprint) {
    return footprint > 0.0 ? clamp01(2.0 - 3.0 * freq * footprint) : 1.0;
}

// Sums `octaves` octaves of doubling frequency and of amplitude falling by
// `gain`, each faded out once it is finer than `footprint` allows:
// octave(i, scale) gives octave i's share at amplitude times weight `scale`
// and moves the coordinates on to the next octave. The sum comes back
// divided by the amplitudes' total, 0 when no octave counted.
template <typename Octave>
double SumOctaves(int octaves, double footprint, double gain, Octave octave) {
    double sum = 0.0;
    double amp = 1.0;
    double norm = 0.0;
    double freq = 1.0;
    for (int i = 0; i < octaves; ++i) {
        const double weight = octave_weight(freq, footprint);
        if (weight <= 0.0) {
            break;
        }
        sum += octave(i, amp * weight);
        norm += amp;
        freq *= 2.0;
        amp *= gain;
    }
    return norm > 0.0 ? sum / norm : 0.0;
}

}  // namespace

double noise2(double x, double y, uint32_t seed) {
    double fx0 = std::floor(x);
    double fy0 = std::floor(y);
    int ix = static_cast<int>(fx0);
    int iy = static_cast<int>(fy0);
    double fx = x - fx0;
    double fy = y - fy0;
    double u = fade(fx);
    double v = fade(fy);
    double a = dot2(ix, iy, fx, fy, seed);
    double b = dot2(ix + 1, iy, fx - 1.0, fy, seed);
    double c = dot2(ix, iy + 1, fx, fy - 1.0, seed);
    double d = dot2(ix + 1, iy + 1, fx - 1.0, fy - 1.0, seed);
    return 1.4 * mixd(mixd(a, b, u), mixd(c, d, u), v);
}

double noise3(double x, double y, double z, uint32_t seed) {
    double fx0 = std::floor(x);
    double fy0 = std::floor(y);
    double fz0 = std::floor(z);
    int ix = static_cast<int>(fx0);
    int iy = static_cast<int>(fy0);
    int iz = static_cast<int>(fz0);
    double fx = x - fx0;
    double fy = y - fy0;
    double fz = z - fz0;
    double u = fade(fx);
    double v = fade(fy);
    double w = fade(fz);
    double r[2][2][2];
    for (int k = 0; k < 2; ++k) {
        for (int j = 0; j < 2; ++j) {
            for (int i = 0; i < 2; ++i) {
                r[k][j][i] = dot3(ix + i, iy + j, iz + k, fx - i, fy - j, fz - k, seed);
            }
        }
    }
    double z0 = mixd(mixd(r[0][0][0], r[0][0][1], u), mixd(r[0][1][0], r[0][1][1], u), v);
    double z1 = mixd(mixd(r[1][0][0], r[1][0][1], u), mixd(r[1][1][0], r[1][1][1], u), v);
    return mixd(z0, z1, w);
}

double fbm2(double x, double y, int octaves, uint32_t seed, double footprint, double gain) {
    return SumOctaves(octaves, footprint, gain,
                      [&](int i, double scale) {
                          const double n =
                              scale * noise2(x, y, seed + static_cast<uint32_t>(i) * 1013u);
                          // Rotate each octave (3-4-5 triangle) to hide the lattice.
                          double nx = 0.8 * x - 0.6 * y;
                          double ny = 0.6 * x + 0.8 * y;
                          x = nx * 2.0 + 17.3;
                          y = ny * 2.0 - 5.1;
                          return n;
                      }) *
           1.3;
}

double fbm3(double x, double y, double z, int octaves, uint32_t seed) {
    double sum = 0.0;
    double amp = 1.0;
    double norm = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * noise3(x, y, z, seed + static_cast<uint32_t>(i) * 7919u);
        norm += amp;
        x = x * 2.0 + 3.7;
        y = y * 2.0 - 1.3;
        z = z * 2.0 + 9.1;
        amp *= 0.5;
    }
    return sum / norm * 1.3;
}

double ridged2(double x, double y, int octaves, uint32_t seed, double footprint) {
    return SumOctaves(octaves, footprint, 0.5, [&](int i, double scale) {
        double n = 1.0 - std::fabs(noise2(x, y, seed + static_cast<uint32_t>(i) * 389u));
        const double share = scale * n * n;
        double nx = 0.8 * x - 0.6 * y;
        double ny = 0.6 * x + 0.8 * y;
        x = nx * 2.0 + 4.1;
        y = ny * 2.0 + 8.7;
        return share;
    });
}

}  // namespace art
