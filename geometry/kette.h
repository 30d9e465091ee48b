// The arc chain: cuts the point list into consecutive pieces, each replaced by
// one circular arc on which every point of the piece lies within the permissible
// contour error fehl, measured along the radius.
//
// Each arc grows by trials. Trial v of an arc starting at point anfang covers the
// points anfang .. e = anfang + 2 + v; its circle passes through the first point,
// a middle point chosen by x value, and the end point. The first trial that has a
// point farther than fehl from its circle closes the arc with the trial before
// it. Consecutive arcs share their joining point. Each arc is handed out as a
// value the moment it is fixed: the points it covers and its circle.
//
// The results are those of searching and testing all points of every trial, but
// an arc of m points costs far less than m*m point tests: the middle point is
// found in sorted x values (Mittelpunktsuche) and points that surely pass are not
// tested again (Toleranzpruefung). kette_einfach.h holds the straightforward
// fitting, the reference for both.
#pragma once

#include "geometry/geometrie.h"
#include "input/kontur.h"

namespace bogenkette {

// One piece of the chain.
struct Bogen {
    enum class Art {
        // An arc that passed the tolerance test: all its points lie within fehl
        // of its circle.
        kreisbogen,
        // The first trial of the arc failed: the straight piece of its first two
        // points, against the degenerate circle.
        gerade,
        // The trial that reached the last point failed: the last three points get
        // their own circle, without middle-point search or tolerance test. Two of
        // them already ended the piece before.
        schluss,
    };
    Index von = 0;  // first point
    Index bis = 0;  // last point
    Kreis kreis;
    Art art = Art::kreisbogen;
};

// Receives the pieces of the chain in chain order, each the moment it is fixed.
class Bogenempfaenger {
public:
    virtual ~Bogenempfaenger() = default;
    virtual void bogenAufnehmen(const Bogen& bogen) = 0;
};

// An output made from the chain of a computation run (an NC program, a picture,
// what the window shows): it learns the points and fehl before the first piece,
// takes every piece, and is completed only once the whole run has succeeded.
// Completing takes two steps, so that a run whose last file fails to be written
// leaves none of its files: first every output and the report are written out
// completely, then each is put in place.
class Kettenausgabe : public Bogenempfaenger {
public:
    // `kontur` stays valid until the output is completed. Throws Fehler when
    // the output cannot be made from these points.
    virtual void beginnen(const Kontur& kontur, double fehl) = 0;
    // Writes out everything; throws Fehler when the output cannot be completed
    // (a file not written), Ablehnung when it cannot be made from this chain
    // (the run's other files are written all the same).
    virtual void abschliessen() = 0;
    // Puts the completed output in place (a file takes its name); throws Fehler
    // when that fails.
    virtual void freigeben() {}
};

// Fits the chain for kontur (at least 3 points) within fehl > 0 and hands every
// piece to `empfaenger`. The first piece starts at point 1, every later one at
// the last point of the piece before (the last piece of kind schluss two points
// earlier), and the last ends at point anzahl.
void berechneKette(const Kontur& kontur, double fehl, Bogenempfaenger& empfaenger);

}  // namespace bogenkette
