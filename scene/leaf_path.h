#pragma once

#include <cstdint>
#include <vector>

namespace wendrel {

// A leaf's centre in frame pixels, x to the right, y downward.
struct PathPoint {
    std::int32_t x;
    std::int32_t y;
    friend bool operator==(const PathPoint&, const PathPoint&) = default;
};

using PathPointArray = std::vector<PathPoint>;

// The jagged random walk from 48 pixels above the frame to below it (or out
// past a side margin), at least five points, its end point doubled.
PathPointArray PlanControlPoints(std::int32_t sceneWidth, std::int32_t sceneHeight);

// Uniform cubic B-spline through the control points, ten samples a span.
PathPointArray SmoothControlPoints(const PathPointArray& control);

}  // namespace wendrel
