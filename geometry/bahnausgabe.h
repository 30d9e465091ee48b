// Outputs of the path a machine cuts: the NC programs, the picture of the path,
// what the window draws. A run makes one path for all of them, in one of two
// ways (Bahnverfahren), and hands each output its elements.
#pragma once

#include "geometry/bahn.h"
#include "geometry/toleranzband.h"
#include "input/kontur.h"

#include <string>

namespace bogenkette {

// The path along the report's chain of arcs, or the shortest path with its
// guarantee (geometry/kuerzeste_bahn.h).
enum class Bahnverfahren { kurz, kette };

// What an output learns once the path is complete.
struct Bahnabschluss {
    Bahnverfahren verfahren = Bahnverfahren::kurz;
    Index elemente = 0;  // of the path
    Index boegen = 0;    // of the report's chain
};

// How an output counts the path: "8 Elemente" and `kurz` after it for the
// shortest path, "31 " and `boegen` (the chain's arcs; "1 Bogen") for the path
// along the chain.
inline std::string bahnzaehlung(const Bahnabschluss& a, const char* boegen, const char* kurz)
{
    if (a.verfahren == Bahnverfahren::kette)
        return std::to_string(a.boegen) + (a.boegen == 1 ? " Bogen" : std::string(" ") + boegen);
    return std::to_string(a.elemente) + (a.elemente == 1 ? " Element" : " Elemente") + kurz;
}

// Learns the points and fehl first, then takes the path's elements (through
// Bahnempfaenger), and is completed only once the whole run has succeeded, in
// the two steps of a Kettenausgabe (geometry/kette.h).
class Bahnausgabe : public Bahnempfaenger {
public:
    // `kontur` stays valid until the output is completed; `band` is the path's
    // (geometry/korrektur.h). Throws Fehler when the output cannot be made from
    // these points.
    virtual void beginnen(const Kontur& kontur, double fehl, const Toleranzband& band) = 0;
    // Writes out everything; throws Fehler when that fails, Ablehnung when the
    // output cannot be made from this path (the run's other files are written).
    virtual void abschliessen(const Bahnabschluss& abschluss) = 0;
    // Puts the completed output in place; throws Fehler when that fails.
    virtual void freigeben() {}
};

}  // namespace bogenkette
