// The shortest path: the fewest elements (straight segments and arcs under a
// full turn) from the first point to the last that keep the band, for the NC
// programs and every picture of the path. The report's chain is not touched.
//
// Every element runs from one point to a later one (the path's places: points
// rounded to the program's four decimals, a run of points at one place taken
// once) and starts where the one before ended; every point it spans lies within
// the band of the element, and every point of the element within the band of
// the polyline through those points (geometry/paarpruefung.h decides a pair).
// The fewest such elements make a shortest path in the graph of all pairs that
// have an element.
//
// kuerzesteSchritte searches that graph layer by layer from the first point
// (breadth first): layer d holds the points reached with d elements. For each
// start it finds the farthest point an element reaches, from above: it probes
// ahead until a probe fails and three points show that no circle through the
// start fits them (then no element from it reaches that far), then goes back
// down, refuting most candidates by two points whose constraints exclude each
// other. Of each layer it keeps the `breite` points nearest the layer's far
// end as the starts of the next: those the elements of the next layer start
// from, where the contour changes. So an element of m points costs a few
// passes over its points, not m of them. kuerzeste_bahn_einfach.h holds the
// straightforward search over every pair, the reference for this one.
#pragma once

#include "geometry/bahn.h"
#include "geometry/bahnpunkte.h"
#include "geometry/paarpruefung.h"
#include "geometry/toleranzband.h"
#include "input/kontur.h"

#include <vector>

namespace bogenkette {

// One element of the shortest path: to place `bis`, from where the one before
// ended (the first from place 0).
struct Bahnschritt {
    Index bis = 0;
    Stueck stueck;
};

// The elements of a shortest path through `punkte` (at least one place).
std::vector<Bahnschritt> kuerzesteSchritte(const Bahnpunkte& punkte, Toleranzband band);

// Hands the path of `schritte` to `ziel` on the program's grid: every arc with its
// centre moved onto the bisector of its written ends. Where rounding would take
// an arc beyond the band by more than 0.00015 (points) or 0.0001 (the polyline
// of the places), it is written as straight blocks through its points instead.
void bahnSchreiben(const Kontur& kontur, const Bahnpunkte& punkte, Toleranzband band,
                   const std::vector<Bahnschritt>& schritte, Bahnempfaenger& ziel);

// The shortest path of `kontur` (within the path's range) handed to `ziel`.
void kuerzesteBahn(const Kontur& kontur, Toleranzband band, Bahnempfaenger& ziel);

}  // namespace bogenkette
