// One computation run, shared by the window and the batch converter: read the
// point file, show the points, write the header for fehl, fit the chain while
// writing the report, and give the report its name.
#pragma once

#include "geometry/bahnausgabe.h"
#include "geometry/kette.h"
#include "geometry/korrektur.h"
#include "input/kontur.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace bogenkette {

class Berichtsdatei;
class Zahlenformat;

// The contour error of a run for which none was chosen.
inline constexpr double standardFehl = 0.05;

// Which fitting the run uses: the fast one, or the straightforward reference
// (for comparisons); both give the same chain.
enum class Kettenverfahren { schnell, einfach };

// What a run needs besides the report file.
struct Laufauftrag {
    // A point file, or a DXF drawing (a name ending in .dxf, any case).
    std::string punktdatei;
    // The permissible contour error; standardFehl where it has no value or is
    // not positive.
    std::optional<double> fehl;
    const Zahlenformat& format;
    Kettenverfahren verfahren;
    // How the path of the NC programs and pictures is made.
    Bahnverfahren bahn;
    // Which contour of a DXF drawing, from 1 in drawing order.
    Index kontur = 1;
    // The side the NC program's cutter radius compensation keeps the tool on; it
    // decides the band of the path (bahnband). With compensation the path runs
    // along the chain: the shortest path's elements meet at kinks, which the
    // control would turn into corners on the tool's side.
    Korrektur korrektur = Korrektur::aus;
};

struct Laufergebnis {
    Index punkte = 0;
    Index boegen = 0;
    double fehl = 0.0;       // the contour error used
    Index bahnelemente = 0;  // of the path, where one was made
    Index konturen = 0;      // the contours of a DXF drawing; 0 for a point file
    // Why outputs that could not be made from this path were left out (an NC
    // program whose tool cannot cut it); the report and the others are written.
    std::vector<std::string> ablehnungen;
};

// Runs the computation of `auftrag` into the opened report and the further
// outputs: they begin as soon as the points are read (the window draws its
// sketch then), take the chain with the report, and are completed in order;
// the outputs of the path (`bahnausgaben`, if any) get one path made for all of
// them (run/bahnlauf.h) and are completed after the others;
// all of them and the report are written out before any is put in place, the
// report last. On failure it throws Fehler and the report is discarded, leaving
// an existing file of its name as it was (outputs discard theirs when destroyed
// uncompleted). An output that refuses this path (Ablehnung) is left out and
// named in the result; the rest of the run goes on.
Laufergebnis berechnungDurchfuehren(const Laufauftrag& auftrag, Berichtsdatei& bericht,
                                    std::span<Kettenausgabe* const> weitere,
                                    std::span<Bahnausgabe* const> bahnausgaben);

// Refuses (Fehler) a report path that names the point file itself.
void berichtPruefen(const std::string& punktdatei, const std::string& berichtspfad);

// A file a run writes besides the report, with the word its messages use
// ("NC-Programm", "Bild").
struct Ausgabedatei {
    std::string bezeichnung;
    std::string pfad;
};

// Refuses (Fehler) further files of a run that would overwrite the point file,
// the report or one another: the same path, or two names of one existing file.
void ausgabenPruefen(const std::string& punktdatei, const std::string& berichtspfad,
                     std::span<const Ausgabedatei> ausgaben);

}  // namespace bogenkette
