// Programs with a frame read back, and the path of the tool centre checked as a
// machinist would check it: for din from rs274's canonical moves (the interpreter
// applies the compensation from its tool table), for klartext from an offset
// computed here, independently of the product: every programmed element sampled
// and moved by the radius to the tool's side, outer corners rounded about their
// point, and at inner corners the samples dropped that come nearer a neighbouring
// element than the radius (where the control cuts its offsets off).
#pragma once

#include "ncpruefung.h"

#include "nc/bearbeitung.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bogenkette {

// The frame a program must have.
struct Rahmenerwartung {
    Bearbeitung bearbeitung;
    double vorschub = standardVorschub;
};

// What a program with a frame holds besides its path.
struct Rahmenangaben {
    // The program without its frame, as a program of the path alone is written
    // (so that programmPruefen reads it).
    std::string ohneRahmen;
    double startX = 0, startY = 0;      // where the tool plunges
    double zielX = 0, zielY = 0;        // where it leaves the depth
    double anRadius = 0, abRadius = 0;  // of the lead arcs (klartext: APPR / DEP LCT)
};

// Reads the frame of a program, checking every block of it against `erwartung`;
// breaks are appended to `fehler`.
Rahmenangaben rahmenLesen(Dialekt dialekt, std::string_view text, const Rahmenerwartung& erwartung,
                          std::vector<std::string>& fehler);

// A tool centre path at cutting depth: a polyline of steps of at most 0.05.
using Werkzeugweg = std::vector<std::pair<double, double>>;

// The tool centre paths of rs274's canonical moves for programs run one after
// the other (each begins with its tool change): for each, it first goes to the
// safe height, then to the approach start, down to the depth there, moves only at
// the depth, and at the end goes up to the safe height.
std::vector<Werkzeugweg> rs274Werkzeugwege(std::string_view ausgabe, const Bearbeitung& bearbeitung,
                                           std::vector<std::string>& fehler);

// The tool centre path of a klartext program with compensation (the tool on
// `seite`, of radius R), computed here from its frame and its path.
Werkzeugweg klartextWerkzeugweg(const Rahmenangaben& rahmen, const Fahrweg& weg, Korrektur seite,
                                double R);

// The tool of radius R cuts the contour of k within fehl: its centre keeps at
// least R - 0.01 from every segment of the points' polyline (no gouge; rs274
// runs straight through corners of a few degrees and cuts some thousandths into
// them), and comes within R + fehl + 0.01 of every point (it follows the contour).
void werkzeugwegPruefen(const Kontur& k, double fehl, double R, const Werkzeugweg& weg,
                        std::vector<std::string>& fehler);

// Every point lies within its side of the band + 0.0002 of the path (the
// nearest move decides the side): with compensation links, a point left of the
// path at most `eng` from it, right of it fehl.
void bandPruefen(const Kontur& k, const Fahrweg& weg, double links, double rechts,
                 std::vector<std::string>& fehler);

}  // namespace bogenkette
