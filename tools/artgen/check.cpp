#include "tools/artgen/check.h"

#include <cstdio>

#include "tools/artgen/bmp_writer.h"
#include "tools/artgen/cursor_icon.h"

namespace art {
namespace {

uint32_t get16(const Bytes& b, size_t at) {
    return at + 2 <= b.size() ? static_cast<uint32_t>(b[at] | (b[at + 1] << 8)) : 0xffffffffu;
}

uint32_t get32(const Bytes& b, size_t at) {
    return at + 4 <= b.size() ? get16(b, at) | (get16(b, at + 2) << 16) : 0xffffffffu;
}

class Checker {
  public:
    explicit Checker(const std::string& name) : name_(name) {}
    void expect(bool ok, const char* what) {
        if (!ok) {
            std::printf("FAIL %s: %s\n", name_.c_str(), what);
            ++failures_;
        }
    }
    int failures() const { return failures_; }

  private:
    std::string name_;
    int failures_ = 0;
};

// Checks a BITMAPINFOHEADER at offset `at`.
void check_info(Checker& c, const Bytes& b, size_t at, uint32_t w, uint32_t h, uint32_t bits) {
    c.expect(get32(b, at) == 40, "info header size is 40");
    c.expect(get32(b, at + 4) == w, "width");
    c.expect(get32(b, at + 8) == h, "height");
    c.expect(get16(b, at + 12) == 1, "planes");
    c.expect(get16(b, at + 14) == bits, "bits per pixel");
    c.expect(get32(b, at + 16) == 0, "BI_RGB");
}

int check_background(const std::string& path) {
    Checker c(path);
    Bytes b;
    c.expect(read_file(path, b), "readable");
    const uint32_t offset = 14 + 40 + 1024;
    c.expect(b.size() == offset + 640u * 480u, "file size");
    if (b.size() != offset + 640u * 480u) {
        return c.failures();
    }
    c.expect(b[0] == 'B' && b[1] == 'M', "signature");
    c.expect(get32(b, 2) == b.size(), "bfSize");
    c.expect(get32(b, 10) == offset, "bfOffBits");
    check_info(c, b, 14, 640, 480, 8);
    c.expect(get32(b, 46) == 256, "biClrUsed 256");
    bool reserved_zero = true;
    for (int i = 0; i < 256; ++i) {
        reserved_zero = reserved_zero && b[54 + 4 * static_cast<size_t>(i) + 3] == 0;
    }
    c.expect(reserved_zero, "palette reserved bytes are 0");
    return c.failures();
}

int check_leaf(const std::string& path) {
    Checker c(path);
    Bytes b;
    c.expect(read_file(path, b), "readable");
    c.expect(b.size() == 54u + 144u * 48u, "file size");
    if (b.size() != 54u + 144u * 48u) {
        return c.failures();
    }
    c.expect(b[0] == 'B' && b[1] == 'M', "signature");
    c.expect(get32(b, 2) == b.size(), "bfSize");
    c.expect(get32(b, 10) == 54, "bfOffBits");
    check_info(c, b, 14, 48, 48, 24);
    int leaf = 0;
    bool key_ok = true;
    bool edge_ok = true;
    for (int row = 0; row < 48; ++row) {  // bottom-up: row 0 is the last image row
        for (int x = 0; x < 48; ++x) {
            size_t at = 54 + static_cast<size_t>(row) * 144 + static_cast<size_t>(x) * 3;
            uint8_t bl = b[at];
            uint8_t g = b[at + 1];
            uint8_t r = b[at + 2];
            if (bl >= 127) {
                key_ok = key_ok && bl == 255 && g == 0 && r == 0;
            } else {
                ++leaf;
                edge_ok = edge_ok && row != 0 && x != 47;
            }
        }
    }
    c.expect(key_ok, "every pixel with blue >= 127 is exactly (0,0,255)");
    c.expect(edge_ok, "last row and last column are key colour");
    c.expect(leaf > 48 * 48 / 4, "leaf covers a good part of the sprite");
    return c.failures();
}

int check_cursor(const std::string& path) {
    Checker c(path);
    Bytes b;
    c.expect(read_file(path, b), "readable");
    c.expect(b.size() == 22u + 40u + 8u + 256u, "file size");
    if (b.size() != 22u + 40u + 8u + 256u) {
        return c.failures();
    }
    c.expect(get16(b, 0) == 0 && get16(b, 2) == 2 && get16(b, 4) == 1, "CUR directory");
    c.expect(b[6] == 32 && b[7] == 32, "32x32 entry");
    c.expect(get16(b, 10) == kCursorHotX && get16(b, 12) == kCursorHotY, "hot spot (15,15)");
    c.expect(get32(b, 14) == b.size() - 22 && get32(b, 18) == 22, "entry size and offset");
    check_info(c, b, 22, 32, 64, 1);
    // Hot spot pixel must be opaque white: AND 0, XOR 1.
    size_t row = 31 - kCursorHotY;
    size_t xor_at = 22 + 40 + 8 + row * 4 + kCursorHotX / 8;
    size_t and_at = xor_at + 128;
    uint8_t bit = static_cast<uint8_t>(0x80u >> (kCursorHotX % 8));
    c.expect((b[xor_at] & bit) != 0 && (b[and_at] & bit) == 0, "hot spot pixel is white");
    return c.failures();
}

int check_icon(const std::string& path) {
    Checker c(path);
    Bytes b;
    c.expect(read_file(path, b), "readable");
    const size_t size = 22u + 40u + 1024u + 1024u + 128u;
    c.expect(b.size() == size, "file size");
    if (b.size() != size) {
        return c.failures();
    }
    c.expect(get16(b, 0) == 0 && get16(b, 2) == 1 && get16(b, 4) == 1, "ICO directory");
    c.expect(b[6] == 32 && b[7] == 32 && b[8] == 0, "32x32, 256 colours");
    c.expect(get16(b, 10) == 1 && get16(b, 12) == 8, "planes and bit count");
    c.expect(get32(b, 14) == b.size() - 22 && get32(b, 18) == 22, "entry size and offset");
    check_info(c, b, 22, 32, 64, 8);
    return c.failures();
}

}  // namespace

int check_outputs(const std::string& dir) {
    int fails = check_background(dir + "/background.bmp");
    for (int i = 148; i <= 155; ++i) {
        fails += check_leaf(dir + "/leaf" + std::to_string(i) + ".bmp");
    }
    fails += check_cursor(dir + "/wendrel.cur");
    fails += check_icon(dir + "/wendrel.ico");
    std::printf("%s: %d problem(s)\n", dir.c_str(), fails);
    return fails;
}

}  // namespace art
