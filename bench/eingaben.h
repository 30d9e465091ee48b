// The benchmark's point files, made from fixed seeds so that every run measures
// the same bytes. Values are written with four decimals, as a measuring program
// would write them.
//
//   A  1,000,000 points of a mixed contour: arcs of 20 to 2,000 points and straight
//      runs, coordinates around 1000, noise of a third of fehl across the path.
//   B  200,000 points on one circle, 0.3 to 1.0 apart: one long arc.
//   C  100,000 collinear points: every first trial of an arc fails.
//   D  10,000 points on a circle with noise just below fehl.
#pragma once

#include "input/kontur.h"

#include <string>

namespace bogenkette::bench {

// The contour error every input is made for.
inline constexpr double benchFehl = 0.05;

struct Eingabe {
    char name;
    Index punkte;
    const char* beschreibung;
};

inline constexpr Eingabe eingaben[] = {
    {'A', 1'000'000, "gemischte Kontur (Boegen 20..2000 Punkte, Geraden, Rauschen fehl/3)"},
    {'B', 200'000, "ein Kreis, ein einziger Bogen"},
    {'C', 100'000, "kollineare Punkte (jeder erste Versuch scheitert)"},
    {'D', 10'000, "Rauschen knapp unter fehl"},
    {'E', 1'000'000, "60 Grad eines Kreises mit Radius 1000, dicht, vier Nachkommastellen"},
};

// Writes the point file of input `name` ('A' to 'E') to pfad. Throws Fehler.
void eingabeSchreiben(char name, const std::string& pfad);

}  // namespace bogenkette::bench
