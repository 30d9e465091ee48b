// The arc chain fitted the straightforward way, kept as the benchmark's baseline:
// every trial searches its middle point over all of its points and tests all of
// its points against its circle again, so an arc of m points costs about m*m
// point tests. Same course of the chain (Kettenrechner), so the same rows,
// blocks and circles as berechneKette.
#pragma once

#include "geometry/kette.h"

namespace bogenkette {

void berechneKetteEinfach(Kontur& kontur, double fehl, Kettenausgabe& ausgabe);

}  // namespace bogenkette
