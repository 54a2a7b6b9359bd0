#include "tools/artgen/icon_png.h"

#include <zlib.h>

#include <array>

#include "tools/artgen/leaves.h"

namespace art {
namespace {

// Sub-pixels per pixel side: the leaf is drawn this much larger and each
// pixel takes the share of its sub-pixels that the leaf covers as alpha.
constexpr int kOversample = 4;

void put32be(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>((v >> shift) & 0xffu));
    }
}

void put_chunk(Bytes& out, const char* type, const Bytes& data) {
    put32be(out, static_cast<uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    put32be(out, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

}  // namespace

Bytes make_icon_png(int size) {
    // The 32-pixel icon keeps one pixel of margin; the others in proportion.
    const int big = size * kOversample;
    const LeafSprite leaf = render_leaf(0, big, big / 32, true);
    Bytes raw;
    raw.reserve(static_cast<size_t>(size * (1 + 4 * size)));
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);  // no row filter
        for (int x = 0; x < size; ++x) {
            std::array<unsigned, 3> sum{};
            unsigned hits = 0;
            for (int j = 0; j < kOversample; ++j) {
                for (int i = 0; i < kOversample; ++i) {
                    const size_t at =
                        static_cast<size_t>((y * kOversample + j) * big + x * kOversample + i);
                    if (leaf.mask[at]) {
                        ++hits;
                        for (size_t k = 0; k < 3; ++k) {
                            sum[k] += leaf.rgb[at][k];
                        }
                    }
                }
            }
            for (size_t k = 0; k < 3; ++k) {
                raw.push_back(hits ? static_cast<uint8_t>((sum[k] + hits / 2) / hits) : 0);
            }
            constexpr unsigned kAll = kOversample * kOversample;
            raw.push_back(static_cast<uint8_t>((hits * 255 + kAll / 2) / kAll));
        }
    }
    uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()), 9) !=
        Z_OK) {
        return {};
    }
    packed.resize(packed_size);

    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes header;
    put32be(header, static_cast<uint32_t>(size));
    put32be(header, static_cast<uint32_t>(size));
    header.push_back(8);  // bits per channel
    header.push_back(6);  // RGBA
    header.push_back(0);  // deflate
    header.push_back(0);  // adaptive filtering
    header.push_back(0);  // not interlaced
    put_chunk(out, "IHDR", header);
    put_chunk(out, "IDAT", packed);
    put_chunk(out, "IEND", {});
    return out;
}

}  // namespace art
