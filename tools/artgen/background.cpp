#include "tools/artgen/background.h"

#include <algorithm>
#include <cmath>

#include "tools/artgen/canvas.h"
#include "tools/artgen/fmath.h"
#include "tools/artgen/ground.h"
#include "tools/artgen/quantize.h"
#include "tools/artgen/rng.h"
#include "tools/artgen/scene.h"
#include "tools/artgen/trees.h"

namespace art {
namespace {

constexpr int kSuper = 2;

// Filmic curve (fitted ACES approximation).
double tone(double x) {
    x = std::max(0.0, x);
    return clamp01((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14));
}

// Separable box blur, run three times for a soft Gaussian-like glow.
std::vector<Col> blur(const std::vector<Col>& in, int w, int h, int radius) {
    std::vector<Col> a = in;
    std::vector<Col> b(in.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                Col s;
                for (int k = -radius; k <= radius; ++k) {
                    int xx = std::clamp(x + k, 0, w - 1);
                    s = s + a[static_cast<size_t>(y * w + xx)];
                }
                b[static_cast<size_t>(y * w + x)] = s * (1.0 / (2 * radius + 1));
            }
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                Col s;
                for (int k = -radius; k <= radius; ++k) {
                    int yy = std::clamp(y + k, 0, h - 1);
                    s = s + b[static_cast<size_t>(yy * w + x)];
                }
                a[static_cast<size_t>(y * w + x)] = s * (1.0 / (2 * radius + 1));
            }
        }
    }
    return a;
}

}  // namespace

Bytes make_background() {
    Canvas canvas(kWidth, kHeight, kSuper);
    std::vector<Tree> trees = make_trees();
    paint_sky(canvas);
    paint_ground(canvas, trees);
    paint_fallen_leaves(canvas, trees);
    paint_trees(canvas, trees);
    std::vector<Col> img = canvas.resolve();

    // Glow around the bright sky and sunlit leaves, like a real lens.
    std::vector<Col> bright(img.size());
    for (size_t i = 0; i < img.size(); ++i) {
        double l = luma(img[i]);
        bright[i] = img[i] * (smoothstep(0.5, 1.4, l) * 0.5);
    }
    std::vector<Col> glow = blur(bright, kWidth, kHeight, 6);

    const double exposure = 1.35;
    std::vector<ColorF> display(img.size());
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            size_t i = static_cast<size_t>(y * kWidth + x);
            Col c = img[i] + glow[i] * 0.35;
            double dx = (x - kWidth / 2.0) / (kWidth / 2.0);
            double dy = (y - kHeight / 2.0) / (kHeight / 2.0);
            double vig = 1.0 - 0.22 * (dx * dx + dy * dy) * 0.6;
            c = c * (exposure * vig);
            double grain = (hash_unit(x, y, 5150u) - 0.5) * 2.0;
            double ch[3] = {c.r, c.g, c.b};
            for (int k = 0; k < 3; ++k) {
                double v = srgb_encode(tone(ch[k])) * 255.0 + grain;
                display[i][static_cast<size_t>(k)] = clampd(v, 0.0, 255.0);
            }
        }
    }
    std::vector<Rgb8> palette = build_palette(display, 256);
    std::vector<uint8_t> indices = dither_fs(display, kWidth, kHeight, palette);
    return make_bmp8(kWidth, kHeight, indices, palette);
}

}  // namespace art
