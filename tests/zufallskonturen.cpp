#include "zufallskonturen.h"

#include "testhilfen.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bogenkette::test {

namespace {

double gleich(Zufall& z, double von, double bis)
{
    return std::uniform_real_distribution<double>(von, bis)(z);
}

// Circular pieces of random radius (0.007 to 60,000) and sense, with radial noise
// up to 1.5 fehl.
void rauschboegen(Zufall& z, Punkte& p, int n, double fehl)
{
    double x = 0, y = 0, richtung = gleich(z, 0, 6.3);
    while (static_cast<int>(p.size()) < n) {
        const double r = std::exp(gleich(z, -5, 11));
        const double schritt = std::min(r * gleich(z, 0.01, 0.6), gleich(z, 0.05, 5));
        const double sinn = z() % 2 ? 1 : -1;
        const int stueck = 3 + static_cast<int>(z() % 60);
        const double mx = x - sinn * r * std::sin(richtung), my = y + sinn * r * std::cos(richtung);
        double w = richtung - sinn * std::numbers::pi / 2;
        for (int j = 0; j < stueck && static_cast<int>(p.size()) < n; ++j) {
            const double rr = r + gleich(z, -1.5, 1.5) * fehl;
            p.emplace_back(mx + rr * std::cos(w), my + rr * std::sin(w));
            w += sinn * schritt / r;
        }
        x = mx + r * std::cos(w);
        y = my + r * std::sin(w);
        richtung = w + sinn * std::numbers::pi / 2;
    }
}

// Zig-zags across a direction, the teeth from a tenth to ten times fehl.
void zickzack(Zufall& z, Punkte& p, int n, double fehl)
{
    const double w = gleich(z, 0, 6.3), hoehe = fehl * std::exp(gleich(z, -2.3, 2.3));
    const double schritt = gleich(z, 0.001, 2);
    for (int i = 0; i < n; ++i) {
        const double quer = i % 2 ? hoehe : -hoehe;
        p.emplace_back(i * schritt * std::cos(w) - quer * std::sin(w),
                       i * schritt * std::sin(w) + quer * std::cos(w));
    }
}

// A circle traced one and a bit to several times: later rounds repeat earlier
// points exactly where the points per turn are whole.
void vollkreise(Zufall& z, Punkte& p, int n, double fehl)
{
    const double r = std::exp(gleich(z, -4, 7));
    const int proUmlauf = 6 + static_cast<int>(z() % 120);
    const double rauschen = z() % 2 ? 0 : fehl * gleich(z, 0, 0.9);
    const int umlaeufe = 1 + static_cast<int>(z() % 3);
    const int anzahl = std::min(n, proUmlauf * umlaeufe + 1 + static_cast<int>(z() % proUmlauf));
    for (int i = 0; i < anzahl; ++i) {
        const double w = 2 * std::numbers::pi * (i % proUmlauf) / proUmlauf;
        const double rr = r + gleich(z, -1, 1) * rauschen;
        p.emplace_back(rr * std::cos(w), rr * std::sin(w));
    }
}

// Straight runs, axis-parallel and aslant, whole numbers and fractions.
void kollinear(Zufall& z, Punkte& p, int n, double)
{
    double x = 0, y = 0;
    const double einheit = z() % 2 ? 1 : gleich(z, 0.0001, 0.7);
    while (static_cast<int>(p.size()) < n) {
        const double dx = static_cast<double>(z() % 5) - 2, dy = static_cast<double>(z() % 5) - 2;
        for (int j = 0, lauf = 2 + static_cast<int>(z() % 30);
             j < lauf && static_cast<int>(p.size()) < n; ++j) {
            p.emplace_back(x, y);
            x += dx * einheit;
            y += dy * einheit;
        }
    }
}

// Points strewn within a few hundredths: circles of radius 0 and below 0.01.
void haufen(Zufall& z, Punkte& p, int n, double)
{
    const double weite = std::exp(gleich(z, -9, -3));
    for (int i = 0; i < n; ++i)
        p.emplace_back(gleich(z, -weite, weite), gleich(z, -weite, weite));
}

// Straight runs and arcs joined at their tangents, as a milled part's outline:
// points 0.05 to 2 apart, moved across by up to fehl.
void gemischt(Zufall& z, Punkte& p, int n, double fehl)
{
    double x = 0, y = 0, richtung = gleich(z, 0, 6.3);
    const double abstand = std::exp(gleich(z, -3, 0.7)), rauschen = gleich(z, 0, 1) * fehl;
    while (static_cast<int>(p.size()) < n) {
        const bool bogen = z() % 3 != 0;
        const double r = std::exp(gleich(z, 0, 6)), sinn = z() % 2 ? 1 : -1;
        const int stueck = 5 + static_cast<int>(z() % 80);
        for (int j = 0; j < stueck && static_cast<int>(p.size()) < n; ++j) {
            const double quer = gleich(z, -rauschen, rauschen);
            p.emplace_back(x - quer * std::sin(richtung), y + quer * std::cos(richtung));
            x += abstand * std::cos(richtung);
            y += abstand * std::sin(richtung);
            if (bogen)
                richtung += sinn * abstand / r;
        }
    }
}

// Outlines of letters: strokes and bows a few millimetres long with few points,
// so that consecutive points lie up to 20 apart.
void buchstaben(Zufall& z, Punkte& p, int n, double)
{
    double x = 0, y = 0;
    while (static_cast<int>(p.size()) < n) {
        const double richtung = gleich(z, 0, 6.3);
        if (z() % 2) {
            const double laenge = gleich(z, 1, 20);
            p.emplace_back(x, y);
            x += laenge * std::cos(richtung);
            y += laenge * std::sin(richtung);
            continue;
        }
        const double r = gleich(z, 0.5, 15), sinn = z() % 2 ? 1 : -1;
        const int teile = 2 + static_cast<int>(z() % 6);
        const double bogen = gleich(z, 0.3, 3.5);
        const double mx = x - sinn * r * std::sin(richtung), my = y + sinn * r * std::cos(richtung);
        const double w0 = richtung - sinn * std::numbers::pi / 2;
        for (int j = 0; j < teile && static_cast<int>(p.size()) < n; ++j) {
            const double w = w0 + sinn * bogen * j / teile;
            p.emplace_back(mx + r * std::cos(w), my + r * std::sin(w));
        }
        x = mx + r * std::cos(w0 + sinn * bogen);
        y = my + r * std::sin(w0 + sinn * bogen);
    }
}

// Dense points on arcs and lines, 0.0005 to 0.02 apart, written with four
// decimals: rounding is all the noise there is.
void dicht(Zufall& z, Punkte& p, int n, double fehl)
{
    gemischt(z, p, n, 0.0);
    const double faktor = std::exp(gleich(z, std::log(0.0005), std::log(0.02))) / 0.1;
    for (auto& [x, y] : p) {
        x = std::round(x * faktor * 1e4) / 1e4;
        y = std::round(y * faktor * 1e4) / 1e4;
    }
    (void)fehl;
}

// Repeats points in place, one to three times.
void verdoppeln(Zufall& z, Punkte& p)
{
    Punkte neu;
    for (const auto& punkt : p)
        for (int i = 0, mal = z() % 3 == 0 ? 1 + static_cast<int>(z() % 3) : 1; i < mal; ++i)
            neu.push_back(punkt);
    p.swap(neu);
}

// Moves the contour up to 1e6 away and writes its values with three or four
// decimals, as a point file would, or leaves them as they are.
void verschieben(Zufall& z, Punkte& p)
{
    const double weite = z() % 2 ? 1e6 : 1e3;
    const double dx = std::round(gleich(z, -weite, weite)),
                 dy = std::round(gleich(z, -weite, weite));
    const int art = static_cast<int>(z() % 3);
    for (auto& [x, y] : p) {
        x += dx;
        y += dy;
        if (art > 0) {
            const double faktor = art == 1 ? 1e3 : 1e4;
            x = std::round(x * faktor) / faktor;
            y = std::round(y * faktor) / faktor;
        }
    }
}

// Appends a point with four decimals, unless it repeats the last.
void anhaengen(Punkte& p, double x, double y)
{
    x = std::round(x * 1e4) / 1e4;
    y = std::round(y * 1e4) / 1e4;
    if (p.empty() || p.back() != std::pair{x, y})
        p.emplace_back(x, y);
}

}  // namespace

Werkstueck zufallswerkstueck(Zufall& z, int lauf)
{
    constexpr double pi = std::numbers::pi;
    static const double radien[] = {1.5, 3, 3, 5};
    static const double fehlWerte[] = {0.02, 0.05, 0.1};
    Werkstueck w;
    w.R = radien[z() % std::size(radien)];
    w.fehl = fehlWerte[z() % std::size(fehlWerte)];
    w.abstand = gleich(z, 0.5, 4);
    // The corners, counter-clockwise.
    const int n = 3 + static_cast<int>(z() % 6);
    std::vector<double> winkel;
    for (int i = 0; i < n; ++i)
        winkel.push_back(2 * pi * (i + gleich(z, 0.1, 0.9)) / n);
    std::vector<std::pair<double, double>> ecke;
    for (const double a : winkel) {
        const double r = z() % 4 == 0 ? gleich(z, 30, 40) : gleich(z, 55, 80);
        ecke.emplace_back(r * std::cos(a), r * std::sin(a));
    }
    // Per corner: the directions in and out, the turn, the rounding.
    struct Eckdaten {
        double ex, ey, ax, ay;  // unit directions of the sides in and out
        double drehung, r, tangente;
    };
    std::vector<Eckdaten> daten(static_cast<std::size_t>(n));
    const auto seite = [&](int i) { return ecke[static_cast<std::size_t>((i + n) % n)]; };
    for (int i = 0; i < n; ++i) {
        const auto [px, py] = seite(i - 1);
        const auto [x, y] = seite(i);
        const auto [nx, ny] = seite(i + 1);
        const double le = std::hypot(x - px, y - py), la = std::hypot(nx - x, ny - y);
        Eckdaten& d = daten[static_cast<std::size_t>(i)];
        d.ex = (x - px) / le;
        d.ey = (y - py) / le;
        d.ax = (nx - x) / la;
        d.ay = (ny - y) / la;
        d.drehung = std::atan2(d.ex * d.ay - d.ey * d.ax, d.ex * d.ax + d.ey * d.ay);
        const double t = std::tan(std::fabs(d.drehung) / 2);
        const double groesster = 0.3 * std::min(le, la) / std::max(t, 1e-9);
        const int art = static_cast<int>(z() % 10);
        if (art == 0 && std::fabs(d.drehung) >= pi / 3)
            d.r = 0;
        else if (art < 3 || groesster < 1.3 * w.R)
            d.r = std::min(groesster, gleich(z, 0.3, 0.8) * w.R);
        else
            d.r = std::min(groesster, gleich(z, 1.3, 5) * w.R);
        d.tangente = d.r * t;
    }
    // Traced from halfway along the side from the last corner to the first.
    Punkte p;
    const auto gerade = [&](double x0, double y0, double x1, double y1) {
        const int m =
            std::max(1, static_cast<int>(std::ceil(std::hypot(x1 - x0, y1 - y0) / w.abstand)));
        for (int j = 1; j <= m; ++j)
            anhaengen(p, x0 + (x1 - x0) * j / m, y0 + (y1 - y0) * j / m);
    };
    const Eckdaten& letzte = daten.back();
    const auto [lx, ly] = seite(-1);
    const double sx = lx + letzte.ax * letzte.tangente, sy = ly + letzte.ay * letzte.tangente;
    const Eckdaten& erste = daten.front();
    const double ex0 = ecke[0].first - erste.ex * erste.tangente;
    const double ey0 = ecke[0].second - erste.ey * erste.tangente;
    anhaengen(p, (sx + ex0) / 2, (sy + ey0) / 2);
    double x = p.back().first, y = p.back().second;
    for (int i = 0; i < n; ++i) {
        const Eckdaten& d = daten[static_cast<std::size_t>(i)];
        const auto [cx, cy] = seite(i);
        const double bx = cx - d.ex * d.tangente, by = cy - d.ey * d.tangente;
        gerade(x, y, bx, by);
        Rundung rundung{cx, cy, d.r, std::fabs(d.drehung), d.drehung > 0};
        if (d.r > 0) {
            const double sinn = d.drehung > 0 ? 1 : -1;
            rundung.x = bx - sinn * d.ey * d.r;
            rundung.y = by + sinn * d.ex * d.r;
            const double anfang = std::atan2(by - rundung.y, bx - rundung.x);
            const double schritt = std::min(10 * pi / 180, w.abstand / d.r);
            const int m = std::max(1, static_cast<int>(std::ceil(std::fabs(d.drehung) / schritt)));
            for (int j = 1; j <= m; ++j) {
                const double a = anfang + d.drehung * j / m;
                anhaengen(p, rundung.x + d.r * std::cos(a), rundung.y + d.r * std::sin(a));
            }
        }
        w.rundungen.push_back(rundung);
        x = cx + d.ax * d.tangente;
        y = cy + d.ay * d.tangente;
    }
    gerade(x, y, p.front().first, p.front().second);
    p.back() = p.front();  // closed to the written digit
    const bool rueckwaerts = z() % 2 == 0;
    if (rueckwaerts) {
        std::reverse(p.begin(), p.end());
        for (Rundung& r : w.rundungen)
            r.links = !r.links;
    }
    w.kontur = kontur(p);
    w.fall = "Werkstück " + std::to_string(lauf) + " (" + std::to_string(n) + " Ecken, "
             + (rueckwaerts ? "im" : "gegen den") + " Uhrzeigersinn, R " + std::to_string(w.R)
             + ", fehl " + std::to_string(w.fehl) + ")";
    return w;
}

Zufallskontur zufallskontur(Zufall& z, int lauf)
{
    using Erzeuger = void (*)(Zufall&, Punkte&, int, double);
    static const std::pair<const char*, Erzeuger> erzeuger[] = {
        {"Rauschbögen", rauschboegen}, {"Zickzack", zickzack}, {"Vollkreise", vollkreise},
        {"kollinear", kollinear},      {"Haufen", haufen},     {"gemischt", gemischt},
        {"Buchstaben", buchstaben},    {"dicht", dicht},
    };
    static const double fehlWerte[] = {0.0001, 0.001, 0.01, 0.05, 0.05, 0.1, 0.5, 2};
    const auto& [name, erzeugen] = erzeuger[static_cast<std::size_t>(lauf) % std::size(erzeuger)];
    const double fehl = fehlWerte[z() % std::size(fehlWerte)];
    const int n = 3 + static_cast<int>(z() % (lauf % 20 == 0 ? 2000 : 250));
    Punkte p;
    erzeugen(z, p, n, fehl);
    if (z() % 4 == 0)
        verdoppeln(z, p);
    if (z() % 2 == 0)
        verschieben(z, p);
    while (p.size() < 3)
        p.push_back(p.back());
    return {kontur(p), fehl,
            std::string(name) + " Lauf " + std::to_string(lauf) + ", fehl " + std::to_string(fehl)};
}

}  // namespace bogenkette::test
