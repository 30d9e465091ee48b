// The shortest path: the search holds the straightforward search's count of
// elements on the test data and on random contours, shapes whose least count
// is known come out with it, and the path of a long contour keeps its
// guarantee (checked by the program reader, ncpruefung.h).
#include "ncpruefung.h"
#include "testhilfen.h"
#include "zufallskonturen.h"

#include "geometry/kuerzeste_bahn.h"
#include "geometry/kuerzeste_bahn_einfach.h"
#include "input/punktdatei.h"
#include "output/ausgabe.h"
#include "report/bericht.h"
#include "report/zahlenformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace bogenkette;
using namespace bogenkette::test;

namespace {

std::size_t schnell(const Kontur& k, double fehl)
{
    return kuerzesteSchritte(bahnpunkteBilden(k), Toleranzband::beidseitig(fehl)).size();
}

std::size_t einfach(const Kontur& k, double fehl)
{
    return kuerzesteSchritteEinfach(bahnpunkteBilden(k), Toleranzband::beidseitig(fehl)).size();
}

// Points on an arc about (a, b) from angle `von` over `bogen` (radians),
// `schritt` apart, written with `stellen` decimals.
void bogenpunkte(Punkte& p, double a, double b, double r, double von, double bogen, double schritt,
                 double stellen)
{
    const int n = static_cast<int>(std::round(std::fabs(bogen) * r / schritt));
    const double faktor = std::pow(10.0, stellen);
    for (int i = 0; i <= n; ++i) {
        const double w = von + bogen * i / n;
        p.emplace_back(std::round((a + r * std::cos(w)) * faktor) / faktor,
                       std::round((b + r * std::sin(w)) * faktor) / faktor);
    }
}

void strecke(Punkte& p, double x0, double y0, double x1, double y1, double schritt)
{
    const int n = static_cast<int>(std::round(std::hypot(x1 - x0, y1 - y0) / schritt));
    for (int i = 0; i <= n; ++i)
        p.emplace_back(x0 + (x1 - x0) * i / n, y0 + (y1 - y0) * i / n);
}

}  // namespace

// Every contour of up to 300 places among 1,500 random ones, and every point
// file of the test data: the same number of elements as the search over all pairs.
TEST(KuerzesteBahn, SoWenigeElementeWieDieEinfacheSuche)
{
    Zufall zufall(77);
    int verglichen = 0;
    for (int lauf = 0; lauf < 1500; ++lauf) {
        const Zufallskontur z = zufallskontur(zufall, lauf);
        if (bahnpunkteBilden(z.kontur).anzahl() > 300)
            continue;
        ++verglichen;
        ASSERT_EQ(schnell(z.kontur, z.fehl), einfach(z.kontur, z.fehl)) << z.fall;
    }
    EXPECT_GT(verglichen, 1300);

    const Zahlenformat de = Zahlenformat::deutsch();
    for (const auto& e : fs::directory_iterator(TESTDATEN)) {
        fs::path abgelehnt = e.path();
        if (e.path().extension() != ".spl" || fs::exists(abgelehnt.replace_extension(".reject")))
            continue;
        fs::path fehlDatei = e.path();
        const double fehl = std::stod(lesen(fehlDatei.replace_extension(".fehl")));
        const Kontur k = punktdateiLesen(e.path().string(), wertebereich(de));
        EXPECT_EQ(schnell(k, fehl), einfach(k, fehl)) << e.path();
    }
}

// Shapes whose least count is known: straight runs and arcs as one element
// each where their points' polyline lies within fehl of them, repeated points
// taken once, the example's outline as the search over all pairs finds it (its
// arcs lie up to 0.086 outside their points' polyline, more than fehl, so they
// need several elements), and dense points as one arc.
TEST(KuerzesteBahn, BekannteFormen)
{
    Punkte gerade;
    strecke(gerade, 0, 0, 300, 100, 0.7);
    EXPECT_EQ(schnell(kontur(gerade), 0.05), 1u);

    // A rectangle of 100 x 50 with corners of radius 5, a point every mm:
    // four sides and four corners.
    Punkte rechteck;
    strecke(rechteck, 5, 0, 95, 0, 1);
    bogenpunkte(rechteck, 95, 5, 5, -std::numbers::pi / 2, std::numbers::pi / 2, 1, 4);
    strecke(rechteck, 100, 5, 100, 45, 1);
    bogenpunkte(rechteck, 95, 45, 5, 0, std::numbers::pi / 2, 1, 4);
    strecke(rechteck, 95, 50, 5, 50, 1);
    bogenpunkte(rechteck, 5, 45, 5, std::numbers::pi / 2, std::numbers::pi / 2, 1, 4);
    strecke(rechteck, 0, 45, 0, 5, 1);
    bogenpunkte(rechteck, 5, 5, 5, std::numbers::pi, std::numbers::pi / 2, 1, 4);
    EXPECT_EQ(schnell(kontur(rechteck), 0.05), 8u);

    // Each point three times: the same path.
    Punkte dreifach;
    for (const auto& p : gerade)
        dreifach.insert(dreifach.end(), 3, p);
    EXPECT_EQ(schnell(kontur(dreifach), 0.05), 1u);

    const Zahlenformat de = Zahlenformat::deutsch();
    const Kontur beispiel =
        punktdateiLesen(std::string(BEISPIELE) + "/kontur.spl", wertebereich(de));
    EXPECT_EQ(schnell(beispiel, 0.05), 28u);
    EXPECT_EQ(einfach(beispiel, 0.05), 28u);

    // 60 degrees of a circle of radius 1,000 as 100,000 points with four
    // decimals, 0.01 apart: rounding moves them more than their spacing
    // allows a three-point circle, but not the shortest path.
    Punkte dicht;
    bogenpunkte(dicht, 0, 0, 1000, 0, std::numbers::pi / 3, 0.0105, 4);
    EXPECT_LE(schnell(kontur(dicht), 0.05), 2u);
}

// A long contour of lines and arcs with noise: its programs keep the guarantee
// of the shortest path, (c) included, as read back.
TEST(KuerzesteBahn, LangeKonturHaeltDieGarantie)
{
    Zufall zufall(5);
    Punkte p;
    double x = 0, y = 0, richtung = 0;
    std::uniform_real_distribution<double> gleich(0, 1);
    while (p.size() < 20000) {
        const bool bogen = gleich(zufall) < 0.7;
        const double r = 20 + 500 * gleich(zufall), sinn = gleich(zufall) < 0.5 ? 1 : -1;
        for (int i = 0; i < 50 + static_cast<int>(400 * gleich(zufall)); ++i) {
            const double quer = (gleich(zufall) - 0.5) * 0.03;
            p.emplace_back(x - quer * std::sin(richtung), y + quer * std::cos(richtung));
            x += 0.6 * std::cos(richtung);
            y += 0.6 * std::sin(richtung);
            if (bogen)
                richtung += sinn * 0.6 / r;
        }
    }
    const Kontur k = kontur(p);
    for (const Dialekt dialekt : {Dialekt::klartext, Dialekt::din}) {
        Speicherausgabe aus;
        NcProgramm programm(dialekt, aus, "lang", "lang.spl");
        const Bahnabschluss bahn = bahnAusgeben(k, 0.05, Bahnverfahren::kurz, {&programm});
        EXPECT_LT(bahn.elemente, bahn.boegen / 4);
        for (const std::string& f :
             programmPruefen(dialekt, aus.inhalt(), k, {"lang", "lang.spl", 0.05, bahn}))
            ADD_FAILURE() << f;
    }
}
