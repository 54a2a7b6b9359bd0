#include "tools/artgen/trees.h"

#include <algorithm>
#include <cmath>

#include "tools/artgen/fmath.h"
#include "tools/artgen/ground.h"
#include "tools/artgen/noise.h"
#include "tools/artgen/rng.h"

namespace art {
namespace {

struct Blob {
    V3 p;
    double r;
    double hue;
    int tree;
    uint32_t seed;
};

struct Limb {
    V3 a;
    V3 b;
    double ra;
    double rb;
    int tree;
};

struct Item {
    double depth;
    int kind;  // 0 trunk, 1 limb, 2 blob
    int index;
};

V3 random_in_ball(Rng& rng) {
    for (;;) {
        V3 v{rng.range(-1, 1), rng.range(-1, 1), rng.range(-1, 1)};
        if (dot(v, v) <= 1.0) {
            return v;
        }
    }
}

Col bark_albedo(const Tree& t, double arc, double y, double fp) {
    if (t.bark == 1) {
        // Smooth grey bark with pale and dark mottles.
        double m = fbm2(arc * 3.0, y * 1.5, 4, t.seed, fp * 3.0);
        Col c = mix(from_srgb(0x6a6660), from_srgb(0x9a968c), clamp01(0.5 + m));
        double moss = smoothstep(0.1, 0.5, fbm2(arc * 2.0, y * 0.8, 3, t.seed + 1u)) *
                      smoothstep(2.5, 0.0, y);
        return mix(c, from_srgb(0x4e5a22), moss) * 0.7;
    }
    // Rough bark: vertical ridges and dark furrows.
    double ridge = ridged2(arc * 9.0, y * 1.1, 4, t.seed, fp * 9.0);
    double fine = fbm2(arc * 30.0, y * 6.0, 3, t.seed + 2u, fp * 30.0);
    Col c = mix(from_srgb(0x1e1814), from_srgb(0x5a5046), clamp01(ridge * 1.1 + 0.2 * fine));
    double moss =
        smoothstep(0.0, 0.5, fbm2(arc * 1.5, y * 0.6, 3, t.seed + 3u)) * smoothstep(3.5, 0.5, y);
    return mix(c, from_srgb(0x3e4a1c), moss * 0.6) * 0.75;
}

// Light on a leaf at world position p belonging to tree t, leaf facing f in [0, 1].
Col leaf_light(const Tree& t, V3 p, V3 local, double facing, Col albedo) {
    const V3 L = sun_dir();
    V3 q{(p.x - t.crown.x) / t.crown_radii.x, (p.y - t.crown.y) / t.crown_radii.y,
         (p.z - t.crown.z) / t.crown_radii.z};
    double rho = std::sqrt(dot(q, q));
    V3 n = rho > 1e-6 ? q * (1.0 / rho) : V3{0, 1, 0};
    double sunside = dot(n, L);
    double outer = smoothstep(0.25, 1.0, rho);
    double expo = outer * clamp01(0.45 + 0.75 * sunside);
    // Other crowns and branches throw patchy shade.
    expo *= smoothstep(-0.12, 0.12, fbm3(p.x * 0.25, p.y * 0.25, p.z * 0.25, 3, t.seed) + 0.05);
    expo *= clamp01(0.45 + 0.7 * dot(local, L));
    double height = clamp01((p.y - 2.0) / 12.0);
    double amb = (0.25 + 0.75 * outer) * (0.45 + 0.55 * height) * (0.7 + 0.3 * facing);
    // Backlit leaves glow: light passing through the blade is deeper in colour.
    V3 v = normalize(p - V3{0, kCamHeight, 0});
    double back = 0.5 + 0.5 * dot(v, L);
    Col through = saturate(albedo, 1.35) * (1.6 * back * back);
    Col reflect = albedo * (0.35 * facing);
    if (t.radius <= 0.0) {
        amb *= 0.5;  // undergrowth sits in the shade of the trees
        expo *= 0.25;
        albedo = albedo * 0.6;
    }
    return albedo * (sky_ambient() * (0.75 * amb)) + (through + reflect) * sun_color() * expo;
}

class TreePainter {
  public:
    TreePainter(Canvas& canvas, const std::vector<Tree>& trees) : c_(canvas), trees_(trees) {}

    void build() {
        Rng rng(4242);
        for (size_t i = 0; i < trees_.size(); ++i) {
            const Tree& t = trees_[i];
            int ti = static_cast<int>(i);
            bool bush = t.radius <= 0.0;
            if (!bush) {
                items_.push_back({t.z, 0, ti});
            }
            bool roadside = t.radius > 0.16 && std::fabs(t.x - road_center(t.z)) < kRoadHalf + 3.2;
            int limbs = bush ? 0 : 3 + rng.below(4);
            for (int k = 0; k < limbs; ++k) {
                double h0 = t.crown.y - t.crown_radii.y * rng.range(0.4, 0.9);
                V3 a{trunk_x(t, h0), h0, t.z};
                V3 dir = random_in_ball(rng);
                dir.y = std::fabs(dir.y) + 0.3;
                V3 b = t.crown + V3{dir.x * t.crown_radii.x, dir.y * t.crown_radii.y * 0.5,
                                    dir.z * t.crown_radii.z} *
                                     0.75;
                limbs_.push_back({a, b, trunk_radius(t, h0) * 0.55, 0.03, ti});
                items_.push_back({(a.z + b.z) * 0.5 + 0.3, 1, static_cast<int>(limbs_.size() - 1)});
            }
            int count = bush ? 40 : (roadside ? 420 : 200);
            for (int k = 0; k < count; ++k) {
                V3 d = random_in_ball(rng);
                double l = std::sqrt(dot(d, d));
                if (l < 1e-6) {
                    continue;
                }
                double rho =
                    k < count / 8 ? rng.range(0.2, 0.6) : 0.6 + 0.4 * std::sqrt(rng.uniform());
                d = d * (rho / l);
                if (!bush && k % 12 == 0) {
                    // Drooping sprays below the crown.
                    d.y = -rng.range(0.8, 1.2);
                    d.x *= 0.8;
                }
                V3 p = t.crown +
                       V3{d.x * t.crown_radii.x, d.y * t.crown_radii.y, d.z * t.crown_radii.z};
                // Clumping: leave gaps in the crown where the noise is low.
                if (fbm3(p.x * 0.3, p.y * 0.3, p.z * 0.3, 3, t.seed + 5u) < -0.3) {
                    continue;
                }
                if (p.y < (bush ? 0.2 : 2.5)) {
                    continue;
                }
                Blob b;
                b.p = p;
                b.r = rng.range(0.55, 1.05) * (roadside ? 1.0 : 0.9) * (bush ? 0.7 : 1.0);
                b.hue = t.hue + 0.45 * fbm3(p.x * 0.2, p.y * 0.2, p.z * 0.2, 3, 99u) +
                        0.12 * rng.gauss();
                b.tree = ti;
                b.seed = rng.next();
                blobs_.push_back(b);
                items_.push_back({p.z, 2, static_cast<int>(blobs_.size() - 1)});
            }
        }
        std::stable_sort(items_.begin(), items_.end(),
                         [](const Item& a, const Item& b) { return a.depth > b.depth; });
    }

    void paint() {
        for (const Item& it : items_) {
            if (it.kind == 0) {
                trunk(trees_[static_cast<size_t>(it.index)]);
            } else if (it.kind == 1) {
                limb(limbs_[static_cast<size_t>(it.index)]);
            } else {
                blob(blobs_[static_cast<size_t>(it.index)]);
            }
        }
    }

  private:
    double ss() const { return c_.ss(); }
    double proj_x(double x, double z) const { return (kWidth / 2.0 + kFocal * x / z) * ss(); }
    double proj_y(double y, double z) const {
        return (kHorizon - kFocal * (y - kCamHeight) / z) * ss();
    }

    void trunk(const Tree& t) {
        const V3 L = sun_dir();
        double ybase = proj_y(0.0, t.z);
        double ytop = proj_y(t.height, t.z);
        int s0 = std::max(0, static_cast<int>(ytop));
        int s1 = std::min(c_.sh() - 1, static_cast<int>(ybase));
        double fp = t.z / (kFocal * ss());
        for (int sy = s0; sy <= s1; ++sy) {
            double y = kCamHeight - ((sy + 0.5) / ss() - kHorizon) * t.z / kFocal;
            if (y < -0.05 || y > t.height) {
                continue;
            }
            double r = trunk_radius(t, y);
            double cx = proj_x(trunk_x(t, y), t.z);
            double hw = kFocal * r / t.z * ss();
            int x0 = std::max(0, static_cast<int>(cx - hw));
            int x1 = std::min(c_.sw() - 1, static_cast<int>(cx + hw));
            // Sun flecks on the bark under the canopy.
            double fleck = smoothstep(0.2, 0.4, fbm2(y * 0.8, t.z * 0.3, 3, t.seed + 9u));
            for (int sx = x0; sx <= x1; ++sx) {
                double tt = ((sx + 0.5) - cx) / hw;
                if (std::fabs(tt) >= 1.0) {
                    continue;
                }
                double nz = -std::sqrt(1.0 - tt * tt);
                double arc = (tt < 0 ? -1.0 : 1.0) * fatan(std::fabs(tt) / std::max(-nz, 0.05)) * r;
                Col alb = bark_albedo(t, arc + t.seed % 97, y, fp / std::max(-nz, 0.2));
                double ndl = std::max(0.0, tt * L.x + nz * L.z);
                double amb = 0.3 + 0.7 * (-nz);
                amb *= 0.6 + 0.4 * smoothstep(0.0, 1.5, y);
                Col col = alb * (sky_ambient() * amb * 1.3 + sun_color() * (ndl * fleck * 0.9));
                // Warm bounce light from the leaf-covered ground near the base.
                col = col + alb * (Col{0.20, 0.12, 0.05} * smoothstep(2.0, 0.0, y));
                V3 d = view_dir(c_, sx + 0.5, sy + 0.5);
                c_.at(sx, sy) = apply_fog(col, t.z, d);
            }
        }
    }

    void limb(const Limb& l) {
        const Tree& t = trees_[static_cast<size_t>(l.tree)];
        double za = l.a.z;
        double len = std::sqrt(dot(l.b - l.a, l.b - l.a));
        double pix = kFocal * len / za * ss();
        int steps = std::max(2, static_cast<int>(pix / 1.5));
        for (int i = 0; i <= steps; ++i) {
            double s = static_cast<double>(i) / steps;
            V3 p = l.a + (l.b - l.a) * s;
            double r = mixd(l.ra, l.rb, fpow(s, 0.7));
            double cx = proj_x(p.x, p.z);
            double cy = proj_y(p.y, p.z);
            double rr = kFocal * r / p.z * ss();
            if (rr < 0.35) {
                rr = 0.35;
            }
            int x0 = std::max(0, static_cast<int>(cx - rr - 1));
            int x1 = std::min(c_.sw() - 1, static_cast<int>(cx + rr + 1));
            int y0 = std::max(0, static_cast<int>(cy - rr - 1));
            int y1 = std::min(c_.sh() - 1, static_cast<int>(cy + rr + 1));
            for (int sy = y0; sy <= y1; ++sy) {
                for (int sx = x0; sx <= x1; ++sx) {
                    double dx = (sx + 0.5 - cx) / rr;
                    double dy = (sy + 0.5 - cy) / rr;
                    if (dx * dx + dy * dy > 1.0) {
                        continue;
                    }
                    Col alb = bark_albedo(t, dx * r, p.y + s * 3.0, 0.05);
                    double amb = 0.35 + 0.5 * (1.0 - std::fabs(dx));
                    Col col = alb * (sky_ambient() * amb) +
                              alb * (sun_color() * (0.2 * std::max(0.0, -dx)));
                    V3 d = view_dir(c_, sx + 0.5, sy + 0.5);
                    c_.at(sx, sy) = apply_fog(col, p.z, d);
                }
            }
        }
    }

    void blob(const Blob& b) {
        const Tree& t = trees_[static_cast<size_t>(b.tree)];
        double z = b.p.z;
        if (z < 0.8) {
            return;
        }
        double R = kFocal * b.r / z * ss();
        double cx = proj_x(b.p.x, z);
        double cy = proj_y(b.p.y, z);
        if (cx + R < 0 || cx - R > c_.sw() || cy + R < 0 || cy - R > c_.sh()) {
            return;
        }
        double leaf = kFocal * 0.085 / z * ss();
        double s = std::max(leaf, 1.1);
        int n = static_cast<int>(2.4 * (R / s) * (R / s));
        n = std::clamp(n, 4, 900);
        Rng rng(b.seed);
        struct L {
            V3 d;
            double angle, len, aspect, hue, facing;
        };
        std::vector<L> ls;
        ls.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            L l;
            l.d = random_in_ball(rng);
            // Fluffy outline: fewer leaves near the rim.
            if (dot(l.d, l.d) > 0.6 && rng.uniform() < 0.5) {
                continue;
            }
            l.angle = rng.range(0.0, kPi);
            l.len = s * rng.range(0.7, 1.3);
            l.aspect = rng.range(0.3, 0.65);
            l.hue = b.hue + 0.22 * rng.gauss();
            l.facing = rng.uniform();
            ls.push_back(l);
        }
        std::stable_sort(ls.begin(), ls.end(),
                         [](const L& a, const L& c) { return a.d.z > c.d.z; });
        V3 vd = view_dir(c_, cx, cy);
        double dist = z / std::max(vd.z, 0.3);
        for (const L& l : ls) {
            V3 p = b.p + l.d * b.r;
            Col alb = leaf_albedo(l.hue) * (0.8 + 0.35 * l.facing);
            Col col = leaf_light(t, p, l.d, l.facing, alb);
            col = apply_fog(col, dist, vd);
            double lx = cx + l.d.x * R;
            double ly = cy - l.d.y * R;
            double ca = fcos(l.angle);
            double sa = fsin(l.angle);
            double ext = l.len + 1.0;
            int x0 = std::max(0, static_cast<int>(lx - ext));
            int x1 = std::min(c_.sw() - 1, static_cast<int>(lx + ext));
            int y0 = std::max(0, static_cast<int>(ly - ext));
            int y1 = std::min(c_.sh() - 1, static_cast<int>(ly + ext));
            for (int sy = y0; sy <= y1; ++sy) {
                for (int sx = x0; sx <= x1; ++sx) {
                    double dx = sx + 0.5 - lx;
                    double dy = sy + 0.5 - ly;
                    double a = (dx * ca + dy * sa) / l.len;
                    double bb = (-dx * sa + dy * ca) / (l.len * l.aspect);
                    if (std::fabs(a) >= 1.0) {
                        continue;
                    }
                    double w = fpow(1.0 - a * a, 0.8);
                    if (std::fabs(bb) >= w) {
                        continue;
                    }
                    double shade = 1.0 + 0.18 * a + (bb > 0 ? 0.06 : -0.06);
                    if (l.len > 7.0 && std::fabs(bb) < 0.07) {
                        shade *= 0.8;
                    }
                    c_.at(sx, sy) = col * shade;
                }
            }
        }
    }

    Canvas& c_;
    const std::vector<Tree>& trees_;
    std::vector<Blob> blobs_;
    std::vector<Limb> limbs_;
    std::vector<Item> items_;
};

}  // namespace

void paint_trees(Canvas& canvas, const std::vector<Tree>& trees) {
    TreePainter p(canvas, trees);
    p.build();
    p.paint();
}

}  // namespace art
