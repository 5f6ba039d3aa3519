#pragma once
// The one Double-to-Integer conversion of the whole program: drops the fraction (toward zero),
// saturates at the Int32 bounds, and gives 0 for NaN. Standard C++ only, so the engine can use it.
#include <cmath>
#include <cstdint>
#include <limits>

constexpr std::int32_t DoubleToInteger(double value) noexcept {
    if (value != value) return 0; // NaN
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value); // truncates toward zero, now in range
}
