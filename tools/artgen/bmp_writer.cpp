#include "tools/artgen/bmp_writer.h"

#include <fstream>

namespace art {

void put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xffu));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xffu));
}

void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xffffu);
    put16(out, v >> 16);
}

void put_info_header(Bytes& out, int width, int height, int bits, uint32_t image_size,
                     uint32_t colors_used) {
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1);  // planes
    put16(out, static_cast<uint32_t>(bits));
    put32(out, 0);  // BI_RGB
    put32(out, image_size);
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, colors_used);
    put32(out, 0);  // all colours important
}

namespace {

void put_file_header(Bytes& out, uint32_t file_size, uint32_t pixel_offset) {
    out.push_back('B');
    out.push_back('M');
    put32(out, file_size);
    put32(out, 0);
    put32(out, pixel_offset);
}

}  // namespace

Bytes make_bmp8(int width, int height, const std::vector<uint8_t>& indices,
                const std::vector<Rgb8>& palette) {
    const uint32_t stride = (static_cast<uint32_t>(width) + 3u) & ~3u;
    const uint32_t image_size = stride * static_cast<uint32_t>(height);
    const uint32_t offset = 14 + 40 + 256 * 4;
    Bytes out;
    out.reserve(offset + image_size);
    put_file_header(out, offset + image_size, offset);
    put_info_header(out, width, height, 8, image_size, 256);
    for (int i = 0; i < 256; ++i) {
        Rgb8 c = i < static_cast<int>(palette.size()) ? palette[static_cast<size_t>(i)] : Rgb8{};
        out.push_back(c[2]);
        out.push_back(c[1]);
        out.push_back(c[0]);
        out.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            out.push_back(indices[static_cast<size_t>(y) * static_cast<size_t>(width) +
                                  static_cast<size_t>(x)]);
        }
        for (uint32_t p = static_cast<uint32_t>(width); p < stride; ++p) {
            out.push_back(0);
        }
    }
    return out;
}

Bytes make_bmp24(int width, int height, const std::vector<Rgb8>& pixels) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3u + 3u) & ~3u;
    const uint32_t image_size = stride * static_cast<uint32_t>(height);
    const uint32_t offset = 14 + 40;
    Bytes out;
    out.reserve(offset + image_size);
    put_file_header(out, offset + image_size, offset);
    put_info_header(out, width, height, 24, image_size, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb8& c = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) +
                                   static_cast<size_t>(x)];
            out.push_back(c[2]);
            out.push_back(c[1]);
            out.push_back(c[0]);
        }
        for (uint32_t p = static_cast<uint32_t>(width) * 3u; p < stride; ++p) {
            out.push_back(0);
        }
    }
    return out;
}

bool write_file(const std::string& path, const Bytes& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) {
        return false;
    }
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(f);
}

bool read_file(const std::string& path, Bytes& data) {
    std::ifstream f(path, std::ios::binary);
    if (!f) {
        return false;
    }
    data.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace art
