#include "tools/artgen/leaves.h"

#include <cmath>

#include "tools/artgen/canvas.h"
#include "tools/artgen/fmath.h"
#include "tools/artgen/noise.h"

namespace art {
namespace {

// Leaf space: the blade runs from its base (0, 0) to its tip (0, 1); u is across the blade.
// Blade functions return a signed value, positive inside.

double maple_blade(double u, double v) {
    double x = u;
    double y = v - 0.42;
    double r = std::sqrt(x * x + y * y);
    double th = fatan2(x, y);  // 0 toward the tip
    const double lobe_at[5] = {0.0, 1.2, -1.2, 2.3, -2.3};
    const double lobe_len[5] = {0.58, 0.54, 0.54, 0.34, 0.34};
    double best = 0.0;
    for (int i = 0; i < 5; ++i) {
        double d = std::fabs(th - lobe_at[i]);
        double w = 0.78;
        double p = clamp01(1.0 - d / w);
        // Each lobe has a pointed tip and two side teeth.
        double teeth = 0.09 * clamp01(1.0 - std::fabs(d - 0.3) / 0.08);
        double len = lobe_len[i] * (0.25 + 0.75 * fpow(p, 0.55)) + lobe_len[i] * teeth;
        best = std::max(best, len);
    }
    best = std::max(best, 0.22);
    return best - r;
}

double oak_blade(double u, double v) {
    if (v <= 0.0 || v >= 1.0) {
        return -1.0;
    }
    double env = 0.36 * fpow(fsin(kPi * v), 0.6) * (0.55 + 0.45 * v);
    double phase = u > 0 ? 0.0 : 0.18;
    double lob = 0.5 - 0.5 * fcos(2.0 * kPi * (v * 4.3 + 0.15 + phase));
    double w = env * (0.42 + 0.58 * std::sqrt(lob));
    return w - std::fabs(u);
}

double birch_blade(double u, double v) {
    if (v <= 0.0 || v >= 1.0) {
        return -1.0;
    }
    double w = 0.46 * fpow(1.0 - v, 1.05) * std::sqrt(std::min(1.0, v * 3.2));
    w *= 1.0 - 0.09 * fract(v * 15.0 + (u > 0 ? 0.0 : 0.5));
    return w - std::fabs(u);
}

double beech_blade(double u, double v) {
    if (v <= 0.0 || v >= 1.0) {
        return -1.0;
    }
    double w = 0.31 * fpow(fsin(kPi * v), 0.8) * (1.0 + 0.12 * (0.5 - v));
    w *= 1.0 - 0.05 * std::fabs(fsin(kPi * v * 7.0));
    return w - std::fabs(u);
}

double lime_blade(double u, double v) {
    double x = u * (u > 0 ? 0.95 : 1.05);  // lopsided base
    double y = v - 0.38;
    double r = std::sqrt(x * x + y * y);
    double th = fatan2(x, y);
    double a = std::fabs(th);
    double R = 0.5 + 0.07 * fcos(th);
    R += 0.2 * fpow(clamp01(1.0 - a / 0.5), 2.0);            // drawn-out tip
    R -= 0.33 * fpow(clamp01(1.0 - (kPi - a) / 0.45), 1.5);  // heart notch
    R *= 1.0 - 0.03 * fract(a * 9.0);                        // fine teeth
    return R - r;
}

double ginkgo_blade(double u, double v) {
    double r = std::sqrt(u * u + v * v);
    double phi = fatan2(u, v);
    double a = std::fabs(phi);
    double open = 1.0 * std::min(1.0, fpow(r / 0.5, 0.7));
    double R = 1.0 - 0.2 * clamp01(1.0 - a / 0.14) + 0.02 * fsin(phi * 14.0);
    R -= 0.1 * a * a;
    return std::min(R - r, (open - a) * 0.5);
}

double chestnut_blade(double u, double v) {
    if (v <= 0.0 || v >= 1.0) {
        return -1.0;
    }
    double w = 0.2 * fpow(fsin(kPi * v), 0.7);
    double saw = fract(v * 15.0 + (u > 0 ? 0.0 : 0.5));
    w += 0.045 * fpow(saw, 4.0) * fsin(kPi * v);
    return w - std::fabs(u);
}

double aspen_blade(double u, double v) {
    double x = u;
    double y = v - 0.45;
    double r = std::sqrt(x * x + y * y);
    double th = fatan2(x, y);
    double a = std::fabs(th);
    double R = 0.5 + 0.03 * fcos(th) + 0.1 * fpow(clamp01(1.0 - a / 0.4), 2.0);
    R -= 0.06 * fpow(clamp01(1.0 - (kPi - a) / 0.6), 1.0);
    R *= 1.0 - 0.04 * (0.5 + 0.5 * fcos(th * 18.0));
    return R - r;
}

// Distance-like vein strength for a feather pattern: a midrib and side veins leaving it at an
// angle (slope) every 1/count along the blade.
double pinnate(double u, double v, int count, double slope, double rib, double side) {
    double au = std::fabs(u);
    double s = 0.0;
    double mid = rib * (1.2 - v);
    if (au < mid) {
        s = 1.0;
    }
    double t = (v - slope * au) * count + (u > 0 ? 0.0 : 0.35);
    double d = std::fabs(t - std::floor(t + 0.5)) / count / std::sqrt(1.0 + slope * slope);
    double wv = side * (1.0 - std::min(1.0, au * 3.0) * 0.5);
    if (d < wv && v - slope * au > 0.05) {
        s = std::max(s, 0.6);
    }
    return s;
}

// Veins radiating from a centre along the given directions.
double palmate(double u, double v, double cv, const double* dirs, int n, double width) {
    double x = u;
    double y = v - cv;
    double r = std::sqrt(x * x + y * y);
    double th = fatan2(x, y);
    double s = 0.0;
    for (int i = 0; i < n; ++i) {
        double d = std::fabs(th - dirs[i]);
        double perp = r * fsin(std::min(d, kPi / 2));
        if (perp < width * (1.0 - 0.5 * r) && d < kPi / 2) {
            s = 1.0;
        }
        // Secondary veins off each main vein.
        double along = r * fcos(std::min(d, kPi / 2));
        double t = (along - perp * 0.8) * 11.0;
        double dd = std::fabs(t - std::floor(t + 0.5)) / 11.0;
        if (d < 0.55 && dd < width * 0.45 && perp < 0.18) {
            s = std::max(s, 0.6);
        }
    }
    return s;
}

struct LeafDef {
    double (*blade)(double, double);
    double tilt;        // radians, clockwise from straight up
    double stalk_len;   // in leaf units
    double stalk_from;  // where the stalk meets the blade (v)
    uint32_t c1;        // main colour
    uint32_t c2;        // secondary colour (patches, edges)
    uint32_t vein;      // vein colour
    double c2_amount;
};

constexpr LeafDef kDefs[kLeafKinds] = {
    {maple_blade, 0.35, 0.30, 0.30, 0xc8200e, 0xe86a10, 0x7a1008, 0.35},    // maple, red
    {oak_blade, 0.75, 0.16, 0.02, 0xb8661a, 0x8a4a12, 0x5a2e0a, 0.45},      // oak, russet
    {birch_blade, 0.7, 0.22, 0.02, 0xf0c418, 0xc8d030, 0x9a7808, 0.3},      // birch, yellow
    {beech_blade, 0.75, 0.14, 0.02, 0xe07818, 0xc04a10, 0x8a3c0a, 0.4},     // beech, orange
    {lime_blade, 0.4, 0.26, 0.06, 0x9ab020, 0xe0c020, 0x5a6a10, 0.5},       // lime, green-gold
    {ginkgo_blade, 0.25, 0.30, 0.0, 0xf8d020, 0xf0a810, 0xc09010, 0.35},    // ginkgo, yellow
    {chestnut_blade, 0.78, 0.12, 0.02, 0x5e9a22, 0xb0b828, 0x2e5a10, 0.4},  // chestnut, green
    {aspen_blade, 0.35, 0.30, 0.06, 0xe85410, 0xd82818, 0x8a2a08, 0.45},    // aspen, orange-red
};

double vein_of(int kind, double u, double v) {
    switch (kind) {
        case 0: {
            const double dirs[5] = {0.0, 1.2, -1.2, 2.3, -2.3};
            return palmate(u, v, 0.3, dirs, 5, 0.022);
        }
        case 1:
            return pinnate(u, v, 5, 0.9, 0.02, 0.014);
        case 2:
            return pinnate(u, v, 8, 0.8, 0.018, 0.012);
        case 3:
            return pinnate(u, v, 9, 0.75, 0.018, 0.012);
        case 4: {
            const double dirs[5] = {0.0, 0.9, -0.9, 1.9, -1.9};
            return palmate(u, v, 0.08, dirs, 5, 0.018);
        }
        case 5: {
            double phi = fatan2(u, v);
            double t = phi * 9.0;
            double d = std::fabs(t - std::floor(t + 0.5));
            return d < 0.12 ? 0.45 : 0.0;
        }
        case 6:
            return pinnate(u, v, 13, 0.55, 0.016, 0.011);
        default: {
            const double dirs[5] = {0.0, 0.8, -0.8, 1.6, -1.6};
            return palmate(u, v, 0.1, dirs, 5, 0.018);
        }
    }
}

// True when the leaf-space point lies on the stalk.
bool on_stalk(const LeafDef& d, double u, double v, double width) {
    if (v > d.stalk_from || v < d.stalk_from - d.stalk_len - d.stalk_from) {
        return false;
    }
    double t = (d.stalk_from - v) / (d.stalk_len + d.stalk_from);
    double cu = 0.05 * t * t;  // gentle curve
    return std::fabs(u - cu) < width * (1.0 - 0.3 * t);
}

}  // namespace

LeafSprite render_leaf(int kind, int size, int margin, bool orange_scheme) {
    const LeafDef& d = kDefs[kind];
    const double ct = fcos(d.tilt);
    const double st = fsin(d.tilt);
    // Leaf space -> image direction (y up): rotate clockwise by tilt.
    auto to_img = [&](double u, double v, double& x, double& y) {
        x = u * ct + v * st;
        y = -u * st + v * ct;
    };
    // Bounding box of blade and stalk in rotated space.
    double minx = 1e9, maxx = -1e9, miny = 1e9, maxy = -1e9;
    for (int j = 0; j <= 400; ++j) {
        for (int i = 0; i <= 400; ++i) {
            double u = -1.0 + 2.0 * i / 400.0;
            double v = -0.6 + 1.8 * j / 400.0;
            bool in = d.blade(u, v) > 0.0 || on_stalk(d, u, v, 0.012);
            if (!in) {
                continue;
            }
            double x, y;
            to_img(u, v, x, y);
            minx = std::min(minx, x);
            maxx = std::max(maxx, x);
            miny = std::min(miny, y);
            maxy = std::max(maxy, y);
        }
    }
    // The bottom row and right column are never drawn by the saver, keep them empty.
    const double avail = size - 1 - 2 * margin;
    const double scale = avail / std::max(maxx - minx, maxy - miny);
    const double ox = margin + 0.5 * (avail - (maxx - minx) * scale) - minx * scale;
    const double oy = margin + 0.5 * (avail - (maxy - miny) * scale) + maxy * scale;
    const double stalk_w = 0.8 / scale;  // about 1.6 pixels wide

    Col c1 = from_srgb(d.c1);
    Col c2 = from_srgb(d.c2);
    Col cv = from_srgb(d.vein);
    if (orange_scheme) {
        c1 = from_srgb(0xf07010);
        c2 = from_srgb(0xd83a0c);
        cv = from_srgb(0x902a06);
    }
    const Col stalk_col = mix(cv, from_srgb(0x5a3a1a), 0.5);
    const uint32_t seed = 7001u + static_cast<uint32_t>(kind) * 31u;

    LeafSprite out;
    out.size = size;
    out.rgb.assign(static_cast<size_t>(size * size), Rgb8{0, 0, 0});
    out.mask.assign(static_cast<size_t>(size * size), 0);
    constexpr int kSub = 4;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            int blade_hits = 0;
            int stalk_hits = 0;
            for (int sj = 0; sj < kSub; ++sj) {
                for (int si = 0; si < kSub; ++si) {
                    double x = (px + (si + 0.5) / kSub - ox) / scale;
                    double y = (oy - (py + (sj + 0.5) / kSub)) / scale;
                    // Inverse rotation back to leaf space.
                    double u = x * ct - y * st;
                    double v = x * st + y * ct;
                    if (d.blade(u, v) > 0.0) {
                        ++blade_hits;
                    } else if (on_stalk(d, u, v, stalk_w)) {
                        ++stalk_hits;
                    }
                }
            }
            if (2 * (blade_hits + stalk_hits) < kSub * kSub) {
                continue;
            }
            double x = (px + 0.5 - ox) / scale;
            double y = (oy - (py + 0.5)) / scale;
            double u = x * ct - y * st;
            double v = x * st + y * ct;
            Col c;
            if (blade_hits >= stalk_hits) {
                double n = fbm2(u * 3.0 + kind * 5.0, v * 3.0, 4, seed);
                double edge = clamp01(1.0 - d.blade(u, v) / 0.12);
                double t = clamp01(d.c2_amount + 0.6 * n + 0.35 * edge - 0.2);
                c = mix(c1, c2, t);
                // Folded blade: one half catches more light, plus a soft overall gradient.
                double shade = 1.0 + (u > 0 ? -0.12 : 0.1) + 0.15 * (v - 0.5) - 0.25 * edge * edge;
                shade += 0.08 * fbm2(u * 9.0, v * 9.0, 3, seed + 3u);
                c = c * shade;
                double vein = vein_of(kind, u, v);
                c = mix(c, cv, 0.55 * vein);
                // A few dark autumn spots.
                double spot = fbm2(u * 6.0, v * 6.0 + 9.0, 3, seed + 11u);
                if (spot > 0.55) {
                    c = c * 0.7;
                }
            } else {
                c = stalk_col;
            }
            Rgb8 p;
            double ch[3] = {c.r, c.g, c.b};
            for (int k = 0; k < 3; ++k) {
                double e = std::floor(srgb_encode(ch[k]) * 255.0 + 0.5);
                p[static_cast<size_t>(k)] = static_cast<uint8_t>(clampd(e, 0, 255));
            }
            p[2] = std::min<uint8_t>(p[2], 120);  // blue stays far from the key colour
            size_t idx = static_cast<size_t>(py * size + px);
            out.rgb[idx] = p;
            out.mask[idx] = 1;
        }
    }
    return out;
}

std::vector<Rgb8> keyed_pixels(const LeafSprite& leaf) {
    std::vector<Rgb8> px(leaf.rgb.size());
    for (size_t i = 0; i < px.size(); ++i) {
        px[i] = leaf.mask[i] ? leaf.rgb[i] : Rgb8{0, 0, 255};
    }
    return px;
}

}  // namespace art
