#include "geometry/kette.h"

#include "geometry/kettenrechner.h"
#include "geometry/mittelpunktsuche.h"
#include "geometry/toleranzpruefung.h"

namespace bogenkette {

namespace {

// Trials that search and test only what can have changed since the trial before.
class SchnelleVersuche {
public:
    SchnelleVersuche(const Kontur& kontur, double fehl) : suche_(kontur), pruefung_(kontur, fehl) {}

    void neuerBogen(Index anfang)
    {
        suche_.neuerBogen(anfang);
        pruefung_.neuerBogen(anfang);
    }
    Index mitte(Index e) { return suche_.suchen(e); }
    bool passt(Index e, const Kreis& kreis)
    {
        return pruefung_.passt(e, kreis.a, kreis.b, kreis.R);
    }

private:
    Mittelpunktsuche suche_;
    Toleranzpruefung pruefung_;
};

}  // namespace

void berechneKette(const Kontur& kontur, double fehl, Bogenempfaenger& empfaenger)
{
    SchnelleVersuche versuche(kontur, fehl);
    Kettenrechner<SchnelleVersuche>(kontur, empfaenger, versuche).rechnen();
}

}  // namespace bogenkette
