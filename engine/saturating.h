#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

namespace palomind {

// The race clock's 32-bit arithmetic saturates instead of overflowing: race
// and start-wait times far outside any real race keep the program running.
inline std::int32_t Saturate32(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

inline std::int32_t AddSat(std::int32_t a, std::int32_t b) {
    return Saturate32(static_cast<std::int64_t>(a) + b);
}

inline std::int32_t SubSat(std::int32_t a, std::int32_t b) {
    return Saturate32(static_cast<std::int64_t>(a) - b);
}

// Rounds to the nearest integer, ties to even, and saturates to 32 bits
// (NaN gives 0).
inline std::int32_t RoundHalfEven32(double v) {
    if (std::isnan(v)) return 0;
    const double r = std::nearbyint(v);  // the default rounding mode rounds ties to even
    if (r >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (r <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

}  // namespace palomind
