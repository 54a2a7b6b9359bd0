#include "tools/artgen/scene.h"

#include <algorithm>
#include <cmath>

#include "tools/artgen/fmath.h"
#include "tools/artgen/noise.h"
#include "tools/artgen/rng.h"

namespace art {

V3 normalize(V3 v) {
    double l = std::sqrt(dot(v, v));
    return l > 0.0 ? v * (1.0 / l) : v;
}

V3 sun_dir() {
    return normalize({-0.42, 0.46, 0.78});
}
Col sun_color() {
    return Col{1.0, 0.80, 0.55} * 3.2;
}
Col sky_ambient() {
    return Col{0.42, 0.46, 0.52} * 0.55;
}

Col haze_color(V3 d) {
    double s = clamp01(dot(d, sun_dir()));
    Col base{0.42, 0.44, 0.42};
    Col warm{1.00, 0.82, 0.55};
    return mix(base, warm, fpow(s, 4.0));
}

Col apply_fog(Col c, double dist, V3 view_dir) {
    double f = 1.0 - fexp(-dist / kFogDistance);
    return mix(c, haze_color(view_dir), f * 0.85);
}

double road_center(double z) {
    return -0.0011 * z * z;
}

Col leaf_albedo(double hue) {
    static const double stops[] = {0.0, 1.0, 1.6, 2.3, 3.0, 3.6};
    static const uint32_t cols[] = {0x486a1a, 0x98a426, 0xe6b41e, 0xe8761a, 0xcc3416, 0x901610};
    hue = clampd(hue, 0.0, 3.6);
    int i = 0;
    while (i < 4 && hue > stops[i + 1]) {
        ++i;
    }
    double t = (hue - stops[i]) / (stops[i + 1] - stops[i]);
    return mix(from_srgb(cols[i]), from_srgb(cols[i + 1]), t) * 0.78;
}

double trunk_x(const Tree& t, double y) {
    return t.x + t.lean * y + t.bend * y * y;
}

double trunk_radius(const Tree& t, double y) {
    double taper = 1.0 - 0.45 * clamp01(y / t.height);
    double flare = 1.0 + 0.55 * fexp(-y / 0.35);
    return t.radius * taper * flare;
}

namespace {

double pick_hue(Rng& rng) {
    double p = rng.uniform();
    double h;
    if (p < 0.14) {
        h = 0.15;
    } else if (p < 0.24) {
        h = 1.0;
    } else if (p < 0.48) {
        h = 1.65;
    } else if (p < 0.76) {
        h = 2.3;
    } else if (p < 0.93) {
        h = 2.95;
    } else {
        h = 3.45;
    }
    return h + rng.range(-0.2, 0.2);
}

Tree make_tree(Rng& rng, double z, double u, double side, bool roadside) {
    Tree t;
    t.z = z;
    t.x = road_center(z) + u;
    t.radius = roadside ? rng.range(0.17, 0.36) : rng.range(0.10, 0.24);
    t.lean = -side * rng.range(0.0, 0.06);  // lean a little over the lane
    t.bend = rng.range(-0.004, 0.004);
    double cy = roadside ? rng.range(6.5, 10.5) : rng.range(6.0, 10.5);
    double reach = roadside ? rng.range(1.4, 3.4) : rng.range(-1.0, 1.0);
    t.crown = {t.x - side * reach, cy, z + rng.range(-0.5, 0.5)};
    t.crown_radii = {rng.range(3.6, 5.4), rng.range(3.4, 4.8), rng.range(3.2, 4.6)};
    if (!roadside) {
        t.crown_radii = t.crown_radii * 0.85;
    }
    t.height = cy + 1.0;
    t.hue = pick_hue(rng);
    t.bark = rng.uniform() < 0.3 ? 1 : 0;
    t.seed = rng.next();
    return t;
}

}  // namespace

std::vector<Tree> make_trees() {
    Rng rng(20241031);
    std::vector<Tree> trees;
    for (int s = 0; s < 2; ++s) {
        double side = s == 0 ? -1.0 : 1.0;
        double z = rng.range(2.5, 5.0);
        while (z < 175.0) {
            double u = side * (kRoadHalf + rng.range(1.0, 3.0));
            trees.push_back(make_tree(rng, z, u, side, true));
            z += rng.range(5.5, 10.0);
        }
        z = rng.range(4.0, 7.0);
        while (z < 175.0) {
            double u = side * (kRoadHalf + rng.range(5.0, 22.0));
            trees.push_back(make_tree(rng, z, u, side, false));
            z += rng.range(2.0, 4.5);
        }
    }
    // Undergrowth: low bushes without visible trunks fill the forest behind the rows.
    for (int s = 0; s < 2; ++s) {
        double side = s == 0 ? -1.0 : 1.0;
        double z = rng.range(9.0, 14.0);
        while (z < 150.0) {
            Tree b;
            b.z = z;
            b.x = road_center(z) + side * (kRoadHalf + rng.range(5.0, 18.0));
            b.radius = 0.0;
            b.height = 0.0;
            b.crown = {b.x, rng.range(0.6, 1.6), z};
            b.crown_radii = {rng.range(1.2, 2.6), rng.range(0.8, 1.5), rng.range(1.0, 2.0)};
            b.hue = rng.uniform() < 0.5 ? rng.range(0.7, 1.4) : rng.range(1.6, 2.6);
            b.seed = rng.next();
            trees.push_back(b);
            z += rng.range(2.0, 5.0);
        }
    }
    std::stable_sort(trees.begin(), trees.end(),
                     [](const Tree& a, const Tree& b) { return a.z < b.z; });
    return trees;
}

double ground_sun(const std::vector<Tree>& trees, double x, double z) {
    const V3 L = sun_dir();
    const double kx = L.x / L.y;  // ground offset per metre of height
    const double kz = L.z / L.y;
    const double hl = std::sqrt(L.x * L.x + L.z * L.z);
    const double dx = -L.x / hl;  // shadow direction on the ground
    const double dz = -L.z / hl;
    const double stretch = 1.0 / L.y;
    double canopy = 0.0;
    double trunk = 1.0;
    for (const Tree& t : trees) {
        if (t.z - z > 40.0) {
            break;
        }
        if (z - t.z > 4.0) {
            continue;
        }
        // Crown shadow: the crown ellipsoid projected along the sun onto the ground.
        double gx = t.crown.x - kx * t.crown.y;
        double gz = t.crown.z - kz * t.crown.y;
        double rx = x - gx;
        double rz = z - gz;
        double along = rx * dx + rz * dz;
        double across = -rx * dz + rz * dx;
        if (t.radius <= 0.0) {
            continue;
        }
        double ra = t.crown_radii.y * stretch * 1.0;
        double rc = t.crown_radii.x * 1.05;
        double e = (along * along) / (ra * ra) + (across * across) / (rc * rc);
        if (e < 1.0) {
            canopy += smoothstep(1.0, 0.35, e);
        }
        // Trunk shadow: a long band from the trunk base away from the sun.
        double bx = x - t.x;
        double bz = z - t.z;
        double a = bx * dx + bz * dz;
        double len = t.height * hl / L.y;
        if (a > 0.0 && a < len) {
            double h = a * L.y / hl;
            double c = std::fabs(-bx * dz + bz * dx - (trunk_x(t, h) - t.x) * dz);
            double r = trunk_radius(t, h) + 0.02 * a;
            if (c < r + 0.08) {
                trunk = std::min(trunk, smoothstep(r - 0.04 - 0.01 * a, r + 0.08, c));
            }
        }
    }
    // Dapples: holes in the foliage let light through in elongated flecks.
    double nu = x * dz - z * dx;
    double nv = (x * dx + z * dz) * 0.5;
    double holes = fbm2(nu * 0.9, nv * 0.9, 4, 9191u);
    double open = smoothstep(0.16, 0.34, holes + 0.12 - 0.2 * std::min(canopy, 1.5));
    double vis = 1.0 - clamp01(canopy + 0.4) * (1.0 - open);
    return vis * trunk;
}

}  // namespace art
