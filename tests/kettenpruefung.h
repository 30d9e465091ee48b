// Checks of a finished run that must hold for every accepted point list, shared by
// the property tests and the fuzz targets.
//
// Kettenmitschrift sits between the fitting and the report and notes every call
// (rows with their point and circle index, blocks with the circle they show).
// ketteUndBerichtPruefen then checks the chain against the rules of the fitting
// (every point covered in order, joining points shared, the two-point piece of a
// failed first trial, the overlap of a last arc through the last three points,
// circle indices, radius errors within fehl, R never negative) and the report text
// against the calls (17 header lines, 80-character rows with the right texts in
// the right columns, 5-line arc blocks, CR LF after every line, nothing after the
// last block).
#pragma once

#include "geometry/geometrie.h"
#include "geometry/kette.h"
#include "input/kontur.h"

#include <string>
#include <string_view>
#include <vector>

namespace bogenkette {

class Zahlenformat;

struct Kettenschritt {
    bool block = false;  // false: a row of point p
    Index p = 0;
    Index c = 0;
    Kreis kreis;         // blocks: the circle shown
};

class Kettenmitschrift : public Kettenausgabe {
public:
    Kettenmitschrift(const Kontur& kontur, Kettenausgabe& ziel) : k_(kontur), ziel_(ziel) {}
    void zeileSchreiben(Index p, Index c) override;
    void kreisblockSchreiben(Index c) override;

    std::vector<Kettenschritt> schritte;

private:
    const Kontur& k_;
    Kettenausgabe& ziel_;
};

// One arc as the chain reported it.
struct Bogenstueck {
    Index von = 0, bis = 0;  // first and last point
    Index c = 0;
    Kreis kreis;
    enum Art { Bogen, Gerade, Schluss } art = Bogen;  // Gerade: failed first trial;
                                                      // Schluss: last three points
};

// Groups the calls into arcs and checks the chain. Rule violations are appended
// to `fehler` as text; the arcs found are returned.
std::vector<Bogenstueck> kettePruefen(const Kontur& k, double fehl,
                                      const std::vector<Kettenschritt>& schritte,
                                      std::vector<std::string>& fehler);

// The chain and the complete report text written for it. Empty when all holds.
std::vector<std::string> ketteUndBerichtPruefen(const Kontur& k, double fehl,
                                                const Zahlenformat& format,
                                                const std::vector<Kettenschritt>& schritte,
                                                std::string_view bericht);

// The 80-character row the report must hold for point p against `kreis`: the four
// three-decimal texts right-aligned at columns 14, 29, 44 and 64, a later text
// overwriting the end of an earlier one it reaches into. Empty when a text would
// start left of column 1 or a value is not finite (the run must then stop).
std::string erwarteteZeile(const Kontur& k, Index p, const Kreis& kreis,
                           const Zahlenformat& format);

}  // namespace bogenkette
