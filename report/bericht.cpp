#include "report/bericht.h"

#include "common/fehler.h"
#include "geometry/geometrie.h"
#include "output/ausgabe.h"
#include "report/zahlenformat.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace bogenkette {

namespace {

// The fixed lines of the header, in Windows-1252 (octal \374 = ü, \366 = ö, \337 = ß).
// Line 4 (the contour error) is composed in kopfSchreiben.
const char* const kopfOben[] = {
    " Berechnung einer Kette von Bogenst\374cken nach gegebenen Punkten ",
    " ==============================================================",
    "",
};
const char* const kopfUnten[] = {
    " Bemerkung: F\374r den Fall, dass der berechnete Kr\374mmungsradius",
    "            sehr gross ist,kann das zugeh\366rige Bogenst\374ck",
    "            durch eine Gerade ersetzt werden.",
    "",
    " Festlegung Heidenhain: ",
    "           R- wenn gro\337er Kreisbogen,  d.h.  > 180 Grad",
    "           R+ wenn kleiner Kreisbogen, d.h.  < 180 Grad",
    "           Drehsinn DR+ falls mathematisch positiv, d.h. gegen den Uhrzeiger",
    "           Drehsinn DR- falls mathematisch negativ, d.h. mit dem Uhrzeiger",
    "",
    "",
    "       x-Wert          y-Wert      Radienfehler       Radienwinkel",
    "",
};
const char* const fehlergrenze = " Berechnung f\374r Fehlergrenze: ";

}  // namespace

namespace {

// The largest magnitude of the given sign whose text has at most `zeichen`
// characters. A text grows with the magnitude (more digits, more separators; the
// sign is the same), so the magnitudes that fit form one range from 0, and a
// binary search over the finite doubles, ordered as their bit patterns, finds its
// end.
double groessterBetrag(const Zahlenformat& format, bool negativ, std::size_t zeichen)
{
    char text[maxZahltext];
    const auto passt = [&](std::uint64_t bits) {
        const double betrag = std::bit_cast<double>(bits);
        return format.dreiStellen(negativ ? -betrag : betrag, text) <= zeichen;
    };
    std::uint64_t passend = 0;  // 0 fits: "0,000"
    std::uint64_t zuGross = std::bit_cast<std::uint64_t>(std::numeric_limits<double>::max());
    if (passt(zuGross))
        return std::numeric_limits<double>::max();
    while (zuGross - passend > 1) {
        const std::uint64_t mitte = passend + (zuGross - passend) / 2;
        (passt(mitte) ? passend : zuGross) = mitte;
    }
    return std::bit_cast<double>(passend);
}

Achsenbereich achsenbereich(const Zahlenformat& format, std::size_t zeichen)
{
    return {-groessterBetrag(format, true, zeichen), groessterBetrag(format, false, zeichen),
            zeichen};
}

}  // namespace

Wertebereich wertebereich(const Zahlenformat& format)
{
    return {achsenbereich(format, xSpalte), achsenbereich(format, ySpalte)};
}

Bericht::Bericht(Ausgabe& ausgabe, const Zahlenformat& format, const Kontur& kontur,
                 std::string name)
    : aus_(ausgabe), format_(format), k_(kontur), name_(std::move(name))
{
}

void Bericht::kopfSchreiben(double fehl)
{
    for (const char* zeile : kopfOben)
        aus_.zeile(zeile, std::strlen(zeile));
    aus_.zeile(std::string(fehlergrenze) + " " + format_.allgemein(fehl) + " ");
    for (const char* zeile : kopfUnten)
        aus_.zeile(zeile, std::strlen(zeile));
}

void Bericht::laengePruefen(std::size_t laenge, std::size_t letzteSpalte, Index p,
                            const char* feld) const
{
    if (laenge > letzteSpalte)
        throw Fehler("Bericht " + dateiname(name_) + ": der Text " + feld + " von Punkt "
                     + std::to_string(p) + " ist mit " + std::to_string(laenge)
                     + " Zeichen zu lang für die Zeile (höchstens " + std::to_string(letzteSpalte)
                     + ").");
}

void Bericht::setzen(double wert, std::size_t letzteSpalte, Index p, const char* feld)
{
    // A text longer than its field overwrites the end of the field to its left.
    // Written in place where the format allows it; the room in front of the row
    // takes a text too long for it until the check refuses it.
    char* const ende = druckzeile() + letzteSpalte;
    std::size_t laenge = format_.dreiStellenVor(wert, ende);
    if (laenge == 0) {
        char text[maxZahltext];
        laenge = format_.dreiStellen(wert, text);
        laengePruefen(laenge, letzteSpalte, p, feld);
        std::memcpy(ende - laenge, text, laenge);
        return;
    }
    laengePruefen(laenge, letzteSpalte, p, feld);
}

void Bericht::bogenAufnehmen(const Bogen& bogen)
{
    for (Index p = bogen.von; p <= bogen.bis; ++p)
        zeileSchreiben(p, bogen.kreis);
    kreisblockSchreiben(bogen.kreis);
}

void Bericht::zeileSchreiben(Index p, const Kreis& kreis)
{
    const auto pi = static_cast<std::size_t>(p);
    const double x = k_.xWert[pi], y = k_.yWert[pi];
    const double a = kreis.a, b = kreis.b, R = kreis.R;

    const double radienfehler = std::sqrt((y - b) * (y - b) + (x - a) * (x - a)) - R;
    const double w = winkel(y - b, x - a);
    if (!std::isfinite(radienfehler) || !std::isfinite(w))
        throw Fehler("Bericht " + dateiname(name_) + ": Radienfehler oder Radienwinkel von Punkt "
                     + std::to_string(p) + " ist keine darstellbare Zahl.");

    // The usual row: the four texts written in place one after the other (every
    // text is at most maxKurztext long, so only x can start left of column 1).
    // Any other row is composed again field by field, which also words a refusal.
    static_assert(maxKurztext <= ySpalte, "a y text in place must not start left of the row");
    char* const zeile = druckzeile();
    std::memset(zeile, ' ', zeilenbreite);
    const std::size_t lx = format_.dreiStellenVor(x, zeile + xSpalte);
    const std::size_t ly = format_.dreiStellenVor(y, zeile + ySpalte);
    const std::size_t lf = format_.dreiStellenVor(radienfehler, zeile + fehlerSpalte);
    const std::size_t lw = format_.dreiStellenVor(w, zeile + winkelSpalte);
    if (lx == 0 || lx > xSpalte || ly == 0 || lf == 0 || lw == 0) {
        std::memset(zeile, ' ', zeilenbreite);
        setzen(x, xSpalte, p, "x");
        setzen(y, ySpalte, p, "y");
        setzen(radienfehler, fehlerSpalte, p, "Radienfehler");
        setzen(w, winkelSpalte, p, "Radienwinkel");
    }
    aus_.zeile(zeile, zeilenbreite);
}

void Bericht::wertzeile(const char* bezeichnung, double wert)
{
    char text[maxZahltext];
    aus_.schreiben(bezeichnung, std::strlen(bezeichnung));
    aus_.zeile(text, format_.dreiStellen(wert, text));
}

void Bericht::kreisblockSchreiben(const Kreis& kreis)
{
    aus_.zeile("", 0);
    wertzeile("      x-Koordinate Bogenmittelpunkt a = ", kreis.a);
    wertzeile("      y-Koordinate Bogenmittelpunkt b = ", kreis.b);
    wertzeile("                        Bogenradius R = ", kreis.R);
    aus_.zeile("", 0);
}

}  // namespace bogenkette
