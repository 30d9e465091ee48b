#include "run/berechnungslauf.h"

#include "run/berichtspfad.h"
#include "geometry/kette.h"
#include "common/fehler.h"
#include "input/punktdatei.h"
#include "report/ausgabe.h"
#include "report/bericht.h"
#include "report/schreibfaden.h"

namespace bogenkette {

namespace {

// Counts the arcs while passing the chain on to the report.
class Bogenzaehler : public Kettenausgabe {
public:
    explicit Bogenzaehler(Kettenausgabe& ziel) : ziel_(ziel) {}
    void zeileSchreiben(Index p, Index c) override { ziel_.zeileSchreiben(p, c); }
    void kreisblockSchreiben(Index c) override
    {
        ziel_.kreisblockSchreiben(c);
        ++boegen;
    }
    Index boegen = 0;

private:
    Kettenausgabe& ziel_;
};

}  // namespace

void berichtPruefen(const std::string& punktdatei, const std::string& berichtspfad)
{
    if (gleicheDatei(punktdatei, berichtspfad))
        throw Fehler("Bericht " + dateiname(berichtspfad) + " ist die Punktdatei selbst; "
                     "der Bericht braucht einen anderen Namen.");
}

Laufergebnis berechnungDurchfuehren(const std::string& punktdatei, Berichtsdatei& bericht,
                                    double fehl, const Zahlenformat& format,
                                    const std::function<void(const Kontur&)>& skizze,
                                    Kettenverfahren verfahren)
{
    try {
        berichtPruefen(punktdatei, bericht.pfad());
        Kontur kontur = punktdateiLesen(punktdatei, format);
        if (skizze)
            skizze(kontur);
        if (!(fehl > 0.0))
            fehl = standardFehl;
        Bericht text(bericht, format, kontur, bericht.pfad());
        text.kopfSchreiben(fehl);
        // The rows are composed and written on a second thread while the
        // chain is fitted; it has finished with the report before it gets its
        // name, and has stopped before a failed report is discarded.
        Index boegen = 0;
        {
            Schreibfaden faden(text, kontur);
            Bogenzaehler zaehler(faden);
            verfahren(kontur, fehl, zaehler);
            faden.abschliessen();
            boegen = zaehler.boegen;
        }
        bericht.abschliessen();
        return {kontur.anzahl, boegen};
    } catch (...) {
        bericht.verwerfen();
        throw;
    }
}

}  // namespace bogenkette
