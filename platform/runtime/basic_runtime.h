#pragma once
// The value types and the error model of the player's code: 16-bit Integer,
// 32-bit Long, Boolean with True = -1, and "continue after error", where a
// statement that fails at run time is skipped and the procedure goes on.

#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>

namespace tambolin {

using Integer = std::int16_t;
using Long = std::int32_t;
using Boolean = std::int16_t;
using Byte = std::uint8_t;

inline constexpr Boolean True = -1;
inline constexpr Boolean False = 0;

inline constexpr Boolean toBoolean(bool b) {
    return b ? True : False;
}

// Raised by a statement that fails (overflow, index out of range, failed
// platform call); caught by step() so that only that statement is skipped.
class StepFailed final : public std::exception {
public:
    const char *what() const noexcept override { return "statement failed"; }
};

[[noreturn]] inline void failStep() {
    throw StepFailed();
}

// Runs one statement; a failure skips the rest of it and nothing escapes.
template <class F> bool step(F &&statement) noexcept {
    try {
        statement();
        return true;
    } catch (...) {
        return false;
    }
}

// Integer (16-bit) arithmetic that overflows fails the statement.
inline Integer toInteger(long long v) {
    if (v < std::numeric_limits<Integer>::min() || v > std::numeric_limits<Integer>::max())
        failStep();
    return static_cast<Integer>(v);
}
inline Long toLong(long long v) {
    if (v < std::numeric_limits<Long>::min() || v > std::numeric_limits<Long>::max())
        failStep();
    return static_cast<Long>(v);
}

// Real to integer: nearest, halves to even; out of range fails the statement.
inline long long roundHalfEven(double v) {
    if (!std::isfinite(v))
        failStep();
    return static_cast<long long>(std::nearbyint(v)); // default FE_TONEAREST = ties to even
}
inline Integer cint(double v) {
    if (!(v > -32768.5 && v < 32767.5))
        failStep();
    return toInteger(roundHalfEven(v));
}
inline Long clng(double v) {
    if (!(v > -2147483648.5 && v < 2147483647.5))
        failStep();
    return toLong(roundHalfEven(v));
}

// 1-based array bounds check: an index outside fails the statement.
inline void checkIndex(long long i, long long lo, long long hi) {
    if (i < lo || i > hi)
        failStep();
}

} // namespace tambolin
