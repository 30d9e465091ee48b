// The pictures of the path: the SVG shows, element by element, the path the DIN
// program programs, with the points, a scale bar and the counts; the sketch
// draws it on the scale of the points' sketch.
#include "ncpruefung.h"
#include "testhilfen.h"
#include "zufallskonturen.h"

#include "input/punktdatei.h"
#include "output/ausgabe.h"
#include "report/bericht.h"
#include "report/zahlenformat.h"
#include "sketch/bahnbild.h"
#include "sketch/bahnskizze.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace bogenkette;
using namespace bogenkette::test;

namespace {

// The SVG's parts a reader sees.
struct Bildinhalt {
    QString viewBox, breite, hoehe, bahn, punkte;
    QStringList texte;
};

Bildinhalt bildLesen(const std::string& svg, std::string& fehler)
{
    Bildinhalt inhalt;
    QXmlStreamReader leser(QByteArray::fromStdString(svg));
    while (!leser.atEnd()) {
        if (leser.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = leser.attributes();
        if (leser.name() == u"svg") {
            inhalt.viewBox = a.value("viewBox").toString();
            inhalt.breite = a.value("width").toString();
            inhalt.hoehe = a.value("height").toString();
        } else if (leser.name() == u"path" && a.value("stroke") == u"#d00000") {
            inhalt.bahn = a.value("d").toString();
        } else if (leser.name() == u"polyline") {
            inhalt.punkte = a.value("points").toString();
        } else if (leser.name() == u"text") {
            inhalt.texte << leser.readElementText();
        }
    }
    if (leser.hasError())
        fehler = leser.errorString().toStdString();
    return inhalt;
}

// One command of the path's d attribute: M, L or A with its numbers.
struct Befehl {
    char art;
    std::vector<double> werte;
};

std::vector<Befehl> befehle(const QString& d)
{
    std::vector<Befehl> liste;
    std::istringstream text(d.toStdString());
    std::string wort;
    while (text >> wort) {
        if (std::isalpha(static_cast<unsigned char>(wort[0]))) {
            liste.push_back({wort[0], {}});
            wort.erase(0, 1);
            if (wort.empty())
                continue;
        }
        liste.back().werte.push_back(std::stod(wort));
    }
    return liste;
}

struct DinUndBild {
    std::string din, svg;
    Bahnabschluss bahn;
};

DinUndBild dinUndBild(const Kontur& k, double fehl, Bahnverfahren verfahren)
{
    Speicherausgabe din, bild;
    NcProgramm nc(Dialekt::din, din, "bild", "bild.spl");
    Bahnbild bahnbild(bild, "bild.svg");
    const Bahnabschluss bahn = bahnAusgeben(k, fehl, verfahren, {&nc, &bahnbild});
    return {din.inhalt(), bild.inhalt(), bahn};
}

constexpr double pi = 3.14159265358979323846;

// How far the DIN arc from (sx, sy) turns, from 0 to 2 pi.
double bogenwinkel(double sx, double sy, const Fahrt& f)
{
    const double sinn = f.art == Fahrt::Art::links ? 1 : -1;
    double w = sinn * (std::atan2(f.y - f.j, f.x - f.i) - std::atan2(sy - f.j, sx - f.i));
    while (w <= 0)
        w += 2 * pi;
    return w;
}

void bildMitProgrammVergleichen(const Zufallskontur& z, Bahnverfahren verfahren)
{
    std::string fehler;
    const DinUndBild p = dinUndBild(z.kontur, z.fehl, verfahren);
    const Bildinhalt bild = bildLesen(p.svg, fehler);
    ASSERT_EQ(fehler, "") << z.fall;
    std::vector<std::string> lesefehler;
    const Fahrweg weg = programmLesen(Dialekt::din, p.din, lesefehler);
    ASSERT_TRUE(lesefehler.empty()) << z.fall;

    const auto d = befehle(bild.bahn);
    ASSERT_EQ(d.size(), weg.fahrten.size() + 1) << z.fall;
    EXPECT_EQ(d[0].art, 'M');
    EXPECT_EQ(d[0].werte, (std::vector<double>{weg.startX, -weg.startY}));
    double sx = weg.startX, sy = weg.startY;
    for (std::size_t i = 0; i < weg.fahrten.size(); ++i) {
        const Fahrt& f = weg.fahrten[i];
        const Befehl& b = d[i + 1];
        const std::string wo = z.fall + ", Element " + std::to_string(i + 1);
        ASSERT_EQ(b.art, f.art == Fahrt::Art::gerade ? 'L' : 'A') << wo;
        ASSERT_EQ(b.werte.size(), b.art == 'L' ? 2u : 7u) << wo;
        EXPECT_EQ(b.werte[b.werte.size() - 2], f.x) << wo;
        EXPECT_EQ(b.werte.back(), -f.y) << wo;
        if (b.art == 'A') {
            EXPECT_NEAR(b.werte[0], std::hypot(sx - f.i, sy - f.j), 0.00006) << wo;
            // Half a turn exactly is drawn the same with either flag.
            const double w = bogenwinkel(sx, sy, f);
            if (std::fabs(w - pi) > 1e-9) {
                EXPECT_EQ(b.werte[3], w > pi ? 1 : 0) << wo;
            }
            EXPECT_EQ(b.werte[4], f.art == Fahrt::Art::links ? 0 : 1) << wo;  // y runs down
        }
        sx = f.x;
        sy = f.y;
    }
    const Index n = verfahren == Bahnverfahren::kette ? p.bahn.boegen : p.bahn.elemente;
    const std::string zaehlung =
        std::to_string(z.kontur.anzahl) + " Punkte, " + std::to_string(n)
        + (verfahren == Bahnverfahren::kette
               ? (n == 1 ? " Bogen" : " B\u00f6gen")
               : (n == 1 ? " Element" : " Elemente") + std::string(" (k\u00fcrzeste Bahn)"));
    EXPECT_TRUE(bild.texte.contains(QString::fromStdString(zaehlung))) << z.fall;
}

}  // namespace

// 300 random contours: the SVG path is the DIN program's path, element for
// element, with the points, the counts and a view that scales.
TEST(Bahnbild, ZeigtDieProgrammierteBahn)
{
    Zufall zufall(4711);
    for (int lauf = 0; lauf < 300 && !::testing::Test::HasFailure(); ++lauf)
        bildMitProgrammVergleichen(zufallskontur(zufall, lauf),
                                   lauf % 2 ? Bahnverfahren::kette : Bahnverfahren::kurz);

    const Zahlenformat de = Zahlenformat::deutsch();
    const Kontur k = punktdateiLesen(std::string(BEISPIELE) + "/kontur.spl", wertebereich(de));
    std::string fehler;
    const Bildinhalt bild = bildLesen(dinUndBild(k, 0.05, Bahnverfahren::kurz).svg, fehler);
    EXPECT_EQ(fehler, "");
    EXPECT_EQ(bild.breite, "100%");
    EXPECT_EQ(bild.hoehe, "100%");
    EXPECT_EQ(bild.viewBox, "-10.2500 -85.2500 115.5000 103.1000");
    EXPECT_EQ(bild.texte, (QStringList{"20 mm", "79 Punkte, 28 Elemente (k\u00fcrzeste Bahn)"}));
    EXPECT_EQ(bild.punkte.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts).size(), 2 * 79);
}

namespace {

struct Strecke {
    float x1, y1, x2, y2;
};

struct Sammler : Zeichenflaeche {
    std::vector<Strecke> strecken;
    void linieZiehen(float x1, float y1, float x2, float y2) override
    {
        strecken.push_back({x1, y1, x2, y2});
    }
};

struct Elemente : Bahnempfaenger {
    std::vector<std::pair<Bahnpunkt, Bahnelement>> liste;
    void bahnBeginnen(Bahnpunkt) override {}
    void elementAufnehmen(Bahnpunkt von, const Bahnelement& e) override
    {
        liste.emplace_back(von, e);
    }
};

}  // namespace

// Every element starts where the one before ended and ends where the sketch of
// the points has its point; arcs become chords within half a unit of them.
TEST(Bahnskizze, BahnImMassstabDerPunkte)
{
    const Zahlenformat de = Zahlenformat::deutsch();
    const Kontur k = punktdateiLesen(std::string(BEISPIELE) + "/kontur.spl", wertebereich(de));
    Sammler punkte;
    const Skizzenmass mass = skizzeZeichnen(k, punkte);
    Elemente elemente;
    Bahnbau bau(k, Toleranzband::beidseitig(0.05), elemente);
    berechneKette(k, 0.05, bau);

    int sehnen = 0;
    for (const auto& [von, e] : elemente.liste) {
        Sammler bahn;
        bahnelementZeichnen(mass, von, e, bahn);
        ASSERT_FALSE(bahn.strecken.empty());
        const auto p = static_cast<std::size_t>(e.punkt);
        // The points' sketch draws point p as the end of its segment p - 1.
        EXPECT_NEAR(bahn.strecken.back().x2, punkte.strecken[p - 2].x2, 0.01) << e.punkt;
        EXPECT_NEAR(bahn.strecken.back().y2, punkte.strecken[p - 2].y2, 0.01) << e.punkt;
        EXPECT_NEAR(bahn.strecken.front().x1, skizzenX(mass, mm(von.x)), 1e-3);
        for (std::size_t i = 1; i < bahn.strecken.size(); ++i) {
            EXPECT_EQ(bahn.strecken[i].x1, bahn.strecken[i - 1].x2);
            EXPECT_EQ(bahn.strecken[i].y1, bahn.strecken[i - 1].y2);
        }
        if (e.art == Bahnelement::Art::gerade) {
            EXPECT_EQ(bahn.strecken.size(), 1u);
            continue;
        }
        const double cx = skizzenX(mass, mm(e.mitte.x)), cy = skizzenY(mass, mm(e.mitte.y));
        const double r = bogenradius(von, e) * mass.massstab * skizzenAnteil;
        for (const Strecke& s : bahn.strecken) {
            const double mitte = std::hypot((s.x1 + s.x2) / 2 - cx, (s.y1 + s.y2) / 2 - cy);
            EXPECT_LE(r - mitte, 0.5 + 1e-3) << e.punkt;
            EXPECT_NEAR(std::hypot(s.x2 - cx, s.y2 - cy), r, 0.05) << e.punkt;
        }
        sehnen += static_cast<int>(bahn.strecken.size());
    }
    EXPECT_GT(sehnen, 100);
}
