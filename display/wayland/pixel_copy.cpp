#include "display/wayland/pixel_copy.h"

#include <cstring>

#include "scene/frame_buffer.h"

namespace wendrel::display::wayland {

void CopyFrameRect(const std::uint8_t* frame, const PixelRect& rect, std::uint8_t* pixels,
                   int pitch) {
    for (int y = rect.y; y < rect.y + rect.h; ++y) {
        // The first stored row is the bottom one of the upright picture.
        const std::uint8_t* in = frame +
                                 static_cast<std::ptrdiff_t>(kFrameHeight - 1 - y) * kFrameStride +
                                 static_cast<std::ptrdiff_t>(rect.x) * 3;
        std::uint8_t* out = pixels + static_cast<std::ptrdiff_t>(y) * pitch +
                            static_cast<std::ptrdiff_t>(rect.x) * 4;
        for (int x = 0; x < rect.w; ++x, in += 3, out += 4) {
            // The unused byte set, as in an opaque ARGB pixel: some
            // compositors copy it into what screen grabbers read as alpha.
            const std::uint32_t pixel = 0xff000000U | std::uint32_t{in[2]} << 16 |
                                        std::uint32_t{in[1]} << 8 | std::uint32_t{in[0]};
            std::memcpy(out, &pixel, sizeof pixel);
        }
    }
}

}  // namespace wendrel::display::wayland
