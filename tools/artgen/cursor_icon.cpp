#include "tools/artgen/cursor_icon.h"

#include <cstdlib>
#include <vector>

#include "tools/artgen/leaves.h"
#include "tools/artgen/quantize.h"

namespace art {
namespace {

constexpr int kSize = 32;

// 1 inside the white four-headed arrow centred on the hot spot.
std::vector<uint8_t> arrow_shape() {
    std::vector<uint8_t> m(kSize * kSize, 0);
    const int c = kCursorHotX;
    const int reach = 13;  // tip distance from the centre
    const int head = 5;    // arrow head length
    const int shaft = 1;   // half width of the shaft
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            int dx = x - c;
            int dy = y - kCursorHotY;
            bool in = false;
            // Check each arm: along = distance from centre along the arm, side = offset.
            const int arms[4][2] = {{dx, dy}, {-dx, dy}, {dy, dx}, {-dy, dx}};
            for (const auto& a : arms) {
                int along = a[0];
                int side = std::abs(a[1]);
                if (along < 0 || along > reach) {
                    continue;
                }
                if (along <= reach - head) {
                    in = in || side <= shaft;
                } else {
                    in = in || side <= reach - along;
                }
            }
            m[static_cast<size_t>(y * kSize + x)] = in ? 1 : 0;
        }
    }
    return m;
}

// Appends a bottom-up 1 bpp mask, rows padded to 4 bytes.
void put_mask(Bytes& out, int width, int height, const std::vector<uint8_t>& bits) {
    const int stride = ((width + 31) / 32) * 4;
    for (int y = height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
        for (int x = 0; x < width; ++x) {
            if (bits[static_cast<size_t>(y * width + x)]) {
                row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80u >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

}  // namespace

Bytes make_cursor() {
    std::vector<uint8_t> white = arrow_shape();
    std::vector<uint8_t> black(kSize * kSize, 0);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            if (white[static_cast<size_t>(y * kSize + x)]) {
                continue;
            }
            bool near = false;
            for (int j = -1; j <= 1; ++j) {
                for (int i = -1; i <= 1; ++i) {
                    int nx = x + i;
                    int ny = y + j;
                    if (nx >= 0 && ny >= 0 && nx < kSize && ny < kSize &&
                        white[static_cast<size_t>(ny * kSize + nx)]) {
                        near = true;
                    }
                }
            }
            black[static_cast<size_t>(y * kSize + x)] = near ? 1 : 0;
        }
    }
    std::vector<uint8_t> xor_bits(kSize * kSize, 0);
    std::vector<uint8_t> and_bits(kSize * kSize, 1);
    for (size_t i = 0; i < xor_bits.size(); ++i) {
        xor_bits[i] = white[i];
        and_bits[i] = (white[i] || black[i]) ? 0 : 1;
    }
    const uint32_t mask_bytes = kSize * 4;
    const uint32_t res_size = 40 + 8 + 2 * mask_bytes;
    Bytes out;
    put16(out, 0);  // reserved
    put16(out, 2);  // cursor
    put16(out, 1);  // one image
    out.push_back(kSize);
    out.push_back(kSize);
    out.push_back(2);  // colours
    out.push_back(0);
    put16(out, kCursorHotX);
    put16(out, kCursorHotY);
    put32(out, res_size);
    put32(out, 22);
    put_info_header(out, kSize, 2 * kSize, 1, 2 * mask_bytes, 2);
    put32(out, 0x00000000u);  // black
    put32(out, 0x00ffffffu);  // white
    put_mask(out, kSize, kSize, xor_bits);
    put_mask(out, kSize, kSize, and_bits);
    return out;
}

Bytes make_icon() {
    LeafSprite leaf = render_leaf(0, kSize, 1, true);
    std::vector<ColorF> samples;
    for (size_t i = 0; i < leaf.rgb.size(); ++i) {
        if (leaf.mask[i]) {
            samples.push_back({static_cast<double>(leaf.rgb[i][0]),
                               static_cast<double>(leaf.rgb[i][1]),
                               static_cast<double>(leaf.rgb[i][2])});
        }
    }
    // Entry 0 is black for the transparent ground; the leaf gets up to 255 others.
    std::vector<Rgb8> pal = build_palette(samples, 255);
    pal.insert(pal.begin(), Rgb8{0, 0, 0});
    pal.resize(256, Rgb8{0, 0, 0});
    std::vector<uint8_t> index(kSize * kSize, 0);
    std::vector<uint8_t> and_bits(kSize * kSize, 1);
    std::vector<Rgb8> leaf_pal(pal.begin() + 1, pal.end());
    for (size_t i = 0; i < index.size(); ++i) {
        if (leaf.mask[i]) {
            ColorF c{static_cast<double>(leaf.rgb[i][0]), static_cast<double>(leaf.rgb[i][1]),
                     static_cast<double>(leaf.rgb[i][2])};
            index[i] = static_cast<uint8_t>(1 + nearest_index(leaf_pal, c));
            and_bits[i] = 0;
        }
    }
    const uint32_t xor_bytes = kSize * kSize;
    const uint32_t and_bytes = kSize * 4;
    const uint32_t res_size = 40 + 1024 + xor_bytes + and_bytes;
    Bytes out;
    put16(out, 0);
    put16(out, 1);  // icon
    put16(out, 1);
    out.push_back(kSize);
    out.push_back(kSize);
    out.push_back(0);  // 256 colours
    out.push_back(0);
    put16(out, 1);  // planes
    put16(out, 8);  // bits
    put32(out, res_size);
    put32(out, 22);
    put_info_header(out, kSize, 2 * kSize, 8, xor_bytes + and_bytes, 256);
    for (const Rgb8& c : pal) {
        out.push_back(c[2]);
        out.push_back(c[1]);
        out.push_back(c[0]);
        out.push_back(0);
    }
    for (int y = kSize - 1; y >= 0; --y) {
        for (int x = 0; x < kSize; ++x) {
            out.push_back(index[static_cast<size_t>(y * kSize + x)]);
        }
    }
    put_mask(out, kSize, kSize, and_bits);
    return out;
}

}  // namespace art
