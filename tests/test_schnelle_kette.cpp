// The fast fitting against the straightforward one: the same pieces with
// bit-identical circles, on random and adversarial contours. And its two parts, the middle-point
// search and the tolerance test, against their straightforward forms on their own.
#include "geometry/kette.h"
#include "geometry/kette_einfach.h"
#include "geometry/mittelpunktsuche.h"
#include "geometry/toleranzpruefung.h"
#include "testhilfen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace bogenkette;
using bogenkette::test::kontur;

namespace {

// The chain as a sequence of numbers: per piece its points, its kind and the
// bits of its circle.
class Mitschrift : public Bogenempfaenger {
public:
    void bogenAufnehmen(const Bogen& bogen) override
    {
        folge.insert(folge.end(),
                     {bogen.von, bogen.bis, static_cast<Index>(bogen.art), bogen.kreis.entartet});
        for (const double wert : {bogen.kreis.a, bogen.kreis.b, bogen.kreis.R})
            folge.push_back(std::bit_cast<Index>(wert));
        ++boegen;
    }
    std::vector<Index> folge;
    Index boegen = 0;
};

using Punkte = std::vector<std::pair<double, double>>;

// Fits both ways and compares; returns the number of arcs.
Index vergleichen(const Punkte& punkte, double fehl, const std::string& name)
{
    const Kontur k = kontur(punkte);
    Mitschrift s, e;
    berechneKette(k, fehl, s);
    berechneKetteEinfach(k, fehl, e);
    EXPECT_EQ(s.folge, e.folge) << name << ", fehl " << fehl << ", " << punkte.size() << " Punkte";
    return e.boegen;
}

double gerundet(double v, double stellen) { return std::round(v * stellen) / stellen; }

// Points along a circle, `rauschen` the largest radial noise, `stellen` the
// rounding of the written values (0: none).
Punkte kreis(std::mt19937_64& zufall, Index n, double a, double b, double R, double schritt,
             double rauschen, double stellen)
{
    std::uniform_real_distribution<double> gleich(-1.0, 1.0);
    Punkte p;
    double phi = gleich(zufall) * 3;
    for (Index k = 0; k < n; ++k) {
        const double r = R + rauschen * gleich(zufall);
        double x = a + r * std::cos(phi), y = b + r * std::sin(phi);
        if (stellen > 0) {
            x = gerundet(x, stellen);
            y = gerundet(y, stellen);
        }
        p.emplace_back(x, y);
        phi += schritt / R;
    }
    return p;
}

struct Kreisfall {
    const char* name;
    Index n;
    double a, R, schritt, rauschen, stellen, fehl;
};

}  // namespace

// Long arcs with noise up to and beyond fehl: near-boundary decisions, trees of
// several levels and sorted x values in several blocks.
TEST(SchnelleKette, KreiseMitRauschen)
{
    const Kreisfall faelle[] = {
        {"sauber, ein Bogen", 3000, 1000, 700, 0.5, 0, 1e4, 0.05},
        {"Rauschen fehl/3", 3000, 1000, 300, 0.6, 0.05 / 3, 1e4, 0.05},
        {"Rauschen knapp unter fehl", 2000, 1000, 400, 0.6, 0.049, 1e4, 0.05},
        {"Rauschen gleich fehl", 2000, 0, 50, 0.3, 0.05, 0, 0.05},
        {"Rauschen knapp ueber fehl", 2000, 0, 80, 0.4, 0.0501, 1e4, 0.05},
        {"grosses fehl", 1500, 500, 100, 1.0, 0.3, 1e3, 1.0},
        {"kleines fehl", 1500, 500, 100, 0.1, 0.003, 0, 0.01},
        {"riesige Koordinaten", 2000, 1e7, 5e3, 2.0, 0.02, 1e4, 0.05},
        {"riesiger Radius", 2000, 1e7, 1e6, 3.0, 0.01, 1e4, 0.05},
        {"winziger Abstand", 2000, 1000, 0.5, 1e-4, 1e-6, 0, 0.05},
        {"winziges fehl", 800, 1, 10, 0.2, 1e-10, 0, 1e-9},
    };
    std::mt19937_64 zufall(7);
    for (const auto& f : faelle)
        for (int wiederholung = 0; wiederholung < 3; ++wiederholung)
            vergleichen(kreis(zufall, f.n, f.a, f.a, f.R, f.schritt, f.rauschen, f.stellen), f.fehl,
                        f.name);
}

// Values the point file cannot hold but the fitting must still treat as the
// straightforward one does: NaN and infinite coordinates inside long arcs.
TEST(SchnelleKette, NichtZahlenImBogen)
{
    std::mt19937_64 zufall(13);
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    for (Index stelle = 0; stelle < 300; stelle += stelle < 80 ? 1 : 37)
        for (int art = 0; art < 4; ++art) {
            Punkte p = kreis(zufall, 300, 10, 10, 100, 0.5, 0.001, 0);
            auto& punkt = p[static_cast<std::size_t>(stelle)];
            (art % 2 ? punkt.second : punkt.first) = art < 2 ? nan : inf;
            vergleichen(p, 0.05, "NaN/inf an " + std::to_string(stelle));
        }
}

// Many short random contours of every length near the ends of the chain (both
// ways of ending), with x values on coarse grids (equal x, vertical runs),
// duplicates, collinear and straight runs, and first trials that fail.
TEST(SchnelleKette, ZufaelligeKurzeKonturen)
{
    std::mt19937_64 zufall(11);
    std::uniform_real_distribution<double> gleich(0.0, 1.0);
    const std::vector<std::function<Punkte(Index)>> arten = {
        // random points on a grid of step 1: equal x values, collinear triples
        [&](Index n) {
            Punkte p;
            for (Index k = 0; k < n; ++k)
                p.emplace_back(std::floor(gleich(zufall) * 4), std::floor(gleich(zufall) * 4));
            return p;
        },
        // a gentle curve with repeated points and vertical and straight runs
        [&](Index n) {
            Punkte p;
            double x = 0, y = 0;
            while (static_cast<Index>(p.size()) < n) {
                const double w = gleich(zufall);
                const Index lauf = 1 + static_cast<Index>(gleich(zufall) * 40);
                for (Index k = 0; k < lauf && static_cast<Index>(p.size()) < n; ++k) {
                    if (w < 0.2) {
                        y += 0.5;  // vertical
                    } else if (w < 0.3) {
                        // the same point again
                    } else if (w < 0.5) {
                        x += 0.25;  // straight, exactly collinear
                        y += 0.5;
                    } else {
                        x += 0.5;
                        y += 0.01 * x * w + 0.004 * gleich(zufall);
                    }
                    p.emplace_back(x, y);
                }
            }
            return p;
        },
        // zigzag: inner points not between the ends in x
        [&](Index n) {
            Punkte p;
            for (Index k = 0; k < n; ++k)
                p.emplace_back(static_cast<double>(k % 3 == 1 ? k + 3 : k), gleich(zufall) * 0.1);
            return p;
        },
        // a circle on which x takes few values: many equal x at both ends of trials
        [&](Index n) {
            Punkte p;
            for (Index k = 0; k < n; ++k) {
                const double phi = 0.05 * static_cast<double>(k);
                p.emplace_back(std::round(40 * std::cos(phi)) / 2, 20 * std::sin(phi));
            }
            return p;
        },
    };
    for (const auto& art : arten)
        for (Index n = 3; n < 140; ++n)
            for (double fehl : {0.01, 0.05, 0.5})
                vergleichen(art(n), fehl, "kurz");
}

// A closed contour made of many pieces: arcs of up to 2,000 points and straight
// runs with noise of a third of fehl, as a measured part would give.
TEST(SchnelleKette, GemischteKontur)
{
    std::mt19937_64 zufall(3);
    std::uniform_real_distribution<double> gleich(0.0, 1.0);
    Punkte p;
    double x = 1000, y = 1000, richtung = 0;
    while (p.size() < 60000) {
        const bool bogen = gleich(zufall) < 0.8;
        const Index m = 20 + static_cast<Index>(gleich(zufall) * gleich(zufall) * 2000);
        const double R = 50 + gleich(zufall) * 500, sinn = gleich(zufall) < 0.5 ? 1 : -1;
        for (Index k = 0; k < m; ++k) {
            const double schritt = 0.3 + 0.7 * gleich(zufall);
            if (bogen)
                richtung += sinn * schritt / R;
            x += schritt * std::cos(richtung);
            y += schritt * std::sin(richtung);
            const double quer = (gleich(zufall) * 2 - 1) * 0.05 / 3;
            p.emplace_back(gerundet(x - quer * std::sin(richtung), 1e4),
                           gerundet(y + quer * std::cos(richtung), 1e4));
        }
    }
    const Index boegen = vergleichen(p, 0.05, "gemischt");
    EXPECT_LT(boegen, 6000);  // mostly long arcs, not two-point pieces
}

// The middle-point search against the scan, for every trial of arcs whose x
// values tie through rounding, repeat many times, or run backwards.
TEST(SchnelleKette, MittelpunktWieDieSuche)
{
    std::mt19937_64 zufall(5);
    std::uniform_real_distribution<double> gleich(0.0, 1.0);
    const std::vector<std::function<double(Index)>> arten = {
        [&](Index) { return std::floor(gleich(zufall) * 7); },              // few values
        [&](Index k) { return 1e16 + 2.0 * static_cast<double>(k % 50); },  // ulp 2
        [&](Index k) { return 0.1 * static_cast<double>(k % 97) - 3; },     // inexact steps
        [&](Index k) { return std::sin(0.01 * static_cast<double>(k)) * 1e-300; },
        [&](Index) { return gleich(zufall) < 0.5 ? 0.0 : -0.0; },
        [&](Index k) { return 1e7 - 1e-9 * static_cast<double>(k); },
        [&](Index k) { return k % 2 ? 1e300 : -1e300; },                         // overflowing sums
        [&](Index k) { return std::floor(static_cast<double>(k) / 7); },         // rising, repeats
        [&](Index k) { return -0.1 * std::floor(static_cast<double>(k) / 3); },  // falling, repeats
        [&](Index k) { return 1e16 + 2.0 * std::floor(static_cast<double>(k) / 2); },
    };
    for (const auto& art : arten) {
        const Index n = 1500;
        Kontur k;
        k.anlegen(n);
        for (Index i = 1; i <= n; ++i)
            k.xWert[static_cast<std::size_t>(i)] = art(i);
        for (Index anfang : {Index{1}, Index{7}, Index{600}}) {
            Mittelpunktsuche suche(k);
            suche.neuerBogen(anfang);
            for (Index e = anfang + 2; e <= n; ++e)
                ASSERT_EQ(suche.suchen(e), mitteSuchen(k, anfang, e))
                    << "Anfang " << anfang << ", Ende " << e;
        }
    }
}

// The tolerance test against the test as written, for circles that wander,
// jump and shrink from trial to trial, with points near and on the boundary.
TEST(SchnelleKette, ToleranzWieDerTest)
{
    std::mt19937_64 zufall(9);
    std::uniform_real_distribution<double> gleich(-1.0, 1.0);
    for (double rauschen : {0.0, 0.02, 0.044, 0.047}) {
        Punkte p = kreis(zufall, 4000, 100, 0, 250, 0.5, rauschen, rauschen > 0.04 ? 0 : 1e4);
        p[1234].first = std::numeric_limits<double>::quiet_NaN();  // fails every trial it is in
        const Kontur k = kontur(p);
        const double fehl = 0.05;
        Toleranzpruefung pruefung(k, fehl);
        Index anfang = 1, versuche = 0, gescheitert = 0;
        pruefung.neuerBogen(anfang);
        for (Index e = 3; e <= k.anzahl; ++e) {
            if (e < anfang + 2)
                continue;
            // The true circle about (100, 0), moved by a wandering amount.
            const double wandern = (e % 300 == 0 ? 0.06 : 0.004) * gleich(zufall);
            const double a = 100 + wandern, b = 0 + 0.5 * wandern, R = 250 + 0.002 * gleich(zufall);
            const bool erwartet = alleInnerhalb(k, anfang, e, {a, b, R, false}, fehl);
            ASSERT_EQ(pruefung.passt(e, a, b, R), erwartet)
                << "Rauschen " << rauschen << ", Ende " << e;
            ++versuche;
            if (!erwartet) {
                ++gescheitert;
                anfang = e - 1;
                pruefung.neuerBogen(anfang);
            }
        }
        // Both outcomes occur often, and arcs grow long between failures.
        EXPECT_GT(gescheitert, 0) << rauschen;
        EXPECT_LT(gescheitert * 20, versuche) << rauschen;
    }
}

// Very flat arcs, whose centre is poorly determined: it jumps far along the
// radius from trial to trial while the circle stays close to the points. Leaves
// lie at every slant to the axes, so their bounds come from their frames.
TEST(SchnelleKette, ToleranzBeiWeitSpringendemMittelpunkt)
{
    std::mt19937_64 zufall(21);
    std::uniform_real_distribution<double> gleich(-1.0, 1.0);
    for (double richtung : {0.0, 0.4, 0.785, 1.3, 2.9, 4.0}) {
        const double R = 3e5, fehl = 0.05;
        const double ux = std::cos(richtung), uy = std::sin(richtung);
        const double a0 = 1e6 - R * ux, b0 = -2e6 - R * uy;  // the arc passes (1e6, -2e6)
        Punkte p;
        for (Index k = 0; k < 3000; ++k) {
            const double phi = richtung + (static_cast<double>(k) - 1500) * 0.7 / R;
            const double r = R + 0.045 * gleich(zufall);
            p.emplace_back(gerundet(a0 + r * std::cos(phi), 1e4),
                           gerundet(b0 + r * std::sin(phi), 1e4));
        }
        const Kontur k = kontur(p);
        Toleranzpruefung pruefung(k, fehl);
        Index anfang = 1, gescheitert = 0, laengster = 0;
        double t = 0, s = 0;
        pruefung.neuerBogen(anfang);
        for (Index e = 3; e <= k.anzahl; ++e) {
            if (e < anfang + 2)
                continue;
            // Centre and radius wander together along the radius, by up to
            // 1,000 a trial, and sideways by up to 0.05.
            t = std::clamp(t + 1000 * gleich(zufall), -30000.0, 30000.0);
            s = std::clamp(s + 0.05 * gleich(zufall), -1.0, 1.0);
            const double a = a0 - t * ux - s * uy, b = b0 - t * uy + s * ux, R1 = R + t;
            const bool erwartet = alleInnerhalb(k, anfang, e, {a, b, R1, false}, fehl);
            ASSERT_EQ(pruefung.passt(e, a, b, R1), erwartet)
                << "Richtung " << richtung << ", Ende " << e;
            if (!erwartet) {
                ++gescheitert;
                anfang = e - 1;
                pruefung.neuerBogen(anfang);
            }
            laengster = std::max(laengster, e - anfang + 1);
        }
        // Trials fail, and arcs still grow long enough for the tree.
        EXPECT_GT(gescheitert, 10) << richtung;
        EXPECT_GT(laengster, 300) << richtung;
    }
}
