// Random contours for the path and its programs: noisy arcs of radii from 0.007
// to 60,000 in both senses, zig-zags, circles traced one and a bit to several
// times, straight runs of whole numbers and fractions, clusters within a few
// hundredths; some with points repeated in place, some moved up to 1e6 from the
// origin and written with three or four decimals.
#pragma once

#include "input/kontur.h"

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace bogenkette::test {

using Zufall = std::mt19937_64;
using Punkte = std::vector<std::pair<double, double>>;

struct Zufallskontur {
    Kontur kontur;
    double fehl;
    std::string fall;  // what it is, for messages
};

// Contour number `lauf` (the kind goes round with it) and its fehl.
Zufallskontur zufallskontur(Zufall& z, int lauf);

// A rounded corner of a part: its centre (the corner's point where it is sharp),
// radius (0: sharp), the angle it turns by, and whether it turns left in the
// contour's direction.
struct Rundung {
    double x = 0, y = 0, r = 0;
    double drehung = 0;
    bool links = false;
};

// The closed contour of a part for cutter radius compensation: a star-shaped
// polygon of 3 to 8 corners some 30 to 80 from its middle, with inward dents,
// every corner rounded with a radius from below 0.8 R to 5 R or, where it turns
// by 60 degrees or more, left sharp; traced in either sense from halfway along a
// side, straight runs every 0.5 to 4, roundings every 10 degrees at most, four
// decimals. R is 1.5, 3 or 5.
struct Werkstueck {
    Kontur kontur;
    double fehl = 0;
    double R = 0;
    double abstand = 0;  // of the points on the straight runs
    std::vector<Rundung> rundungen;
    std::string fall;
};
Werkstueck zufallswerkstueck(Zufall& z, int lauf);

}  // namespace bogenkette::test
