// Leaves are turned by trunc(sin(a * 0.01) * 1024) and its cosine
// counterparts. Two faithful maths libraries can differ in the last bit of
// sin and cos; that can change the truncated value only when it lies very
// close to a whole number. This checks no angle a leaf can reach does, so
// every build draws the same pixels.
#include <gtest/gtest.h>

#include <cmath>

namespace wendrel {
namespace {

// Spin and tilt change by at most 32 a tick and a leaf lives at most a few
// thousand ticks; this range holds every angle with a wide margin.
constexpr int kWidestAngle = 200000;

double DistanceToWhole(double v) {
    return std::fabs(v - std::nearbyint(v));
}

TEST(TrigMargin, ScaledSinesAndCosinesStayClearOfWholeNumbers) {
    int closest = 0;
    double margin = 1.0;
    for (int a = -kWidestAngle; a <= kWidestAngle; ++a) {
        const double x = a * 0.01;
        for (double v : {std::sin(x) * 1024, std::cos(x) * 1024}) {
            if (v == std::nearbyint(v))
                continue;  // exact: sin(0) and cos(0)
            const double d = DistanceToWhole(v);
            if (d < margin) {
                margin = d;
                closest = a;
            }
        }
    }
    // A last-bit difference moves a value by about 1e-13 here.
    EXPECT_GT(margin, 1e-11) << "angle " << closest;
}

}  // namespace
}  // namespace wendrel
