// wendrel-fuzz-seeds DIR: writes the hand-made seeds of the picture decoder's
// fuzz target into DIR: sound pictures of every bit depth, bottom-up and
// top-down, as packed DIBs and as .bmp files, and the edge cases around
// them: zero, negative and huge sizes, short palettes, bad offsets, bad
// header fields, truncated pixels.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
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

// What a case changes in a sound picture, field by field.
struct Change {
    std::optional<std::uint32_t> headerSize = {};
    std::optional<std::int32_t> width = {};
    std::optional<std::int32_t> height = {};
    std::optional<std::uint16_t> planes = {};
    std::optional<std::uint16_t> bits = {};
    std::optional<std::uint32_t> compression = {};
    std::optional<std::uint32_t> colours = {};
    std::optional<std::uint32_t> paletteSize = {};
    std::optional<std::size_t> pixelBytes = {};
};

Dib Changed(Dib d, const Change& c) {
    d.headerSize = c.headerSize.value_or(d.headerSize);
    d.width = c.width.value_or(d.width);
    d.height = c.height.value_or(d.height);
    d.planes = c.planes.value_or(d.planes);
    d.bits = c.bits.value_or(d.bits);
    d.compression = c.compression.value_or(d.compression);
    d.colours = c.colours.value_or(d.colours);
    d.paletteSize = c.paletteSize.value_or(d.paletteSize);
    d.pixelBytes = c.pixelBytes.value_or(d.pixelBytes);
    return d;
}

enum class Form { kDib, kFile, kBoth };

// One seed (or a .dib and a .bmp of the same picture).
struct Case {
    std::string name;
    Form form;
    Dib picture;
    Change change = {};
    std::uint32_t offset = 0;  // the .bmp's pixel offset; 0: the right one
    std::size_t cutTo = 0;     // only the first this many bytes; 0: all
};

std::vector<Case> Cases() {
    std::vector<Case> cases;
    // Every bit depth, both row orders, odd widths that need row padding.
    for (int bits : {1, 4, 8, 24, 32}) {
        const std::string depth = std::to_string(bits) + "bit";
        cases.push_back({depth + "-bottom-up", Form::kDib, Sound(bits, 13, 3)});
        cases.push_back({depth + "-top-down", Form::kDib, Sound(bits, 13, -3)});
        cases.push_back({depth + "-bottom-up", Form::kFile, Sound(bits, 7, 2)});
        cases.push_back({depth + "-top-down", Form::kFile, Sound(bits, 7, -2)});
        cases.push_back({depth + "-one-pixel", Form::kDib, Sound(bits, 1, 1)});
    }
    const Dib small = Sound(24, 3, 3);
    const std::uint32_t smallFile = static_cast<std::uint32_t>(14 + Build(small).size());
    // A picture of any size, with 64 bytes of pixels whatever it says.
    const Dib anySize = Sound(32, 1, 1);
    const auto sized = [](std::int32_t width, std::int32_t height) {
        return Change{.width = width, .height = height, .pixelBytes = 64};
    };
    const Dib fiveByFive = Sound(24, 5, 5);
    const std::vector<Case> edges = {
        {"8bit-64x48", Form::kDib, Sound(8, 64, 48)},
        {"1bit-taller-than-a-leaf", Form::kDib, Sound(1, 8, 100)},
        {"24bit-taller-than-a-leaf", Form::kFile, Sound(24, 2, -70)},
        {"24bit-v5-header", Form::kBoth, Sound(24, 4, 4), {.headerSize = 124}},

        // Sizes: zero, negative, the largest side there is, beyond it, and
        // products that overflow a 32-bit size computation.
        {"zero-width", Form::kDib, anySize, sized(0, 4)},
        {"zero-height", Form::kDib, anySize, sized(4, 0)},
        {"negative-width", Form::kDib, anySize, sized(-4, 4)},
        {"height-int-min", Form::kDib, anySize, sized(4, INT32_MIN)},
        {"width-int-max", Form::kDib, anySize, sized(INT32_MAX, 1)},
        {"side-16384", Form::kDib, anySize, sized(16384, 1)},
        {"side-16385", Form::kDib, anySize, sized(16385, 1)},
        {"top-down-16385", Form::kDib, anySize, sized(1, -16385)},
        {"area-16384-squared", Form::kDib, anySize, sized(16384, 16384)},
        {"area-over-4-gib", Form::kDib, anySize, sized(65536, 65536)},
        {"stride-overflow", Form::kDib, anySize, sized(0x08000000, 2)},

        // Palettes: shorter than the header says (indices beyond it draw
        // nothing), truncated by the end of the data, longer than the depth
        // allows, and for a depth that has none.
        {"8bit-palette-of-3", Form::kBoth, Sound(8, 6, 2), {.colours = 3, .paletteSize = 3}},
        {"8bit-palette-truncated",
         Form::kBoth,
         Sound(8, 6, 2),
         {.colours = 200, .paletteSize = 10, .pixelBytes = 0}},
        {"4bit-palette-of-17", Form::kDib, Sound(4, 6, 2), {.colours = 17}},
        {"8bit-colours-4g", Form::kDib, Sound(8, 6, 2), {.colours = 0xFFFFFFFFu}},
        {"24bit-palette-of-256", Form::kDib, Sound(24, 3, 3), {.colours = 256, .paletteSize = 256}},
        {"24bit-palette-of-257", Form::kDib, Sound(24, 3, 3), {.colours = 257, .paletteSize = 256}},

        // Pixels one byte short, and header fields the decoder refuses.
        {"24bit-pixels-short", Form::kBoth, fiveByFive, {.pixelBytes = fiveByFive.pixelBytes - 1}},
        {"8bit-rle", Form::kDib, Sound(8, 4, 4), {.compression = 1}},
        {"two-planes", Form::kDib, Sound(24, 4, 4), {.planes = 2}},
        {"16bit", Form::kDib, Sound(24, 4, 4), {.bits = 16}},
        {"core-header", Form::kDib, Sound(24, 4, 4), {.headerSize = 12}},
        {"header-size-huge", Form::kDib, Sound(24, 4, 4), {.headerSize = 0x7FFFFFFF}},
        {"header-only-39-bytes", Form::kDib, Sound(24, 1, 1), {}, 0, 39},

        // .bmp pixel offsets: inside the headers, past the end, at the very
        // end; and a file that is its signature alone.
        {"offset-inside-header", Form::kFile, small, {}, 20},
        {"offset-past-end", Form::kFile, small, {}, smallFile + 1},
        {"offset-at-end", Form::kFile, small, {}, smallFile},
        {"offset-4g", Form::kFile, small, {}, 0xFFFFFFFFu},
        {"bm-only", Form::kFile, small, {}, 0, 2},
    };
    cases.insert(cases.end(), edges.begin(), edges.end());
    return cases;
}

bool Write(const std::string& path, Bytes bytes, std::size_t cutTo) {
    if (cutTo != 0)
        bytes.resize(cutTo);
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
    for (const Case& c : Cases()) {
        const Dib d = Changed(c.picture, c.change);
        const Bytes dib = Build(d);
        if (c.form != Form::kFile) {
            ok = Write(dir + "/" + c.name + ".dib", dib, c.cutTo) && ok;
            ++written;
        }
        if (c.form != Form::kDib) {
            ok = Write(dir + "/" + c.name + ".bmp",
                       AsFile(dib, d.paletteSize * 4, d.headerSize, c.offset), c.cutTo) &&
                 ok;
            ++written;
        }
    }
    if (!ok) {
        std::fprintf(stderr, "wendrel-fuzz-seeds: cannot write into %s\n", dir.c_str());
        return 1;
    }
    std::printf("%d seeds in %s\n", written, dir.c_str());
    return 0;
}
