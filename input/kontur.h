// The point list of one computation run.
#pragma once

#include <cstdint>
#include <vector>

namespace bogenkette {

using Index = std::int64_t;

// Points are numbered from 1 to anzahl in file order: point k is (xWert[k],
// yWert[k]). Element 0 of both arrays exists and is never written.
struct Kontur {
    Index anzahl = 0;
    std::vector<double> xWert, yWert;

    // Sizes both arrays for n points, every element 0.
    void anlegen(Index n)
    {
        anzahl = n;
        xWert.assign(static_cast<std::size_t>(n) + 1, 0.0);
        yWert.assign(static_cast<std::size_t>(n) + 1, 0.0);
    }
};

}  // namespace bogenkette
