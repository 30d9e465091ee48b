// How far the points may lie from a path, on each side of its direction of
// travel. Without cutter radius compensation both sides take fehl; with it, the
// side of the material takes almost nothing, so that the tool, offset from the
// path by the control, never cuts into the part.
#pragma once

namespace bogenkette {

struct Toleranzband {
    double links = 0.0;   // the largest distance of a point lying left of the path
    double rechts = 0.0;  // the largest distance of a point lying right of it

    static constexpr Toleranzband beidseitig(double fehl) { return {fehl, fehl}; }
    constexpr double breitere() const { return links > rechts ? links : rechts; }
};

}  // namespace bogenkette
