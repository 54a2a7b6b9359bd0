#include "display/x11/direct_shifts.h"

namespace wendrel::display {

std::optional<PixelShifts> DirectShifts(const SDL_PixelFormat& format) {
    const bool eightBits = format.Rloss == 0 && format.Gloss == 0 && format.Bloss == 0 &&
                           format.Rmask >> format.Rshift == 0xff &&
                           format.Gmask >> format.Gshift == 0xff &&
                           format.Bmask >> format.Bshift == 0xff;
    if (format.BytesPerPixel != 4 || !eightBits)
        return std::nullopt;
    return PixelShifts{format.Rshift, format.Gshift, format.Bshift};
}

}  // namespace wendrel::display
