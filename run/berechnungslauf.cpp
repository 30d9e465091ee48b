#include "run/berechnungslauf.h"

#include "common/fehler.h"
#include "common/vektorregister.h"
#include "geometry/kette.h"
#include "geometry/kette_einfach.h"
#include "input/dxfdatei.h"
#include "input/punktdatei.h"
#include "output/ausgabe.h"
#include "report/bericht.h"
#include "report/schreibfaden.h"
#include "run/bahnlauf.h"
#include "run/berichtspfad.h"

#include <vector>

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

// The points of the run: the lines of a point file, or a contour of a DXF
// drawing, whose arcs are expanded within fehl.
Kontur punkteEinlesen(const Laufauftrag& auftrag, double fehl, Index& konturen)
{
    const Wertebereich bereich = wertebereich(auftrag.format);
    if (!istDxfName(auftrag.punktdatei))
        return punktdateiLesen(auftrag.punktdatei, bereich);
    Dxfkontur dxf = dxfLesen(auftrag.punktdatei, bereich, fehl, auftrag.kontur);
    konturen = dxf.konturen;
    return std::move(dxf.kontur);
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
                                    std::span<Kettenausgabe* const> weitereAusgaben,
                                    std::span<Bahnausgabe* const> bahnausgaben)
{
    const Bahnverfahren verfahren =
        auftrag.korrektur == Korrektur::aus ? auftrag.bahn : Bahnverfahren::kette;
    Bahnlauf bahn(verfahren, auftrag.korrektur, bahnausgaben);
    std::vector<Kettenausgabe*> weitere(weitereAusgaben.begin(), weitereAusgaben.end());
    if (!bahnausgaben.empty())
        weitere.push_back(&bahn);
    try {
        vektorregisterFreigeben();  // before the threads start, which take over the state
        berichtPruefen(auftrag.punktdatei, bericht.pfad());
        const double fehl = fehlWaehlen(auftrag.fehl);
        Index konturen = 0;
        const Kontur kontur = punkteEinlesen(auftrag, fehl, konturen);
        for (Kettenausgabe* ausgabe : weitere)
            ausgabe->beginnen(kontur, fehl);
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
        Laufergebnis ergebnis{kontur.anzahl, boegen, fehl, 0, konturen, {}};
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
        ergebnis.bahnelemente = bahn.elemente();
        for (const std::string& ablehnung : bahn.ablehnungen())
            ergebnis.ablehnungen.push_back(ablehnung);
        return ergebnis;
    } catch (...) {
        bericht.verwerfen();
        throw;
    }
}

}  // namespace bogenkette
