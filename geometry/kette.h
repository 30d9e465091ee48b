// The arc chain: cuts the point list into consecutive pieces, each replaced by
// one circular arc on which every point of the piece lies within the permissible
// contour error fehl, measured along the radius.
//
// Each arc grows by trials. Trial v of an arc starting at point anfang covers the
// points anfang .. e = anfang + 2 + v; its circle passes through the first point,
// a middle point chosen by x value, and the end point, and is stored at index v of
// the circle arrays. The first trial that has a point farther than fehl from its
// circle closes the arc with the trial before it. Consecutive arcs share their
// joining point. Each arc is handed to the output the moment it is fixed.
//
// The results are those of searching and testing all points of every trial, but
// an arc of m points costs far less than m*m point tests: the middle point is
// found in sorted x values (Mittelpunktsuche) and points that surely pass are not
// tested again (Toleranzpruefung).
#pragma once

#include "input/kontur.h"

namespace bogenkette {

// Receives the chain arc by arc: one row per point of the arc, measured against
// the circle at index c, then the arc's block.
class Kettenausgabe {
public:
    virtual ~Kettenausgabe() = default;
    virtual void zeileSchreiben(Index p, Index c) = 0;
    virtual void kreisblockSchreiben(Index c) = 0;
};

// Fits the chain for kontur (at least 3 points) within fehl > 0. Fills the circle
// arrays of kontur and writes every arc to `ausgabe`.
//
// An arc whose first trial already fails is the straight piece of its first two
// points: it is reported against the degenerate circle (1e9 for centre and radius)
// stored at index 0, and the next arc starts at its second point.
void berechneKette(Kontur& kontur, double fehl, Kettenausgabe& ausgabe);

// A way of fitting the chain with the signature of berechneKette.
using Kettenverfahren = void (*)(Kontur& kontur, double fehl, Kettenausgabe& ausgabe);

}  // namespace bogenkette
