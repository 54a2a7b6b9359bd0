// Linear-light floating point colours and a supersampled painting surface.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/artgen/quantize.h"

namespace art {

struct Col {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

inline Col operator+(Col a, Col b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Col operator-(Col a, Col b) {
    return {a.r - b.r, a.g - b.g, a.b - b.b};
}
inline Col operator*(Col a, Col b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
inline Col operator*(Col a, double s) {
    return {a.r * s, a.g * s, a.b * s};
}
inline Col mix(Col a, Col b, double t) {
    return a + (b - a) * t;
}
inline double luma(Col c) {
    return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
}
// Push a colour toward (s > 1) or away from (s < 1) its own grey.
inline Col saturate(Col c, double s) {
    double l = luma(c);
    return Col{l, l, l} + (c - Col{l, l, l}) * s;
}
// sRGB 0..255 hex to linear light.
Col from_srgb(uint32_t hex);
double srgb_encode(double linear);  // linear 0..1 -> display 0..1

// A w x h canvas painted at ss x ss subsamples per final pixel.
class Canvas {
  public:
    Canvas(int width, int height, int ss);
    int sw() const { return sw_; }
    int sh() const { return sh_; }
    int ss() const { return ss_; }
    Col& at(int x, int y) {
        return px_[static_cast<size_t>(y) * static_cast<size_t>(sw_) + static_cast<size_t>(x)];
    }
    // Box-filtered final image, linear light.
    std::vector<Col> resolve() const;

  private:
    int w_;
    int h_;
    int ss_;
    int sw_;
    int sh_;
    std::vector<Col> px_;
};

}  // namespace art
