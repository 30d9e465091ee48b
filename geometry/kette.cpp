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
    bool passt(Index e, double a, double b, double R) { return pruefung_.passt(e, a, b, R); }

private:
    Mittelpunktsuche suche_;
    Toleranzpruefung pruefung_;
};

}  // namespace

void berechneKette(Kontur& kontur, double fehl, Kettenausgabe& ausgabe)
{
    SchnelleVersuche versuche(kontur, fehl);
    Kettenrechner<SchnelleVersuche>(kontur, ausgabe, versuche).rechnen();
}

}  // namespace bogenkette
