// Cutter radius compensation: the side of the path's direction of travel on which
// the control keeps the tool, and the band that asks of the path. The material
// lies on the other side, so a point lying on the tool's side of the path means
// that the path runs into the material there: that side of the band takes almost
// nothing, the other keeps fehl.
#pragma once

#include "geometry/toleranzband.h"

namespace bogenkette {

enum class Korrektur { aus, links, rechts };

// How far a point may lie on the tool's side of the path with compensation on.
inline constexpr double materialseitenband = 0.001;

// The band of the path for a run with contour error fehl: fehl on both sides
// without compensation; with the tool left of the path, points lying left of it
// take at most materialseitenband, or fehl where that is less (and likewise on
// the right).
constexpr Toleranzband bahnband(double fehl, Korrektur korrektur)
{
    const double eng = fehl < materialseitenband ? fehl : materialseitenband;
    switch (korrektur) {
    case Korrektur::links: return {eng, fehl};
    case Korrektur::rechts: return {fehl, eng};
    case Korrektur::aus: break;
    }
    return Toleranzband::beidseitig(fehl);
}

}  // namespace bogenkette
