// One computation run, shared by the window and the batch converter: read the
// point file, show the points, write the header for fehl, fit the chain while
// writing the report, and give the report its name.
#pragma once

#include "geometry/kette.h"
#include "input/kontur.h"

#include <functional>
#include <string>

namespace bogenkette {

class Berichtsdatei;
class Zahlenformat;

inline constexpr double standardFehl = 0.05;

struct Laufergebnis {
    Index punkte = 0;
    Index boegen = 0;
};

// Runs the computation for the point file `punktdatei` into the opened report.
// `skizze` (may be empty) is shown the points right after they are read;
// `verfahren` fits the chain (another one only for comparisons). On
// success the report has its final name; on failure it throws Fehler and the
// report is discarded, leaving an existing file of its name as it was.
Laufergebnis berechnungDurchfuehren(const std::string& punktdatei, Berichtsdatei& bericht,
                                    double fehl, const Zahlenformat& format,
                                    const std::function<void(const Kontur&)>& skizze = {},
                                    Kettenverfahren verfahren = berechneKette);

// Refuses (Fehler) a report path that names the point file itself.
void berichtPruefen(const std::string& punktdatei, const std::string& berichtspfad);

}  // namespace bogenkette
