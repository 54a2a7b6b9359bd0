#pragma once

#include <cstdint>

namespace wendrel {

// floor(n / d) for d > 0: division rounding toward minus infinity.
constexpr std::int32_t FloorDiv(std::int32_t n, std::int32_t d) {
    const std::int32_t q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

// Walks the quotients of (n0 + k * step) / d for k = 0, 1, 2 ... with
// d > 0, dividing only when it starts: the remainder is carried along, so
// each step is an add and a compare.
class FloorStepper {
  public:
    constexpr FloorStepper(std::int32_t n0, std::int32_t step, std::int32_t d)
        : m_d(d), m_q(FloorDiv(n0, d)), m_dq(FloorDiv(step, d)) {
        m_r = n0 - m_q * d;
        m_dr = step - m_dq * d;
    }

    // The same steps and divisor as `like`, from n0: one division, not two.
    constexpr FloorStepper(std::int32_t n0, const FloorStepper& like)
        : m_d(like.m_d), m_q(FloorDiv(n0, like.m_d)), m_dq(like.m_dq), m_dr(like.m_dr) {
        m_r = n0 - m_q * m_d;
    }

    // floor((n0 + k * step) / d).
    constexpr std::int32_t Floor() const { return m_q; }
    // The same quotient truncated toward zero, as C++ divides.
    constexpr std::int32_t Trunc() const { return m_q + (m_q < 0 && m_r != 0 ? 1 : 0); }
    // (n0 + k * step) - d * Floor(), in 0 ... d - 1.
    constexpr std::int32_t Remainder() const { return m_r; }
    // What one Next adds: floor(step / d), and step's remainder.
    constexpr std::int32_t StepQuotient() const { return m_dq; }
    constexpr std::int32_t StepRemainder() const { return m_dr; }
    constexpr std::int32_t Divisor() const { return m_d; }

    // From the same point, walking the other way: steps of -step.
    constexpr FloorStepper Reversed() const {
        FloorStepper back = *this;
        back.m_dq = -m_dq - (m_dr != 0 ? 1 : 0);
        back.m_dr = m_dr != 0 ? m_d - m_dr : 0;
        return back;
    }

    constexpr void Next() {
        // Without a branch: the carry is as good as random.
        m_r += m_dr;
        const std::int32_t carry = m_r >= m_d ? 1 : 0;
        m_r -= m_d & -carry;
        m_q += m_dq + carry;
    }

  private:
    std::int32_t m_d;
    std::int32_t m_q;
    std::int32_t m_dq;
    std::int32_t m_r = 0;  // 0 <= m_r < m_d
    std::int32_t m_dr = 0;
};

}  // namespace wendrel
