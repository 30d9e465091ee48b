#include "report/bericht.h"

#include "geometry/geometrie.h"
#include "common/fehler.h"
#include "report/ausgabe.h"
#include "report/zahlenformat.h"

#include <cmath>
#include <cstring>

namespace bogenkette {

namespace {

// The fixed lines of the header, in Windows-1252 (\xFC = ü, \xF6 = ö, \xDF = ß).
// Line 4 (the contour error) is composed in kopfSchreiben.
const char* const kopfOben[] = {
    " Berechnung einer Kette von Bogenst\xFC" "cken nach gegebenen Punkten ",
    " ==============================================================",
    "",
};
const char* const kopfUnten[] = {
    " Bemerkung: F\xFC" "r den Fall, dass der berechnete Kr\xFC" "mmungsradius",
    "            sehr gross ist,kann das zugeh\xF6" "rige Bogenst\xFC" "ck",
    "            durch eine Gerade ersetzt werden.",
    "",
    " Festlegung Heidenhain: ",
    "           R- wenn gro\xDF" "er Kreisbogen,  d.h.  > 180 Grad",
    "           R+ wenn kleiner Kreisbogen, d.h.  < 180 Grad",
    "           Drehsinn DR+ falls mathematisch positiv, d.h. gegen den Uhrzeiger",
    "           Drehsinn DR- falls mathematisch negativ, d.h. mit dem Uhrzeiger",
    "",
    "",
    "       x-Wert          y-Wert      Radienfehler       Radienwinkel",
    "",
};
const char* const fehlergrenze = " Berechnung f\xFC" "r Fehlergrenze: ";

}  // namespace

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
                     + " Zeichen zu lang für die Zeile (höchstens "
                     + std::to_string(letzteSpalte) + ").");
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

Kreis Bericht::kreis(Index c) const
{
    const auto ci = static_cast<std::size_t>(c);
    return {k_.kreisA[ci], k_.kreisB[ci], k_.kreisR[ci]};
}

void Bericht::zeileSchreiben(Index p, Index c)
{
    zeileSchreiben(p, kreis(c));
}

void Bericht::kreisblockSchreiben(Index c)
{
    kreisblockSchreiben(kreis(c));
}

void Bericht::zeileSchreiben(Index p, const Kreis& kreis)
{
    const auto pi = static_cast<std::size_t>(p);
    const double x = k_.xWert[pi], y = k_.yWert[pi];
    const double a = kreis.a, b = kreis.b, R = kreis.R;

    radienfehler_ = std::sqrt((y - b) * (y - b) + (x - a) * (x - a)) - R;
    const double w = winkel(y - b, x - a);
    if (!std::isfinite(radienfehler_) || !std::isfinite(w))
        throw Fehler("Bericht " + dateiname(name_) + ": Radienfehler oder Radienwinkel von Punkt "
                     + std::to_string(p) + " ist keine darstellbare Zahl.");

    // The usual row: the four texts written in place one after the other (every
    // text is at most maxKurztext long, so only x can start left of column 1).
    // Any other row is composed again field by field, which also words a refusal.
    static_assert(maxKurztext <= 29, "a y text in place must not start left of the row");
    char* const zeile = druckzeile();
    std::memset(zeile, ' ', zeilenbreite);
    const std::size_t lx = format_.dreiStellenVor(x, zeile + 14);
    const std::size_t ly = format_.dreiStellenVor(y, zeile + 29);
    const std::size_t lf = format_.dreiStellenVor(radienfehler_, zeile + 44);
    const std::size_t lw = format_.dreiStellenVor(w, zeile + 64);
    if (lx == 0 || lx > 14 || ly == 0 || lf == 0 || lw == 0) {
        std::memset(zeile, ' ', zeilenbreite);
        setzen(x, 14, p, "x");
        setzen(y, 29, p, "y");
        setzen(radienfehler_, 44, p, "Radienfehler");
        setzen(w, 64, p, "Radienwinkel");
    }
    aus_.zeile<zeilenbreite>(zeile);
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
