#include "tools/artgen/canvas.h"

#include "tools/artgen/fmath.h"

namespace art {

double srgb_encode(double v) {
    v = clamp01(v);
    return v <= 0.0031308 ? v * 12.92 : 1.055 * fpow(v, 1.0 / 2.4) - 0.055;
}

Col from_srgb(uint32_t hex) {
    auto dec = [](uint32_t c) {
        double v = c / 255.0;
        return v <= 0.04045 ? v / 12.92 : fpow((v + 0.055) / 1.055, 2.4);
    };
    return {dec((hex >> 16) & 0xffu), dec((hex >> 8) & 0xffu), dec(hex & 0xffu)};
}

Canvas::Canvas(int width, int height, int ss)
    : w_(width),
      h_(height),
      ss_(ss),
      sw_(width * ss),
      sh_(height * ss),
      px_(static_cast<size_t>(sw_) * static_cast<size_t>(sh_)) {}

std::vector<Col> Canvas::resolve() const {
    std::vector<Col> out(static_cast<size_t>(w_) * static_cast<size_t>(h_));
    const double inv = 1.0 / (ss_ * ss_);
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            Col s;
            for (int j = 0; j < ss_; ++j) {
                for (int i = 0; i < ss_; ++i) {
                    s = s + px_[static_cast<size_t>(y * ss_ + j) * static_cast<size_t>(sw_) +
                                static_cast<size_t>(x * ss_ + i)];
                }
            }
            out[static_cast<size_t>(y) * static_cast<size_t>(w_) + static_cast<size_t>(x)] =
                s * inv;
        }
    }
    return out;
}

}  // namespace art
