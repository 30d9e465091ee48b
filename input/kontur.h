// The point list and the circle arrays of one computation run.
#pragma once

#include <cstdint>
#include <vector>

namespace bogenkette {

using Index = std::int64_t;

// Points are numbered from 1 to anzahl in file order; element 0 of every array
// exists and is never written. The circle arrays have the same index range and
// hold, at index v, the circle of trial v of the arc being fitted.
struct Kontur {
    Index anzahl = 0;
    std::vector<double> xWert, yWert;
    std::vector<double> kreisA, kreisB, kreisR;

    // Sizes all five arrays for n points, every element 0.
    void anlegen(Index n)
    {
        anzahl = n;
        const auto groesse = static_cast<std::size_t>(n) + 1;
        xWert.assign(groesse, 0.0);
        yWert.assign(groesse, 0.0);
        kreisA.assign(groesse, 0.0);
        kreisB.assign(groesse, 0.0);
        kreisR.assign(groesse, 0.0);
    }
};

}  // namespace bogenkette
