#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

namespace runtime {

// The whole number nearest to value, a value exactly halfway going to the even neighbour
// (0.5 gives 0, 1.5 gives 2, 2.5 gives 2). Nothing when the result does not fit 64 bits
// or value is not finite.
inline std::optional<std::int64_t> roundHalfEven(double value)
{
    constexpr double limit = 9223372036854775808.0;  // 2^63
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);  // the default rounding mode: halves to even
    if (rounded < -limit || rounded >= limit)
        return std::nullopt;
    return static_cast<std::int64_t>(rounded);
}

} // namespace runtime
