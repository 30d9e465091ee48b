// The points of a contour as a path sees them: on the path's grid of
// ten-thousandths, numbered from 0, a run of points at the same written place
// taken once. The shortest path is fitted to these places, so that its elements
// start and end exactly where the program writes them.
#pragma once

#include "input/kontur.h"

#include <vector>

namespace bogenkette {

struct Bahnpunkte {
    // The written place of each, in the points' length unit (k / 10,000 exactly
    // as the nearest double).
    std::vector<double> x, y;
    // The point of the list each stands for: the last of its run.
    std::vector<Index> punkt;

    Index anzahl() const { return static_cast<Index>(x.size()); }
};

// The places of `kontur` (whose points lie within the path's range).
Bahnpunkte bahnpunkteBilden(const Kontur& kontur);

}  // namespace bogenkette
