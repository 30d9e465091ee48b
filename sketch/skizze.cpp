#include "sketch/skizze.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace bogenkette {

namespace {

// The smaller of the two candidates, the one of y when they are equal. A candidate
// that is not finite (its range is 0, or so small that 5800 / range overflows) has
// no say; with neither there is no scale (0).
double massstabWaehlen(double xBereich, double yBereich)
{
    const double sx = skizzenBreite / xBereich;
    const double sy = skizzenHoehe / yBereich;
    const bool mitX = std::isfinite(sx);
    const bool mitY = std::isfinite(sy);
    if (mitX && mitY) {
        double massstab = 0.0;
        if (sx <= sy)
            massstab = sx;
        if (sy <= sx)
            massstab = sy;
        return massstab;
    }
    if (mitX)
        return sx;
    if (mitY)
        return sy;
    return 0.0;
}

}  // namespace

Skizzenmass skizzeZeichnen(const Kontur& kontur, Zeichenflaeche& flaeche)
{
    Skizzenmass m;
    const Index anzahl = kontur.anzahl;
    if (anzahl < 1)
        return m;
    const auto& xWert = kontur.xWert;
    const auto& yWert = kontur.yWert;

    m.minx = xWert[1];
    m.maxx = xWert[1];
    m.miny = yWert[1];
    m.maxy = yWert[1];
    for (Index i = 1; i <= anzahl; ++i) {
        if (xWert[i] < m.minx)
            m.minx = xWert[i];
        if (xWert[i] > m.maxx)
            m.maxx = xWert[i];
    }
    for (Index i = 1; i <= anzahl; ++i) {
        if (yWert[i] < m.miny)
            m.miny = yWert[i];
        if (yWert[i] > m.maxy)
            m.maxy = yWert[i];
    }

    m.massstab = massstabWaehlen(m.maxx - m.minx, m.maxy - m.miny);
    if (m.massstab == 0.0)
        return m;

    float xAlt = skizzenX(m, xWert[1]);
    float yAlt = skizzenY(m, yWert[1]);
    for (Index i = 2; i <= anzahl; ++i) {
        const float xNeu = skizzenX(m, xWert[i]);
        const float yNeu = skizzenY(m, yWert[i]);
        flaeche.linieZiehen(xAlt, yAlt, xNeu, yNeu);
        xAlt = xNeu;
        yAlt = yNeu;
    }
    return m;
}

Pixelflaeche::Pixelflaeche(int breite, int hoehe) : breite_(breite), hoehe_(hoehe) {}

namespace {

// The pixel that holds the continuous coordinate c; far-off values are held at a
// distance that any drawing clips, instead of overflowing int.
int pixelVon(double c) { return static_cast<int>(std::floor(std::clamp(c, -1e6, 1e6))); }

}  // namespace

// Multiplied before divided: a unit value on a pixel boundary lands exactly on it.
int Pixelflaeche::spalte(float x) const { return pixelVon(x * breite_ / skizzenBreite); }

int Pixelflaeche::reihe(float y) const { return pixelVon(y * hoehe_ / skizzenHoehe); }

void Pixelflaeche::linieZiehen(float x1, float y1, float x2, float y2)
{
    const int neu[4] = {spalte(x1), reihe(y1), spalte(x2), reihe(y2)};
    if (begonnen_) {
        const bool punkt = neu[0] == neu[2] && neu[1] == neu[3];
        const bool gleich = std::equal(neu, neu + 4, letzte_);
        const bool umgekehrt = neu[0] == letzte_[2] && neu[1] == letzte_[3] && neu[2] == letzte_[0]
                               && neu[3] == letzte_[1];
        if (punkt || gleich || umgekehrt)
            return;
    }
    begonnen_ = true;
    std::copy(neu, neu + 4, letzte_);
    pixellinieZiehen(neu[0], neu[1], neu[2], neu[3]);
}

Rasterflaeche::Rasterflaeche(unsigned char* bits, int breite, int hoehe,
                             std::ptrdiff_t zeilenlaenge, std::uint32_t farbe, int staerke)
    : Pixelflaeche(breite, hoehe), bits_(bits), breite_(breite), hoehe_(hoehe),
      zeilenlaenge_(zeilenlaenge), farbe_(farbe), rand_(staerke / 2)
{
}

// Bresenham's line: every step moves one pixel along the longer axis.
void Rasterflaeche::pixellinieZiehen(int x1, int y1, int x2, int y2)
{
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int fehler = dx + dy;
    for (;;) {
        punktSetzen(x1, y1);
        if (x1 == x2 && y1 == y2)
            return;
        const int doppelt = 2 * fehler;
        if (doppelt >= dy) {
            fehler += dy;
            x1 += sx;
        }
        if (doppelt <= dx) {
            fehler += dx;
            y1 += sy;
        }
    }
}

void Rasterflaeche::punktSetzen(int x, int y)
{
    for (int j = std::max(0, y - rand_); j <= std::min(hoehe_ - 1, y + rand_); ++j)
        for (int i = std::max(0, x - rand_); i <= std::min(breite_ - 1, x + rand_); ++i)
            std::memcpy(bits_ + static_cast<std::ptrdiff_t>(j) * zeilenlaenge_
                            + static_cast<std::ptrdiff_t>(i) * 4,
                        &farbe_, 4);
}

}  // namespace bogenkette
