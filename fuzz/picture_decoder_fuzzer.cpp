// libFuzzer target of the picture decoder: any bytes, parsed as a .bmp file
// and as a packed DIB and, where the decoder accepts them, converted into
// 24-bit targets of several sizes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "scene/frame_buffer.h"
#include "scene/picture_decoder.h"

namespace {

using wendrel::DibView;

constexpr std::int32_t kMostTargetSide = 64;

void Convert(const DibView& view, std::int32_t width, std::int32_t height) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(wendrel::RowStride24(width)) *
                                  static_cast<std::size_t>(height));
    wendrel::ConvertTo24(view, width, height, out.data());
}

// Parses with one of the decoder's entries and converts what it accepts.
void Decode(bool (*parse)(std::span<const std::uint8_t>, DibView&, std::string&),
            const std::uint8_t* data, std::size_t size) {
    DibView view;
    std::string error;
    if (!parse(std::span<const std::uint8_t>(data, size), view, error)) {
        if (error.empty())
            __builtin_trap();  // a refusal always says why
        return;
    }
    // What the decoder accepted lies inside the input.
    const std::uint8_t* end = data + size;
    if (view.pixels.data() < data || view.pixels.data() + view.pixels.size() > end ||
        (!view.palette.empty() &&
         (view.palette.data() < data || view.palette.data() + view.palette.size() > end)))
        __builtin_trap();
    const std::int32_t width = view.header.biWidth;
    const std::int32_t height =
        view.header.biHeight < 0 ? -view.header.biHeight : view.header.biHeight;
    // The picture's own top-left corner, as far as a small target reaches,
    // then a target larger than the picture and one of a leaf's size.
    Convert(view, width < kMostTargetSide ? width : kMostTargetSide,
            height < kMostTargetSide ? height : kMostTargetSide);
    if (width <= kMostTargetSide && height <= kMostTargetSide)
        Convert(view, width + 3, height + 2);
    Convert(view, wendrel::kLeafImageSize, wendrel::kLeafImageSize);
}

}  // namespace

// Every input goes to both entries: as a .bmp file and as a packed DIB.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Decode(wendrel::ParseBmpFile, data, size);
    Decode(wendrel::ParsePackedDib, data, size);
    return 0;
}
