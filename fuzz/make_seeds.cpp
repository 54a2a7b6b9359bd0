// wendrel-fuzz-seeds DIR: writes the hand-made seeds of the picture decoder's
// fuzz target into DIR: sound pictures of every bit depth, bottom-up and
// top-down, as packed DIBs and as .bmp files, and the edge cases around
// them: zero, negative and huge sizes, short palettes, bad offsets, bad
// header fields, truncated pixels.
#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Dib {
    std::uint32_t headerSize = 40;
    std::int32_t width = 5;
    std::int32_t height = 3;
    std::uint16_t planes = 1;
    std::uint16_t bits = 8;
    std::uint32_t compression = 0;
    std::uint32_t colours = 0;      // biClrUsed as written
    std::uint32_t paletteSize = 0;  // RGBQUADs actually stored
    std::size_t pixelBytes = 0;     // bytes of pixels actually stored
};

void Put(Bytes& b, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        b.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::size_t Stride(std::int64_t width, int bits) {
    return static_cast<std::size_t>(((width * bits + 31) / 32) * 4);
}

// The whole stored pixel block of a sound picture of this geometry.
std::size_t FullPixels(const Dib& d) {
    const std::int64_t rows = d.height < 0 ? -static_cast<std::int64_t>(d.height) : d.height;
    return Stride(d.width, d.bits) * static_cast<std::size_t>(rows);
}

Bytes Build(const Dib& d) {
    Bytes b;
    Put(b, d.headerSize, 4);
    Put(b, static_cast<std::uint32_t>(d.width), 4);
    Put(b, static_cast<std::uint32_t>(d.height), 4);
    Put(b, d.planes, 2);
    Put(b, d.bits, 2);
    Put(b, d.compression, 4);
    Put(b, 0, 4);     // biSizeImage
    Put(b, 2835, 4);  // 72 dpi
    Put(b, 2835, 4);
    Put(b, d.colours, 4);
    Put(b, 0, 4);  // biClrImportant
    while (b.size() < d.headerSize && b.size() < 124)
        b.push_back(0);  // the fields of a longer header
    for (std::uint32_t i = 0; i < d.paletteSize; ++i)
        Put(b, 0x00102030u * (i + 1) & 0x00FFFFFFu, 4);
    for (std::size_t i = 0; i < d.pixelBytes; ++i)
        b.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    return b;
}

// A sound picture: full palette, every pixel stored.
Dib Sound(int bits, std::int32_t width, std::int32_t height) {
    Dib d;
    d.bits = static_cast<std::uint16_t>(bits);
    d.width = width;
    d.height = height;
    d.paletteSize = bits <= 8 ? 1u << bits : 0;
    d.pixelBytes = FullPixels(d);
    return d;
}

// The 14-byte file header in front; `offset` 0 means the right one.
Bytes AsFile(const Bytes& dib, std::uint32_t paletteBytes, std::uint32_t headerSize,
             std::uint32_t offset = 0) {
    Bytes b = {'B', 'M'};
    Put(b, static_cast<std::uint32_t>(14 + dib.size()), 4);
    Put(b, 0, 4);
    Put(b, offset != 0 ? offset : 14 + headerSize + paletteBytes, 4);
    b.insert(b.end(), dib.begin(), dib.end());
    return b;
}

bool Write(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: wendrel-fuzz-seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    int written = 0;
    bool ok = true;
    const auto dib = [&](const std::string& name, const Dib& d) {
        ok = Write(dir + "/" + name + ".dib", Build(d)) && ok;
        ++written;
    };
    const auto file = [&](const std::string& name, const Dib& d, std::uint32_t offset = 0) {
        ok = Write(dir + "/" + name + ".bmp",
                   AsFile(Build(d), d.paletteSize * 4, d.headerSize, offset)) &&
             ok;
        ++written;
    };

    // Every bit depth, both row orders, odd widths that need row padding.
    for (int bits : {1, 4, 8, 24, 32}) {
        const std::string depth = std::to_string(bits) + "bit";
        dib(depth + "-bottom-up", Sound(bits, 13, 3));
        dib(depth + "-top-down", Sound(bits, 13, -3));
        file(depth + "-bottom-up", Sound(bits, 7, 2));
        file(depth + "-top-down", Sound(bits, 7, -2));
        dib(depth + "-one-pixel", Sound(bits, 1, 1));
    }
    dib("8bit-64x48", Sound(8, 64, 48));
    dib("1bit-taller-than-a-leaf", Sound(1, 8, 100));
    file("24bit-taller-than-a-leaf", Sound(24, 2, -70));
    Dib longHeader = Sound(24, 4, 4);
    longHeader.headerSize = 124;  // a V5 header
    dib("24bit-v5-header", longHeader);
    file("24bit-v5-header", longHeader);

    // Sizes: zero, negative, the largest side there is, beyond it, and
    // products that overflow a 32-bit size computation.
    for (const auto& [name, w, h] :
         std::vector<std::tuple<std::string, std::int32_t, std::int32_t>>{
             {"zero-width", 0, 4},
             {"zero-height", 4, 0},
             {"negative-width", -4, 4},
             {"height-int-min", 4, INT32_MIN},
             {"width-int-max", INT32_MAX, 1},
             {"side-16384", 16384, 1},
             {"side-16385", 16385, 1},
             {"top-down-16385", 1, -16385},
             {"area-16384-squared", 16384, 16384},
             {"area-over-4-gib", 65536, 65536},
             {"stride-overflow", 0x08000000, 2}}) {
        Dib d = Sound(32, 1, 1);
        d.width = w;
        d.height = h;
        d.pixelBytes = 64;
        dib(name, d);
    }
    // Palettes: shorter than the header says, truncated by the end of the
    // data, longer than the depth allows, and for a depth that has none.
    Dib shortPalette = Sound(8, 6, 2);
    shortPalette.colours = 3;  // indices beyond it draw nothing
    shortPalette.paletteSize = 3;
    shortPalette.pixelBytes = FullPixels(shortPalette);
    dib("8bit-palette-of-3", shortPalette);
    file("8bit-palette-of-3", shortPalette);
    Dib truncatedPalette = Sound(8, 6, 2);
    truncatedPalette.colours = 200;
    truncatedPalette.paletteSize = 10;
    truncatedPalette.pixelBytes = 0;
    dib("8bit-palette-truncated", truncatedPalette);
    file("8bit-palette-truncated", truncatedPalette);
    Dib longPalette = Sound(4, 6, 2);
    longPalette.colours = 17;
    dib("4bit-palette-of-17", longPalette);
    Dib hugeColours = Sound(8, 6, 2);
    hugeColours.colours = 0xFFFFFFFFu;
    dib("8bit-colours-4g", hugeColours);
    Dib trueColourPalette = Sound(24, 3, 3);
    trueColourPalette.colours = 256;
    trueColourPalette.paletteSize = 256;
    dib("24bit-palette-of-256", trueColourPalette);
    trueColourPalette.colours = 257;
    dib("24bit-palette-of-257", trueColourPalette);

    // Pixels one byte short, and header fields the decoder refuses.
    Dib shortPixels = Sound(24, 5, 5);
    shortPixels.pixelBytes -= 1;
    dib("24bit-pixels-short", shortPixels);
    file("24bit-pixels-short", shortPixels);
    Dib rle = Sound(8, 4, 4);
    rle.compression = 1;
    dib("8bit-rle", rle);
    Dib planes = Sound(24, 4, 4);
    planes.planes = 2;
    dib("two-planes", planes);
    Dib sixteen = Sound(24, 4, 4);
    sixteen.bits = 16;
    dib("16bit", sixteen);
    Dib coreHeader = Sound(24, 4, 4);
    coreHeader.headerSize = 12;
    dib("core-header", coreHeader);
    Dib hugeHeader = Sound(24, 4, 4);
    hugeHeader.headerSize = 0x7FFFFFFF;
    dib("header-size-huge", hugeHeader);
    Bytes cut = Build(Sound(24, 1, 1));
    cut.resize(39);
    ok = Write(dir + "/header-only-39-bytes.dib", cut) && ok;
    ++written;

    // .bmp pixel offsets: inside the headers, past the end, at the very end.
    const Dib small = Sound(24, 3, 3);
    const std::uint32_t fileSize = static_cast<std::uint32_t>(14 + Build(small).size());
    file("offset-inside-header", small, 20);
    file("offset-past-end", small, fileSize + 1);
    file("offset-at-end", small, fileSize);
    file("offset-4g", small, 0xFFFFFFFFu);
    ok = Write(dir + "/bm-only.bmp", Bytes{'B', 'M'}) && ok;
    ++written;

    if (!ok) {
        std::fprintf(stderr, "wendrel-fuzz-seeds: cannot write into %s\n", dir.c_str());
        return 1;
    }
    std::printf("%d seeds in %s\n", written, dir.c_str());
    return 0;
}
