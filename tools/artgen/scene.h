// Shared description of the autumn lane: camera, sun, trees and the colours of leaves.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/artgen/canvas.h"

namespace art {

struct V3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline V3 operator+(V3 a, V3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator*(V3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline double dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
V3 normalize(V3 v);

// Camera: looking along +z from (0, kCamHeight, 0), y up; screen in final-pixel units.
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr double kFocal = 400.0;
constexpr double kHorizon = 226.0;
constexpr double kCamHeight = 2.0;
constexpr double kRoadHalf = 2.7;
constexpr double kFogDistance = 120.0;

// Direction toward the sun (low, ahead and to the left: the canopy is backlit).
V3 sun_dir();
Col sun_color();
Col sky_ambient();
Col haze_color(V3 view_dir);

// x of the middle of the lane at depth z (it bends gently to the left).
double road_center(double z);

// Leaf colour (linear albedo) for a hue on the autumn scale:
// 0 green, 1 yellow-green, 1.6 gold, 2.3 orange, 3 red, 3.6 deep red.
Col leaf_albedo(double hue);

struct Tree {
    double x = 0.0;
    double z = 0.0;
    double radius = 0.3;  // trunk radius at breast height
    double height = 8.0;  // where the trunk disappears into the crown
    double lean = 0.0;
    double bend = 0.0;
    V3 crown;
    V3 crown_radii;
    double hue = 2.0;
    int bark = 0;  // 0 rough dark, 1 smooth grey
    uint32_t seed = 0;
};

// Centre x of the trunk at height y.
double trunk_x(const Tree& t, double y);
double trunk_radius(const Tree& t, double y);

std::vector<Tree> make_trees();

// Fraction of direct sunlight reaching the ground point (x, z).
double ground_sun(const std::vector<Tree>& trees, double x, double z);

Col apply_fog(Col c, double dist, V3 view_dir);

}  // namespace art
