// The arc chain fitted the straightforward way: the reference that the tests and
// the benchmark hold the fast fitting against. Every trial searches its middle
// point over all of its points and tests all of its points against its circle
// again, so an arc of m points costs about m*m point tests. Same course of the
// chain (Kettenrechner), so the same arcs as berechneKette.
#pragma once

#include "geometry/kette.h"

namespace bogenkette {

void berechneKetteEinfach(const Kontur& kontur, double fehl, Bogenempfaenger& empfaenger);

}  // namespace bogenkette
