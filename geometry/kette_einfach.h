// The arc chain fitted the straightforward way: the reference that the tests and
// the benchmark hold the fast fitting against. Every trial searches its middle
// point over all of its points and tests all of its points against its circle
// again, so an arc of m points costs about m*m point tests. Same course of the
// chain (Kettenrechner), so the same arcs as berechneKette.
#pragma once

#include "geometry/kette.h"

namespace bogenkette {

void berechneKetteEinfach(const Kontur& kontur, double fehl, Bogenempfaenger& empfaenger);

// The middle point of the trial anfang .. e, by scanning all its points: the
// highest index whose x is nearest to the mean x of the first and the end point.
Index mitteSuchen(const Kontur& k, Index anfang, Index e);

// Whether every point anfang .. e lies within fehl of the circle, tested point by
// point as written: a deviation equal to fehl passes, one that cannot be
// computed (not a number) fails.
bool alleInnerhalb(const Kontur& k, Index anfang, Index e, const Kreis& kreis, double fehl);

}  // namespace bogenkette
