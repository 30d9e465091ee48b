#include "run/berechnungslauf.h"

#include "common/fehler.h"
#include "common/vektorregister.h"
#include "geometry/kette.h"
#include "geometry/kette_einfach.h"
#include "input/punktdatei.h"
#include "report/ausgabe.h"
#include "report/bericht.h"
#include "report/schreibfaden.h"
#include "run/berichtspfad.h"

namespace bogenkette {

namespace {

// Hands each arc to the report and to every further output, and counts them.
class Verteiler : public Bogenempfaenger {
public:
    Verteiler(Bogenempfaenger& bericht, std::span<Kettenausgabe* const> weitere)
        : bericht_(bericht), weitere_(weitere)
    {
    }
    void bogenAufnehmen(const Bogen& bogen) override
    {
        bericht_.bogenAufnehmen(bogen);
        for (Kettenausgabe* ausgabe : weitere_)
            ausgabe->bogenAufnehmen(bogen);
        ++boegen;
    }
    Index boegen = 0;

private:
    Bogenempfaenger& bericht_;
    std::span<Kettenausgabe* const> weitere_;
};

double fehlWaehlen(const std::optional<double>& fehl)
{
    return fehl && *fehl > 0.0 ? *fehl : standardFehl;
}

}  // namespace

void berichtPruefen(const std::string& punktdatei, const std::string& berichtspfad)
{
    if (gleicheDatei(punktdatei, berichtspfad))
        throw Fehler("Bericht " + dateiname(berichtspfad)
                     + " ist die Punktdatei selbst; "
                       "der Bericht braucht einen anderen Namen.");
}

void ausgabenPruefen(const std::string& punktdatei, const std::string& berichtspfad,
                     std::span<const Ausgabedatei> ausgaben)
{
    const auto bitte = "; bitte einen anderen Namen wählen.";
    for (std::size_t i = 0; i < ausgaben.size(); ++i) {
        const Ausgabedatei& a = ausgaben[i];
        const std::string name = a.bezeichnung + " " + dateiname(a.pfad);
        if (gleicherPfad(a.pfad, punktdatei))
            throw Fehler(name + " ist die Punktdatei selbst" + bitte);
        if (gleicherPfad(a.pfad, berichtspfad))
            throw Fehler(name + " und Bericht " + dateiname(berichtspfad) + " sind dieselbe Datei"
                         + bitte);
        for (std::size_t j = 0; j < i; ++j)
            if (gleicherPfad(a.pfad, ausgaben[j].pfad))
                throw Fehler(name + " und " + ausgaben[j].bezeichnung + " "
                             + dateiname(ausgaben[j].pfad) + " sind dieselbe Datei" + bitte);
    }
}

Laufergebnis berechnungDurchfuehren(const Laufauftrag& auftrag, Berichtsdatei& bericht,
                                    std::span<Kettenausgabe* const> weitere)
{
    try {
        vektorregisterFreigeben();  // before the threads start, which take over the state
        berichtPruefen(auftrag.punktdatei, bericht.pfad());
        const Kontur kontur = punktdateiLesen(auftrag.punktdatei, wertebereich(auftrag.format));
        const double fehl = fehlWaehlen(auftrag.fehl);
        // The one place that decides the band of the path for every output.
        const Toleranzband band = bahnband(fehl, auftrag.korrektur);
        for (Kettenausgabe* ausgabe : weitere)
            ausgabe->beginnen(kontur, fehl, band);
        Bericht text(bericht, auftrag.format, kontur, bericht.pfad());
        text.kopfSchreiben(fehl);
        // The rows are composed and written on a second thread while the chain
        // is fitted; it has finished with the report before it gets its name,
        // and has stopped before a failed report is discarded.
        Index boegen = 0;
        {
            Schreibfaden faden(text);
            Verteiler verteiler(faden, weitere);
            if (auftrag.verfahren == Kettenverfahren::einfach)
                berechneKetteEinfach(kontur, fehl, verteiler);
            else
                berechneKette(kontur, fehl, verteiler);
            faden.abschliessen();
            boegen = verteiler.boegen;
        }
        // Every file is written out before any takes its name: a failure on the
        // way leaves none of them. One that refuses the chain is left out.
        Laufergebnis ergebnis{kontur.anzahl, boegen, fehl, {}};
        std::vector<Kettenausgabe*> fertige;
        for (Kettenausgabe* ausgabe : weitere) {
            try {
                ausgabe->abschliessen();
                fertige.push_back(ausgabe);
            } catch (const Ablehnung& ablehnung) {
                ergebnis.ablehnungen.emplace_back(ablehnung.what());
            }
        }
        bericht.fertigschreiben();
        for (Kettenausgabe* ausgabe : fertige)
            ausgabe->freigeben();
        bericht.abschliessen();
        return ergebnis;
    } catch (...) {
        bericht.verwerfen();
        throw;
    }
}

}  // namespace bogenkette
