#include "tools/artgen/quantize.h"

#include <algorithm>
#include <cmath>

namespace art {
namespace {

// Perceptual channel weights for colour distances.
constexpr double kWeight[3] = {3.0, 4.0, 2.0};

struct Entry {
    uint32_t rgb;  // packed 0xRRGGBB
    uint32_t count;
};

inline int channel(uint32_t rgb, int c) {
    return static_cast<int>((rgb >> (16 - 8 * c)) & 0xffu);
}

struct Box {
    size_t begin;
    size_t end;
    double error;  // weighted sum of squared deviations
    int axis;      // channel with most spread
};

Box make_box(const std::vector<Entry>& e, size_t begin, size_t end) {
    double n = 0.0;
    double sum[3] = {0, 0, 0};
    double sq[3] = {0, 0, 0};
    for (size_t i = begin; i < end; ++i) {
        double w = e[i].count;
        n += w;
        for (int c = 0; c < 3; ++c) {
            double v = channel(e[i].rgb, c);
            sum[c] += w * v;
            sq[c] += w * v * v;
        }
    }
    Box b{begin, end, 0.0, 0};
    double best = -1.0;
    for (int c = 0; c < 3; ++c) {
        double var = sq[c] - sum[c] * sum[c] / n;
        b.error += kWeight[c] * var;
        if (kWeight[c] * var > best) {
            best = kWeight[c] * var;
            b.axis = c;
        }
    }
    if (end - begin < 2) {
        b.error = 0.0;
    }
    return b;
}

double dist2(const ColorF& a, const double* b) {
    double d = 0.0;
    for (int c = 0; c < 3; ++c) {
        double t = a[static_cast<size_t>(c)] - b[c];
        d += kWeight[c] * t * t;
    }
    return d;
}

}  // namespace

std::vector<Rgb8> build_palette(const std::vector<ColorF>& samples, int max_colors) {
    // Histogram of exact 8-bit colours (sorted, so the result is deterministic).
    std::vector<uint32_t> packed;
    packed.reserve(samples.size());
    for (const ColorF& s : samples) {
        uint32_t v = 0;
        for (int c = 0; c < 3; ++c) {
            double x = std::floor(s[static_cast<size_t>(c)] + 0.5);
            x = x < 0 ? 0 : (x > 255 ? 255 : x);
            v = (v << 8) | static_cast<uint32_t>(x);
        }
        packed.push_back(v);
    }
    std::sort(packed.begin(), packed.end());
    std::vector<Entry> entries;
    for (uint32_t v : packed) {
        if (!entries.empty() && entries.back().rgb == v) {
            ++entries.back().count;
        } else {
            entries.push_back({v, 1});
        }
    }
    if (entries.empty()) {
        return {};
    }

    // Median cut: split the box with the largest error at the weighted median.
    std::vector<Box> boxes{make_box(entries, 0, entries.size())};
    while (static_cast<int>(boxes.size()) < max_colors) {
        size_t pick = 0;
        for (size_t i = 1; i < boxes.size(); ++i) {
            if (boxes[i].error > boxes[pick].error) {
                pick = i;
            }
        }
        Box b = boxes[pick];
        if (b.error <= 0.0) {
            break;
        }
        int axis = b.axis;
        auto first = entries.begin() + static_cast<std::ptrdiff_t>(b.begin);
        auto last = entries.begin() + static_cast<std::ptrdiff_t>(b.end);
        std::sort(first, last, [axis](const Entry& x, const Entry& y) {
            int cx = channel(x.rgb, axis);
            int cy = channel(y.rgb, axis);
            return cx != cy ? cx < cy : x.rgb < y.rgb;
        });
        double total = 0.0;
        for (auto it = first; it != last; ++it) {
            total += it->count;
        }
        double acc = 0.0;
        size_t mid = b.begin;
        for (size_t i = b.begin; i < b.end; ++i) {
            acc += entries[i].count;
            if (acc >= total / 2) {
                mid = i + 1;
                break;
            }
        }
        mid = std::clamp(mid, b.begin + 1, b.end - 1);
        boxes[pick] = make_box(entries, b.begin, mid);
        boxes.push_back(make_box(entries, mid, b.end));
    }

    std::vector<std::array<double, 3>> centres;
    for (const Box& b : boxes) {
        double n = 0.0;
        std::array<double, 3> s{0, 0, 0};
        for (size_t i = b.begin; i < b.end; ++i) {
            n += entries[i].count;
            for (int c = 0; c < 3; ++c) {
                s[static_cast<size_t>(c)] += entries[i].count * channel(entries[i].rgb, c);
            }
        }
        for (double& v : s) {
            v /= n;
        }
        centres.push_back(s);
    }

    // k-means refinement over the histogram.
    std::vector<size_t> owner(entries.size(), 0);
    for (int iter = 0; iter < 8; ++iter) {
        std::vector<std::array<double, 4>> acc(centres.size(), {0, 0, 0, 0});
        for (size_t i = 0; i < entries.size(); ++i) {
            ColorF c{static_cast<double>(channel(entries[i].rgb, 0)),
                     static_cast<double>(channel(entries[i].rgb, 1)),
                     static_cast<double>(channel(entries[i].rgb, 2))};
            double best = 1e300;
            size_t bi = 0;
            for (size_t k = 0; k < centres.size(); ++k) {
                double d = dist2(c, centres[k].data());
                if (d < best) {
                    best = d;
                    bi = k;
                }
            }
            owner[i] = bi;
            double w = entries[i].count;
            for (size_t ch = 0; ch < 3; ++ch) {
                acc[bi][ch] += w * c[ch];
            }
            acc[bi][3] += w;
        }
        for (size_t k = 0; k < centres.size(); ++k) {
            if (acc[k][3] > 0.0) {
                for (size_t ch = 0; ch < 3; ++ch) {
                    centres[k][ch] = acc[k][ch] / acc[k][3];
                }
            }
        }
    }

    std::vector<Rgb8> palette;
    for (const auto& c : centres) {
        Rgb8 p;
        for (size_t ch = 0; ch < 3; ++ch) {
            double v = std::floor(c[ch] + 0.5);
            p[ch] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
        }
        palette.push_back(p);
    }
    // Order by brightness, then value, for a tidy palette.
    std::sort(palette.begin(), palette.end(), [](const Rgb8& a, const Rgb8& b) {
        int la = 3 * a[0] + 6 * a[1] + a[2];
        int lb = 3 * b[0] + 6 * b[1] + b[2];
        return la != lb ? la < lb : a < b;
    });
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
    return palette;
}

uint8_t nearest_index(const std::vector<Rgb8>& palette, const ColorF& c) {
    double best = 1e300;
    size_t bi = 0;
    for (size_t k = 0; k < palette.size(); ++k) {
        double p[3] = {static_cast<double>(palette[k][0]), static_cast<double>(palette[k][1]),
                       static_cast<double>(palette[k][2])};
        double d = dist2(c, p);
        if (d < best) {
            best = d;
            bi = k;
        }
    }
    return static_cast<uint8_t>(bi);
}

std::vector<uint8_t> dither_fs(const std::vector<ColorF>& image, int width, int height,
                               const std::vector<Rgb8>& palette) {
    std::vector<ColorF> work = image;
    std::vector<uint8_t> out(image.size(), 0);
    auto at = [&](int x, int y) -> ColorF& {
        return work[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    };
    for (int y = 0; y < height; ++y) {
        bool ltr = (y % 2) == 0;
        int dir = ltr ? 1 : -1;
        for (int i = 0; i < width; ++i) {
            int x = ltr ? i : width - 1 - i;
            ColorF c = at(x, y);
            for (double& v : c) {
                v = v < 0 ? 0 : (v > 255 ? 255 : v);
            }
            uint8_t idx = nearest_index(palette, c);
            out[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = idx;
            ColorF err;
            for (size_t ch = 0; ch < 3; ++ch) {
                err[ch] = c[ch] - palette[idx][ch];
            }
            auto spread = [&](int dx, int dy, double w) {
                int nx = x + dx * dir;
                int ny = y + dy;
                if (nx < 0 || nx >= width || ny >= height) {
                    return;
                }
                ColorF& t = at(nx, ny);
                for (size_t ch = 0; ch < 3; ++ch) {
                    t[ch] += err[ch] * w;
                }
            };
            spread(1, 0, 7.0 / 16.0);
            spread(-1, 1, 3.0 / 16.0);
            spread(0, 1, 5.0 / 16.0);
            spread(1, 1, 1.0 / 16.0);
        }
    }
    return out;
}

}  // namespace art
