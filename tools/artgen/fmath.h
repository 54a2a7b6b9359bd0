// Portable math: our own sin/exp/log/atan so that results do not depend on the C library.
// Only operations that IEEE 754 defines exactly (+ - * / sqrt floor) are taken from the system.
#pragma once

#include <cmath>

namespace art {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLn2 = 0.69314718055994530942;

inline double clamp01(double x) {
    return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
}
inline double clampd(double x, double a, double b) {
    return x < a ? a : (x > b ? b : x);
}
inline double mixd(double a, double b, double t) {
    return a + (b - a) * t;
}
inline double smoothstep(double e0, double e1, double x) {
    double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}
inline double fract(double x) {
    return x - std::floor(x);
}

inline double fsin(double x) {
    double k = std::floor(x / (2.0 * kPi) + 0.5);
    x -= k * 2.0 * kPi;
    if (x > kPi / 2) {
        x = kPi - x;
    } else if (x < -kPi / 2) {
        x = -kPi - x;
    }
    double x2 = x * x;
    double p = -1.0 / 1307674368000.0;
    p = p * x2 + 1.0 / 6227020800.0;
    p = p * x2 - 1.0 / 39916800.0;
    p = p * x2 + 1.0 / 362880.0;
    p = p * x2 - 1.0 / 5040.0;
    p = p * x2 + 1.0 / 120.0;
    p = p * x2 - 1.0 / 6.0;
    p = p * x2 + 1.0;
    return x * p;
}

inline double fcos(double x) {
    return fsin(x + kPi / 2);
}

inline double fexp(double x) {
    if (x < -700.0) {
        return 0.0;
    }
    if (x > 700.0) {
        x = 700.0;
    }
    double k = std::floor(x / kLn2 + 0.5);
    double r = x - k * kLn2;
    double term = 1.0;
    double sum = 1.0;
    for (int i = 1; i < 14; ++i) {
        term *= r / i;
        sum += term;
    }
    return std::ldexp(sum, static_cast<int>(k));
}

inline double flog(double x) {
    if (x <= 0.0) {
        return -745.0;
    }
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < 0.70710678118654752) {
        m *= 2.0;
        --e;
    }
    double s = (m - 1.0) / (m + 1.0);
    double s2 = s * s;
    double sum = 0.0;
    double pw = s;
    for (int i = 0; i < 12; ++i) {
        sum += pw / (2 * i + 1);
        pw *= s2;
    }
    return e * kLn2 + 2.0 * sum;
}

inline double fpow(double b, double e) {
    return b <= 0.0 ? 0.0 : fexp(e * flog(b));
}

inline double fatan(double x) {
    bool neg = x < 0.0;
    if (neg) {
        x = -x;
    }
    bool inv = x > 1.0;
    if (inv) {
        x = 1.0 / x;
    }
    // Two halvings: atan(x) = 2 atan(x / (1 + sqrt(1 + x^2))).
    for (int i = 0; i < 2; ++i) {
        x = x / (1.0 + std::sqrt(1.0 + x * x));
    }
    double x2 = x * x;
    double sum = 0.0;
    double pw = x;
    for (int i = 0; i < 10; ++i) {
        sum += ((i & 1) ? -pw : pw) / (2 * i + 1);
        pw *= x2;
    }
    sum *= 4.0;
    if (inv) {
        sum = kPi / 2 - sum;
    }
    return neg ? -sum : sum;
}

inline double fatan2(double y, double x) {
    if (x > 0.0) {
        return fatan(y / x);
    }
    if (x < 0.0) {
        return y >= 0.0 ? fatan(y / x) + kPi : fatan(y / x) - kPi;
    }
    return y > 0.0 ? kPi / 2 : (y < 0.0 ? -kPi / 2 : 0.0);
}

}  // namespace art
