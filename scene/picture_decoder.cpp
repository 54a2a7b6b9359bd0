#include "scene/picture_decoder.h"

#include <cstring>

#include "scene/frame_buffer.h"

namespace wendrel {
namespace {

constexpr std::int32_t kMaxSide = 16384;

std::uint32_t Read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t Read16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

bool Fail(std::string& error, const char* message) {
    error = message;
    return false;
}

std::size_t StoredStride(const BITMAPINFOHEADER& h) {
    return ((static_cast<std::size_t>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
}

std::int32_t AbsHeight(const BITMAPINFOHEADER& h) {
    return h.biHeight < 0 ? -h.biHeight : h.biHeight;
}

// Reads the header at the start of `dib` and checks it describes a picture
// this decoder can convert; returns the palette length in bytes.
bool ParseHeader(std::span<const std::uint8_t> dib, BITMAPINFOHEADER& h, std::size_t& paletteBytes,
                 std::string& error) {
    if (dib.size() < 40)
        return Fail(error, "bitmap too short for its header");
    const std::uint8_t* p = dib.data();
    h.biSize = Read32(p);
    h.biWidth = static_cast<std::int32_t>(Read32(p + 4));
    h.biHeight = static_cast<std::int32_t>(Read32(p + 8));
    h.biPlanes = Read16(p + 12);
    h.biBitCount = Read16(p + 14);
    h.biCompression = Read32(p + 16);
    h.biSizeImage = Read32(p + 20);
    h.biXPelsPerMeter = static_cast<std::int32_t>(Read32(p + 24));
    h.biYPelsPerMeter = static_cast<std::int32_t>(Read32(p + 28));
    h.biClrUsed = Read32(p + 32);
    h.biClrImportant = Read32(p + 36);
    if (h.biSize < 40 || h.biSize > dib.size())
        return Fail(error, "bitmap header size is invalid");
    if (h.biWidth <= 0 || h.biWidth > kMaxSide || h.biHeight == 0 || h.biHeight < -kMaxSide ||
        h.biHeight > kMaxSide)
        return Fail(error, "bitmap size is invalid");
    if (h.biPlanes != 1)
        return Fail(error, "bitmap plane count is not 1");
    if (h.biCompression != kBiRgb)
        return Fail(error, "compressed bitmaps are not supported");
    const std::uint16_t bits = h.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return Fail(error, "bitmap bit depth is not supported");
    std::size_t colours = 0;
    if (bits <= 8) {
        const std::uint32_t most = 1u << bits;
        colours = h.biClrUsed == 0 ? most : h.biClrUsed;
        if (colours > most)
            return Fail(error, "bitmap palette is too long");
    } else if (h.biClrUsed > 256) {
        return Fail(error, "bitmap palette is too long");
    } else {
        colours = h.biClrUsed;
    }
    paletteBytes = colours * 4;
    return true;
}

bool FinishView(const BITMAPINFOHEADER& h, std::span<const std::uint8_t> palette,
                std::span<const std::uint8_t> rest, DibView& view, std::string& error) {
    const std::size_t need = StoredStride(h) * static_cast<std::size_t>(AbsHeight(h));
    if (rest.size() < need)
        return Fail(error, "bitmap pixel data is truncated");
    view.header = h;
    view.palette = palette;
    view.pixels = rest.first(need);
    return true;
}

}  // namespace

bool ParsePackedDib(std::span<const std::uint8_t> bytes, DibView& view, std::string& error) {
    BITMAPINFOHEADER h{};
    std::size_t paletteBytes = 0;
    if (!ParseHeader(bytes, h, paletteBytes, error))
        return false;
    if (bytes.size() - h.biSize < paletteBytes)
        return Fail(error, "bitmap palette is truncated");
    return FinishView(h, bytes.subspan(h.biSize, paletteBytes),
                      bytes.subspan(h.biSize + paletteBytes), view, error);
}

bool ParseBmpFile(std::span<const std::uint8_t> bytes, DibView& view, std::string& error) {
    constexpr std::size_t kFileHeader = 14;
    if (bytes.size() < kFileHeader || bytes[0] != 'B' || bytes[1] != 'M')
        return Fail(error, "not a BMP file");
    const std::uint32_t pixelOffset = Read32(bytes.data() + 10);
    const auto dib = bytes.subspan(kFileHeader);
    BITMAPINFOHEADER h{};
    std::size_t paletteBytes = 0;
    if (!ParseHeader(dib, h, paletteBytes, error))
        return false;
    if (dib.size() - h.biSize < paletteBytes)
        return Fail(error, "bitmap palette is truncated");
    if (pixelOffset < kFileHeader + h.biSize + paletteBytes || pixelOffset > bytes.size())
        return Fail(error, "BMP pixel offset is invalid");
    return FinishView(h, dib.subspan(h.biSize, paletteBytes), bytes.subspan(pixelOffset), view,
                      error);
}

void ConvertTo24(const DibView& view, std::int32_t width, std::int32_t height, std::uint8_t* out) {
    const BITMAPINFOHEADER& h = view.header;
    const std::size_t outStride = static_cast<std::size_t>(RowStride24(width));
    std::memset(out, 0, outStride * static_cast<std::size_t>(height));
    const std::int32_t srcHeight = AbsHeight(h);
    const std::int32_t rows = height < srcHeight ? height : srcHeight;
    const std::int32_t cols = width < h.biWidth ? width : h.biWidth;
    const std::size_t srcStride = StoredStride(h);
    const std::size_t colours = view.palette.size() / 4;
    for (std::int32_t y = 0; y < rows; ++y) {  // y counts from the top
        const std::int32_t srcRow = h.biHeight > 0 ? srcHeight - 1 - y : y;
        const std::uint8_t* src = view.pixels.data() + static_cast<std::size_t>(srcRow) * srcStride;
        std::uint8_t* dst = out + static_cast<std::size_t>(height - 1 - y) * outStride;
        for (std::int32_t x = 0; x < cols; ++x, dst += 3) {
            if (h.biBitCount >= 24) {
                const std::uint8_t* px = src + static_cast<std::size_t>(x) * (h.biBitCount / 8);
                dst[0] = px[0];
                dst[1] = px[1];
                dst[2] = px[2];
                continue;
            }
            const std::size_t bit = static_cast<std::size_t>(x) * h.biBitCount;
            const unsigned byte = src[bit / 8];
            const unsigned shift = 8 - h.biBitCount - static_cast<unsigned>(bit % 8);
            const unsigned index = (byte >> shift) & ((1u << h.biBitCount) - 1);
            if (index < colours) {
                const std::uint8_t* quad = view.palette.data() + index * 4;
                dst[0] = quad[0];
                dst[1] = quad[1];
                dst[2] = quad[2];
            }
        }
    }
}

}  // namespace wendrel
