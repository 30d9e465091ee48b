#include "sketch/bahnskizze.h"

#include <algorithm>
#include <cmath>

namespace bogenkette {

namespace {

// Chords for an arc of radius r (picture units) turning by `winkel`: each chord
// of angle w stays within r (1 - cos(w / 2)) <= 0.5 of the arc.
int sehnenanzahl(double r, double winkel)
{
    const double hoechstens = r > 0.5 ? 2 * std::acos(1 - 0.5 / r) : winkel;
    const double anzahl = std::ceil(winkel / hoechstens);
    return static_cast<int>(std::clamp(anzahl, 1.0, static_cast<double>(hoechstensSehnen)));
}

}  // namespace

void bahnelementZeichnen(const Skizzenmass& m, Bahnpunkt von, const Bahnelement& element,
                         Zeichenflaeche& flaeche)
{
    if (m.massstab == 0.0)
        return;
    float xAlt = skizzenX(m, mm(von.x)), yAlt = skizzenY(m, mm(von.y));
    const float xEnde = skizzenX(m, mm(element.ende.x)), yEnde = skizzenY(m, mm(element.ende.y));
    if (element.art != Bahnelement::Art::gerade) {
        const double cx = mm(element.mitte.x), cy = mm(element.mitte.y);
        const double r = bogenradius(von, element);
        const double winkel = bogenwinkel(von, element);
        const double sinn = element.art == Bahnelement::Art::links ? 1 : -1;
        const double anfang = std::atan2(mm(von.y - element.mitte.y), mm(von.x - element.mitte.x));
        const int n = sehnenanzahl(r * m.massstab * skizzenAnteil, winkel);
        for (int i = 1; i < n; ++i) {
            const double w = anfang + sinn * winkel * i / n;
            const float x = skizzenX(m, cx + r * std::cos(w)),
                        y = skizzenY(m, cy + r * std::sin(w));
            flaeche.linieZiehen(xAlt, yAlt, x, y);
            xAlt = x;
            yAlt = y;
        }
    }
    flaeche.linieZiehen(xAlt, yAlt, xEnde, yEnde);
}

}  // namespace bogenkette
