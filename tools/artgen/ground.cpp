#include "tools/artgen/ground.h"

#include <algorithm>
#include <cmath>

#include "tools/artgen/fmath.h"
#include "tools/artgen/noise.h"
#include "tools/artgen/rng.h"

namespace art {

V3 view_dir(const Canvas& canvas, double sx, double sy) {
    double x = (sx / canvas.ss() - kWidth / 2.0) / kFocal;
    double y = (kHorizon - sy / canvas.ss()) / kFocal;
    return normalize({x, y, 1.0});
}

void paint_sky(Canvas& canvas) {
    const V3 L = sun_dir();
    for (int sy = 0; sy < canvas.sh(); ++sy) {
        for (int sx = 0; sx < canvas.sw(); ++sx) {
            V3 d = view_dir(canvas, sx + 0.5, sy + 0.5);
            double e = clamp01(d.y);
            Col horizon{0.95, 0.92, 0.85};
            Col zenith{0.22, 0.42, 0.85};
            Col c = mix(horizon, zenith, smoothstep(0.0, 0.7, e));
            double s = clamp01(dot(d, L));
            c = c + Col{1.6, 1.3, 0.9} * fpow(s, 12.0) + Col{0.5, 0.4, 0.3} * fpow(s, 3.0);
            // Distant tree line, lost in haze.
            double px = sx / static_cast<double>(canvas.ss());
            double top = kHorizon - 16.0 - 9.0 * fbm2(px * 0.018, 1.0, 4, 515u) -
                         4.0 * std::fabs(fbm2(px * 0.11, 2.0, 3, 516u));
            double py = sy / static_cast<double>(canvas.ss());
            if (py > top) {
                double n = fbm2(px * 0.08, py * 0.12, 4, 517u);
                Col wall = leaf_albedo(1.8 + 1.2 * n) * (0.6 + 0.3 * n);
                c = apply_fog(wall * 1.4, 160.0, d);
            }
            canvas.at(sx, sy) = c;
        }
    }
}

namespace {

// Albedo of the leaf litter carpet at (x, z).
Col litter(double x, double z, double fp, uint32_t seed) {
    double hue = 2.2 + 1.3 * fbm2(x * 1.7, z * 1.7, 3, seed);
    double fine = fbm2(x * 9.0, z * 9.0, 4, seed + 1u, fp * 9.0);
    Col c = leaf_albedo(hue + 0.6 * fine) * (0.55 + 0.25 * fine);
    Col brown = from_srgb(0x6a4424) * 0.75;
    return mix(c, brown, clamp01(0.45 + 0.5 * fbm2(x * 4.0, z * 4.0, 3, seed + 2u, fp * 4.0)));
}

}  // namespace

void paint_ground(Canvas& canvas, const std::vector<Tree>& trees) {
    const V3 L = sun_dir();
    const Col sun = sun_color();
    const Col amb = sky_ambient();
    const int first = static_cast<int>(std::floor(kHorizon * canvas.ss())) + 1;
    for (int sy = first; sy < canvas.sh(); ++sy) {
        double y = (sy + 0.5) / canvas.ss();
        double z = kFocal * kCamHeight / (y - kHorizon);
        if (z > 260.0) {
            continue;
        }
        double fp = z / (kFocal * canvas.ss());
        double fpv = fp * z / kCamHeight;
        double fpe = std::sqrt(fp * fpv);
        for (int sx = 0; sx < canvas.sw(); ++sx) {
            double x = ((sx + 0.5) / canvas.ss() - kWidth / 2.0) * z / kFocal;
            double u = x - road_center(z);
            double au = std::fabs(u);
            uint32_t side_seed = u < 0 ? 100u : 200u;
            double edge = kRoadHalf + 0.10 * fbm2(z * 0.9, 0.0, 3, side_seed) +
                          0.05 * fbm2(z * 6.0, 1.0, 2, side_seed, fpv * 6.0);
            Col alb;
            double glint = 0.0;
            // Asphalt.
            double big = fbm2(x * 0.35, z * 0.35, 3, 31u);
            double grain = fbm2(x * 14.0, z * 14.0, 4, 32u, fpe * 14.0);
            Col asphalt = from_srgb(0x54514c) * (0.82 + 0.18 * big + 0.22 * grain);
            double patch = smoothstep(0.35, 0.45, fbm2(x * 0.25 + 7.0, z * 0.12, 3, 33u));
            asphalt = mix(asphalt, from_srgb(0x3a3937), patch * 0.8);
            double crack = ridged2(x * 1.3, z * 0.8, 4, 34u, fpe * 1.3);
            asphalt =
                asphalt * (1.0 - 0.5 * smoothstep(0.86, 0.95, crack) * clamp01(1.5 - fpe * 20));
            // Faint worn edge line.
            double line_d = std::fabs(au - (kRoadHalf - 0.3));
            double line = clamp01((0.06 - line_d) / std::max(fp, 0.004) + 0.5);
            line *= smoothstep(-0.35, 0.1, fbm2(z * 1.5, u * 0.2, 3, 35u, fpv * 1.5)) * 0.55;
            asphalt = mix(asphalt, from_srgb(0xc8c6bc), line);
            // Leaf litter gathers along the edge and on the verge; grass further out.
            Col lit = litter(x, z, fpe, 41u);
            Col grass = mix(from_srgb(0x4a5a1e), from_srgb(0x6a6028),
                            clamp01(0.5 + fbm2(x * 2.0, z * 2.0, 3, 42u, fpe * 2.0))) *
                        0.7;
            double leafy = smoothstep(
                0.2, 0.7,
                fbm2(x * 0.8, z * 0.8, 3, 43u) + 0.55 - 0.08 * std::max(0.0, au - kRoadHalf - 1.5));
            Col verge = mix(grass, lit, leafy);
            double to_edge = au - edge;
            double drift = smoothstep(-0.55, 0.0, to_edge) *
                           smoothstep(0.0, 0.45, fbm2(x * 2.2, z * 2.2, 3, 44u) + 0.2);
            if (to_edge < 0.0) {
                alb = mix(asphalt, lit, drift * 0.8);
                glint = 1.0 - drift;
            } else {
                alb = verge;
            }
            // Far forest floor is darker and browner.
            double deep = smoothstep(5.0, 14.0, au);
            alb = mix(alb, from_srgb(0x3a2a1a) * 0.8, deep * 0.6);

            double vis = ground_sun(trees, x, z);
            V3 d = view_dir(canvas, sx + 0.5, sy + 0.5);
            double cover = 0.75 - 0.25 * deep;
            Col c = alb * (amb * cover + sun * (vis * L.y));
            if (glint > 0.0) {
                V3 r{d.x, -d.y, d.z};
                double s = clamp01(dot(r, L));
                c = c + sun * (0.05 * glint * fpow(s, 8.0) * (0.3 + 0.7 * vis));
            }
            double dist = z * std::sqrt(1.0 + d.x * d.x / (d.z * d.z));
            canvas.at(sx, sy) = apply_fog(c, dist, d);
        }
    }
}

namespace {

struct GroundLeaf {
    double x, z, size, angle, aspect, hue, bright;
    int shape;
};

bool leaf_shape(int shape, double a, double b) {
    if (shape == 0) {
        if (std::fabs(a) >= 1.0) {
            return false;
        }
        return std::fabs(b) < fpow(1.0 - a * a, 0.8);
    }
    double r = std::sqrt(a * a + b * b);
    double th = fatan2(b, a);
    double lobes = 0.55 + 0.45 * fpow(std::fabs(fcos(2.5 * th)), 0.7);
    return r < lobes;
}

}  // namespace

void paint_fallen_leaves(Canvas& canvas, const std::vector<Tree>& trees) {
    Rng rng(777);
    std::vector<GroundLeaf> leaves;
    const double z_end = 60.0;
    // Density per square metre by distance from the lane's middle.
    for (double z = 3.0; z < z_end; z += 0.25) {
        for (double u = -10.0; u < 10.0; u += 0.25) {
            double au = std::fabs(u);
            double dens;
            if (au < kRoadHalf - 0.6) {
                dens = 3.0;
            } else if (au < kRoadHalf + 1.6) {
                dens = 120.0;
            } else {
                dens = 55.0;
            }
            double n = fbm2(u * 0.7, z * 0.7, 3, 43u);
            dens *= clamp01(0.6 + n);
            double expect = dens * 0.0625 * (1.0 - z / z_end * 0.5);
            int count = static_cast<int>(expect);
            if (rng.uniform() < expect - count) {
                ++count;
            }
            for (int i = 0; i < count; ++i) {
                GroundLeaf l;
                l.z = z + rng.uniform() * 0.25;
                l.x = road_center(l.z) + u + rng.uniform() * 0.25;
                l.size = rng.range(0.045, 0.085);
                l.angle = rng.range(0.0, 2.0 * kPi);
                l.aspect = rng.range(0.4, 0.65);
                double p = rng.uniform();
                l.hue = p < 0.1 ? rng.range(0.6, 1.4) : rng.range(1.5, 3.6);
                l.bright = rng.range(0.6, 1.05);
                l.shape = rng.uniform() < 0.35 ? 1 : 0;
                leaves.push_back(l);
            }
        }
    }
    std::stable_sort(leaves.begin(), leaves.end(),
                     [](const GroundLeaf& a, const GroundLeaf& b) { return a.z > b.z; });
    const V3 L = sun_dir();
    const Col sun = sun_color();
    const Col amb = sky_ambient();
    const double ss = canvas.ss();
    for (const GroundLeaf& l : leaves) {
        double cx = (kWidth / 2.0 + kFocal * l.x / l.z) * ss;
        double cy = (kHorizon + kFocal * kCamHeight / l.z) * ss;
        double hx = kFocal * l.size / l.z * ss + 1.0;
        double hy = kFocal * kCamHeight * l.size / (l.z * l.z) * ss * 1.3 + 1.0;
        int x0 = std::max(0, static_cast<int>(cx - hx));
        int x1 = std::min(canvas.sw() - 1, static_cast<int>(cx + hx));
        int y0 = std::max(0, static_cast<int>(cy - hy));
        int y1 = std::min(canvas.sh() - 1, static_cast<int>(cy + hy));
        if (x0 > x1 || y0 > y1) {
            continue;
        }
        double vis = ground_sun(trees, l.x, l.z);
        Col alb = leaf_albedo(l.hue) * l.bright;
        double ca = fcos(l.angle);
        double sa = fsin(l.angle);
        // Curled leaves: one half faces the sun more than the other.
        for (int sy = y0; sy <= y1; ++sy) {
            double y = (sy + 0.5) / ss;
            if (y <= kHorizon + 0.5) {
                continue;
            }
            double z = kFocal * kCamHeight / (y - kHorizon);
            for (int sx = x0; sx <= x1; ++sx) {
                double x = ((sx + 0.5) / ss - kWidth / 2.0) * z / kFocal;
                double dx = x - l.x;
                double dz = z - l.z;
                double a = (dx * ca + dz * sa) / l.size;
                double b = (-dx * sa + dz * ca) / (l.size * l.aspect);
                if (!leaf_shape(l.shape, a, l.shape == 0 ? b : b * l.aspect)) {
                    continue;
                }
                double curl = 1.0 + 0.25 * (b > 0 ? 1.0 : -0.6) * std::min(1.0, std::fabs(b));
                double rib = (l.shape == 0 && std::fabs(b) < 0.08 && l.z < 12.0) ? 0.75 : 1.0;
                Col c = alb * (amb * 0.8 + sun * (vis * L.y * curl)) * rib;
                V3 d = view_dir(canvas, sx + 0.5, sy + 0.5);
                canvas.at(sx, sy) = apply_fog(c, z, d);
            }
        }
    }
}

}  // namespace art
