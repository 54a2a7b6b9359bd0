// Gradient noise and fractal sums in 2D and 3D, seeded and deterministic.
#pragma once

#include <cstdint>

namespace art {

// Gradient noise, roughly in [-1, 1].
double noise2(double x, double y, uint32_t seed);
double noise3(double x, double y, double z, uint32_t seed);

// Fractal sum of octaves. footprint is the size of one pixel in noise units: octaves finer than
// a pixel fade out (cheap anti-aliasing). Pass 0 for no limit.
double fbm2(double x, double y, int octaves, uint32_t seed, double footprint = 0.0,
            double gain = 0.5);
double fbm3(double x, double y, double z, int octaves, uint32_t seed);
// Ridged fractal (sharp creases near 1).
double ridged2(double x, double y, int octaves, uint32_t seed, double footprint = 0.0);

}  // namespace art
