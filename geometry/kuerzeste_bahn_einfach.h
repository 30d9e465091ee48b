// The shortest path found the straightforward way, as the reference for the
// search of kuerzeste_bahn.h: every pair of places checked on its own, then the
// fewest elements to every place in turn. Its cost grows with the cube of the
// number of places: for tests and comparisons on small contours.
#pragma once

#include "geometry/kuerzeste_bahn.h"

namespace bogenkette {

std::vector<Bahnschritt> kuerzesteSchritteEinfach(const Bahnpunkte& punkte, Toleranzband band);

}  // namespace bogenkette
