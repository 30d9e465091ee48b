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

}  // namespace bogenkette::test
