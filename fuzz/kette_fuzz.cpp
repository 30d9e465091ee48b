// Fuzz target: the whole computation on any bytes, with regional settings and the
// contour error taken from the input's last bytes. The point file is read, the
// chain fitted and the report written into memory; for every accepted file the
// chain and the report must keep every rule that ketteUndBerichtPruefen checks.
// A run may only stop at a row whose texts do not fit the row or whose values are
// not numbers, and then with a message naming the report. Both NC programs of a
// completed chain are written into memory too, read back and checked against the
// path's guarantee (ncpruefung.h); they may only be refused for a point beyond
// the coordinates a program holds, with a message naming the program.
#include "fuzzhilfe.h"
#include "kettenpruefung.h"
#include "ncpruefung.h"

#include "common/fehler.h"
#include "input/punktdatei.h"
#include "nc/ncprogramm.h"
#include "report/ausgabe.h"
#include "report/bericht.h"

#include <algorithm>
#include <cmath>
#include <string_view>

using namespace bogenkette;

namespace {

// The run stopped while the last piece was written: one of its rows has no place.
void abbruchPruefen(const Kontur& k, const Zahlenformat& format, const std::vector<Bogen>& boegen,
                    const Fehler& fehler)
{
    verlangen(std::string_view(fehler.what()).find("\"fuzz.TXT\"") != std::string_view::npos,
              std::string("Meldung ohne Berichtsnamen: ") + fehler.what());
    verlangen(!boegen.empty(), std::string("Abbruch vor dem ersten Bogen: ") + fehler.what());
    const Bogen& b = boegen.back();
    verlangen(b.von >= 1 && b.bis <= k.anzahl, "Abbruch bei einem Punkt außerhalb der Felder");
    bool ohnePlatz = false;
    for (Index p = b.von; p <= b.bis; ++p)
        ohnePlatz = ohnePlatz || erwarteteZeile(k, p, b.kreis, format).empty();
    verlangen(ohnePlatz, std::string("Abbruch, obwohl jede Zeile passt: ") + fehler.what());
}

// The largest magnitude of a coordinate.
double groessterBetrag(const Kontur& k)
{
    double groesster = 0;
    for (Index p = 1; p <= k.anzahl; ++p)
        groesster = std::max({groesster, std::fabs(k.xWert[p]), std::fabs(k.yWert[p])});
    return groesster;
}

void programmePruefen(const Kontur& k, double fehl, const std::vector<Bogen>& boegen)
{
    for (const Dialekt dialekt : {Dialekt::klartext, Dialekt::din}) {
        Speicherausgabe aus;
        NcProgramm programm(dialekt, aus, "fuzz", "fuzz.spl");
        try {
            programm.beginnen(k, fehl, Toleranzband::beidseitig(fehl));
        } catch (const Fehler& f) {
            verlangen(std::string_view(f.what()).find("\"fuzz\"") != std::string_view::npos,
                      std::string("Meldung ohne Programmnamen: ") + f.what());
            verlangen(groessterBetrag(k) > 999999999.9999,
                      std::string("Programm abgelehnt, obwohl jeder Punkt passt: ") + f.what());
            return;
        }
        for (const Bogen& b : boegen)
            programm.bogenAufnehmen(b);
        programm.abschliessen();
        const Programmerwartung erwartung{"fuzz", "fuzz.spl", fehl,
                                          static_cast<Index>(boegen.size())};
        const auto fehler = programmPruefen(dialekt, aus.inhalt(), k, erwartung);
        verlangen(fehler.empty(), fehler);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse)
{
    FuzzedDataProvider eingabe(daten, groesse);
    const Zahlenformat& format = fuzzFormat(eingabe);
    const double fehl = fuzzFehl(eingabe);
    const std::string text = eingabe.ConsumeRemainingBytesAsString();
    Kontur k;
    try {
        k = punkteAusText(text, "fuzz.spl", wertebereich(format));
    } catch (const Fehler&) {
        return 0;  // the reader's own target checks refusals
    }
    Speicherausgabe aus;
    Bericht bericht(aus, format, k, "fuzz.TXT");
    bericht.kopfSchreiben(fehl);
    Kettenmitschrift mitschrift(bericht);
    try {
        berechneKette(k, fehl, mitschrift);
    } catch (const Fehler& f) {
        abbruchPruefen(k, format, mitschrift.boegen, f);
        return 0;
    }
    const auto fehler = ketteUndBerichtPruefen(k, fehl, format, mitschrift.boegen, aus.inhalt());
    verlangen(fehler.empty(), fehler);
    programmePruefen(k, fehl, mitschrift.boegen);
    return 0;
}
