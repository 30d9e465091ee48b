// Rounding a double to a fixed number of decimals from its exact binary value,
// the same on every machine: the report's three-decimal texts and the NC
// program's four-decimal coordinates both round this way.
#pragma once

#include <bit>
#include <cstdint>

namespace bogenkette {

// betrag (>= 0) times 10^stellen rounded to a whole number, exact halfway cases
// up. betrag = m 2^k with m < 2^53, so 10^stellen betrag = (5^stellen m)
// 2^(k + stellen) with 5^stellen m < 2^63, and rounding is a shift. False when the
// result would reach 2^63.
template <int stellen>
bool dezimalRunden(double betrag, std::uint64_t& ergebnis)
{
    static_assert(stellen >= 0 && stellen <= 4, "5^stellen m must stay below 2^63");
    std::uint64_t fuenfHoch = 1;
    for (int i = 0; i < stellen; ++i)
        fuenfHoch *= 5;
    const auto bits = std::bit_cast<std::uint64_t>(betrag);
    const auto exponent = static_cast<int>(bits >> 52);
    std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
    int k = -1074;
    if (exponent > 0) {
        m |= std::uint64_t{1} << 52;
        k = exponent - 1075;
    }
    const std::uint64_t p = fuenfHoch * m;
    const int schub = k + stellen;
    if (schub >= 0) {
        if (schub >= 63 || p > (std::uint64_t{INT64_MAX} >> schub))
            return false;
        ergebnis = p << schub;
        return true;
    }
    const int r = -schub;
    ergebnis = r >= 64 ? 0 : (p + (std::uint64_t{1} << (r - 1))) >> r;  // p < 2^63: no overflow
    return true;
}

}  // namespace bogenkette
