#include "display/x11/saver_cursor.h"

namespace wendrel::display {
namespace {

std::uint32_t Read16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8;
}

std::uint32_t Read32(std::span<const std::uint8_t> b, std::size_t at) {
    return Read16(b, at) | Read16(b, at + 2) << 16;
}

bool Bit(const std::uint8_t* row, int x) {
    return (row[x / 8] >> (7 - x % 8) & 1) != 0;
}

void SetBit(std::vector<std::uint8_t>& bits, int rowBytes, int y, int x) {
    bits[static_cast<std::size_t>(y * rowBytes + x / 8)] |=
        static_cast<std::uint8_t>(0x80 >> x % 8);
}

}  // namespace

std::optional<MonoCursor> DecodeMonoCursor(std::span<const std::uint8_t> file, std::string& error) {
    // File header (6 bytes), first directory entry (16), then the image:
    // a bitmap header, a two-entry palette, the XOR rows, the AND rows,
    // each bottom-up and padded to four bytes. The header's height counts
    // both bitmaps.
    if (file.size() < 22 || Read16(file, 0) != 0 || Read16(file, 2) != 2 || Read16(file, 4) < 1) {
        error = "not a cursor file";
        return std::nullopt;
    }
    MonoCursor cursor;
    cursor.hotX = static_cast<int>(Read16(file, 10));
    cursor.hotY = static_cast<int>(Read16(file, 12));
    const std::size_t size = Read32(file, 14);
    const std::size_t offset = Read32(file, 18);
    if (offset + size > file.size() || size < 48) {
        error = "cursor image out of the file";
        return std::nullopt;
    }
    const auto image = file.subspan(offset, size);
    const std::uint32_t headerSize = Read32(image, 0);
    const int width = static_cast<int>(Read32(image, 4));
    const int height = static_cast<int>(Read32(image, 8)) / 2;
    if (headerSize < 40 || Read16(image, 14) != 1 || width <= 0 || width % 8 != 0 || height <= 0 ||
        width > 256 || height > 256) {
        error = "not a two-colour cursor of a width divisible by 8";
        return std::nullopt;
    }
    const int stride = (width + 31) / 32 * 4;
    const std::size_t palette = headerSize;
    const std::size_t xorBits = palette + 8;
    const std::size_t andBits = xorBits + static_cast<std::size_t>(stride * height);
    if (andBits + static_cast<std::size_t>(stride * height) > image.size()) {
        error = "cursor bitmaps cut short";
        return std::nullopt;
    }
    auto isBlack = [&](bool index) {
        const std::size_t entry = palette + (index ? 4 : 0);
        return image[entry] + image[entry + 1] + image[entry + 2] < 3 * 128;
    };
    cursor.width = width;
    cursor.height = height;
    const int rowBytes = width / 8;
    cursor.data.assign(static_cast<std::size_t>(rowBytes * height), 0);
    cursor.mask.assign(cursor.data.size(), 0);
    for (int y = 0; y < height; ++y) {
        const std::size_t stored = static_cast<std::size_t>((height - 1 - y) * stride);
        const std::uint8_t* xorRow = image.data() + xorBits + stored;
        const std::uint8_t* andRow = image.data() + andBits + stored;
        for (int x = 0; x < width; ++x) {
            const bool colour = Bit(xorRow, x);
            if (Bit(andRow, x)) {
                if (colour)
                    SetBit(cursor.data, rowBytes, y, x);  // inverts
            } else {
                SetBit(cursor.mask, rowBytes, y, x);
                if (isBlack(colour))
                    SetBit(cursor.data, rowBytes, y, x);
            }
        }
    }
    return cursor;
}

SDL_Cursor* CreateSaverCursor(std::span<const std::uint8_t> file) {
    std::string error;
    const std::optional<MonoCursor> cursor = DecodeMonoCursor(file, error);
    if (!cursor)
        return nullptr;
    return SDL_CreateCursor(cursor->data.data(), cursor->mask.data(), cursor->width, cursor->height,
                            cursor->hotX, cursor->hotY);
}

}  // namespace wendrel::display
