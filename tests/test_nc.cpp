// NC programs of the arc chain, read back three ways: by the readers of both
// dialects, and for din by LinuxCNC's interpreter rs274, an independent client
// that refuses inconsistent arcs. Every program of the test data and of random
// contours must keep the path's guarantee (ncpruefung.h).
#include "ncpruefung.h"
#include "testhilfen.h"

#include "input/punktdatei.h"
#include "nc/ncprogramm.h"
#include "nc/programmtext.h"
#include "report/ausgabe.h"
#include "report/bericht.h"
#include "report/zahlenformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>

#include <unistd.h>

using namespace bogenkette;
using namespace bogenkette::test;

namespace
{

using Zufall = std::mt19937_64;
using Punkte = std::vector<std::pair<double, double>>;

double gleich(Zufall& z, double von, double bis)
{
    return std::uniform_real_distribution<double>(von, bis)(z);
}

// ---- rs274 ---------------------------------------------------------------

// CI says so in BOGENKETTE_CI (set by .ci/run) or CI (set by most CI services).
bool imCi()
{
    for (const char* name : {"BOGENKETTE_CI", "CI"}) {
        const char* wert = std::getenv(name);
        if (wert && *wert && std::strcmp(wert, "0") != 0 && std::strcmp(wert, "false") != 0)
            return true;
    }
    return false;
}

std::string rs274Suchen()
{
    const char* pfade = std::getenv("PATH");
    std::string_view rest = pfade ? pfade : "/usr/bin:/bin";
    while (!rest.empty()) {
        const auto ende = std::min(rest.find(':'), rest.size());
        const std::string kandidat = std::string(rest.substr(0, ende)) + "/rs274";
        if (::access(kandidat.c_str(), X_OK) == 0)
            return kandidat;
        rest.remove_prefix(std::min(ende + 1, rest.size()));
    }
    return {};
}

struct Rs274Lauf {
    int status = -1;
    std::string ausgabe, fehler;
};

// `rs274 -g` on one program: the interpreter prints the canonical calls to
// stdout; an error goes to stderr with exit status 1.
Rs274Lauf rs274Laufen(const std::string& programm, const fs::path& ordner)
{
    const fs::path datei = ordner / "programm.ngc";
    schreiben(datei, programm);
    const std::string befehl = rs274Suchen() + " -g " + q(datei) + " > " + q(ordner / "aus") +
                               " 2> " + q(ordner / "fehler");
    Rs274Lauf lauf;
    const int status = std::system(befehl.c_str());
    lauf.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    lauf.ausgabe = lesen(ordner / "aus");
    lauf.fehler = lesen(ordner / "fehler");
    return lauf;
}

// A run without an error: status 0 and nothing on stderr but its "executing".
bool fehlerfrei(const Rs274Lauf& lauf)
{
    return lauf.status == 0 && lauf.fehler == "executing\n";
}

// Skips the rest of a test without rs274, except in CI, where it must be there.
#define RS274_VERLANGEN()                                                                          \
    do {                                                                                           \
        if (rs274Suchen().empty()) {                                                               \
            if (imCi())                                                                            \
                FAIL() << "rs274 fehlt (Debian-Paket linuxcnc-uspace, tools/pakete.sh nc)";        \
            GTEST_SKIP() << "rs274 fehlt (Debian-Paket linuxcnc-uspace): Prüfung übersprungen";    \
        }                                                                                          \
    } while (0)

// ---- Programs in memory -----------------------------------------------------

struct Programme {
    std::string klartext, din;
    Index boegen = 0;
};

Programme programmeSchreiben(const Kontur& k, double fehl,
                             const std::string& punktdatei = "zufall.spl")
{
    Speicherausgabe klartext, din;
    NcProgramm h(Dialekt::klartext, klartext, "zufall", punktdatei);
    NcProgramm nc(Dialekt::din, din, "zufall", punktdatei);
    h.beginnen(k, fehl);
    nc.beginnen(k, fehl);
    struct Beide : Bogenempfaenger {
        NcProgramm *a, *b;
        Index boegen = 0;
        void bogenAufnehmen(const Bogen& bogen) override
        {
            a->bogenAufnehmen(bogen);
            b->bogenAufnehmen(bogen);
            ++boegen;
        }
    } beide;
    beide.a = &h;
    beide.b = &nc;
    berechneKette(k, fehl, beide);
    h.abschliessen();
    nc.abschliessen();
    return {klartext.inhalt(), din.inhalt(), beide.boegen};
}

std::vector<std::string> beidePruefen(const Kontur& k, double fehl, const Programme& p,
                                      const std::string& punktdatei = "zufall.spl")
{
    const Programmerwartung erwartung{"zufall", punktdatei, fehl, p.boegen, standardVorschub};
    auto fehler = programmPruefen(Dialekt::klartext, p.klartext, k, erwartung);
    for (const auto& f : programmPruefen(Dialekt::din, p.din, k, erwartung))
        fehler.push_back("din: " + f);
    return fehler;
}

// The lines of a din program from G21 up to M30, to be run with others in one
// interpreter: its G0 starts a path of its own.
std::string dinRumpf(const std::string& din)
{
    const auto anfang = din.find("G21");
    const auto ende = din.rfind("M30\n");
    return din.substr(anfang, ende - anfang);
}

// ---- Random contours ----------------------------------------------------------

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

struct Zufallskontur {
    Kontur kontur;
    double fehl;
    std::string fall;
};

Zufallskontur zufallskontur(Zufall& z, int lauf)
{
    using Erzeuger = void (*)(Zufall&, Punkte&, int, double);
    static const std::pair<const char*, Erzeuger> erzeuger[] = {
        {"Rauschbögen", rauschboegen}, {"Zickzack", zickzack}, {"Vollkreise", vollkreise},
        {"kollinear", kollinear},      {"Haufen", haufen},
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

std::string punkteText(const Kontur& k)
{
    std::string text;
    char puffer[64];
    for (Index i = 1; i <= k.anzahl && i <= 40; ++i) {
        std::snprintf(puffer, sizeof puffer, "%.17g,%.17g\n", k.xWert[i], k.yWert[i]);
        text += puffer;
    }
    return text;
}

int zaehlen(const std::string& text, std::string_view wort)
{
    int n = 0;
    for (auto pos = text.find(wort); pos != std::string::npos; pos = text.find(wort, pos + 1))
        ++n;
    return n;
}

} // namespace

using NcProgramme = Arbeitsordner;

// 1,200 random contours: both programs read back, every din program through
// rs274, 150 contours to one interpreter run.
TEST_F(NcProgramme, ZufallskonturenHaltenDieGarantie)
{
    Zufall zufall(20250101);
    constexpr int laeufe = 1200, jeLauf = 150;
    std::vector<Zufallskontur> stapel;
    std::string rs274Programm;
    int boegen = 0, geraden = 0;
    std::vector<std::pair<std::vector<Zufallskontur>, std::string>> stapelliste;
    for (int lauf = 0; lauf < laeufe; ++lauf) {
        Zufallskontur z = zufallskontur(zufall, lauf);
        const Programme p = programmeSchreiben(z.kontur, z.fehl);
        for (const std::string& f : beidePruefen(z.kontur, z.fehl, p))
            ADD_FAILURE() << z.fall << "\n-> " << f << "\n" << punkteText(z.kontur);
        if (HasFailure())
            return;
        boegen += zaehlen(p.din, "\nG2 ") + zaehlen(p.din, "\nG3 ");
        geraden += zaehlen(p.din, "\nG1 ");
        rs274Programm += dinRumpf(p.din);
        stapel.push_back(std::move(z));
        if (stapel.size() == jeLauf || lauf + 1 == laeufe) {
            stapelliste.emplace_back(std::move(stapel), "%\n" + rs274Programm + "M30\n%\n");
            stapel.clear();
            rs274Programm.clear();
        }
    }
    // The contours reach arcs of both senses and straight blocks alike.
    EXPECT_GT(boegen, 5000);
    EXPECT_GT(geraden, 20000);

    RS274_VERLANGEN();
    for (const auto& [konturen, programm] : stapelliste) {
        const Rs274Lauf lauf = rs274Laufen(programm, ordner);
        ASSERT_TRUE(fehlerfrei(lauf)) << lauf.fehler;
        std::vector<std::string> fehler;
        const auto wege = rs274Lesen(lauf.ausgabe, fehler);
        ASSERT_EQ(wege.size(), konturen.size());
        for (std::size_t i = 0; i < wege.size(); ++i) {
            fahrwegPruefen(konturen[i].kontur, konturen[i].fehl, wege[i], fehler);
            for (const std::string& f : fehler)
                ADD_FAILURE() << "rs274, " << konturen[i].fall << "\n-> " << f;
            if (!fehler.empty())
                return;
        }
    }
}

namespace
{

// The path of a chain as the kinds of its elements ('g' straight, '+' arc
// counter-clockwise, '-' clockwise) and the points they end on.
struct Bahnmitschrift : Bahnempfaenger {
    std::string arten;
    std::vector<Index> enden;
    std::vector<std::pair<Bahnpunkt, Bahnelement>> elemente;
    void bahnBeginnen(Bahnpunkt) override {}
    void elementAufnehmen(Bahnpunkt von, const Bahnelement& e) override
    {
        arten += e.art == Bahnelement::Art::gerade ? 'g'
                                                   : (e.art == Bahnelement::Art::links ? '+' : '-');
        enden.push_back(e.punkt);
        elemente.emplace_back(von, e);
    }
};

Bahnmitschrift bahnVon(const Punkte& punkte, double fehl)
{
    const Kontur k = kontur(punkte);
    Bahnmitschrift mitschrift;
    Bahnbau bau(k, fehl, mitschrift);
    berechneKette(k, fehl, bau);
    return mitschrift;
}

// Points on a circle about the origin from angle `von` to `bis` (degrees) in
// steps of `schritt`.
Punkte kreispunkte(double r, double von, double bis, double schritt)
{
    Punkte p;
    for (double w = von; schritt > 0 ? w <= bis + 1e-9 : w >= bis - 1e-9; w += schritt)
        p.emplace_back(r * std::cos(w * std::numbers::pi / 180),
                       r * std::sin(w * std::numbers::pi / 180));
    return p;
}

// Points on a circle of radius r whose centre lies r above the origin, at the
// given x: a shallow bowl through the origin.
Punkte flacheSchale(double r, std::vector<double> xWerte)
{
    Punkte p;
    for (double x : xWerte)
        p.emplace_back(x, r - std::sqrt(r * r - x * x));
    return p;
}

} // namespace

// Which pieces become arcs, single straight blocks or straight blocks through
// every point, and that the path never runs backwards or stands still.
TEST(Bahn, StueckeAlsBogenOderGerade)
{
    // Inner points repeated: the steps between them are no steps.
    Punkte doppelt = kreispunkte(10, 0, 90, 10);
    doppelt.insert(doppelt.begin() + 6, 2, doppelt[6]);
    doppelt.insert(doppelt.begin() + 4, doppelt[4]);
    const struct {
        const char* name;
        Punkte punkte;
        double fehl;
        const char* arten;
        std::vector<Index> enden;
    } faelle[] = {
        {"Halbkreis links herum", kreispunkte(10, 0, 180, 30), 0.05, "+", {7}},
        {"Halbkreis rechts herum", kreispunkte(10, 180, 0, -30), 0.05, "-", {7}},
        {"drei Viertel eines Kreises", kreispunkte(10, 0, 270, 15), 0.05, "+", {19}},
        {"fast zwei Umläufe in einem Stück: Geraden",
         {{10, 0},
          {9.04, 4.27},
          {2.54, 9.67},
          {-3.75, 9.27},
          {-9.74, 2.25},
          {-6.93, -7.21},
          {-1.84, -9.83},
          {5.68, -8.23},
          {8.97, -4.43},
          {8.61, 5.08},
          {0.57, 9.98},
          {-3.36, 9.42},
          {-7.49, 6.62},
          {-9.92, -1.22},
          {-5.44, -8.39},
          {4.54, -8.91},
          {9.1, -4.14}},
         0.05,
         "ggggggggggggggg+",
         {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}},
        {"Radius unter 0,01: Geraden",
         {{0, 0}, {0.003, 0.001}, {0.001, 0.004}, {-0.002, 0.002}},
         0.05,
         "ggg",
         {2, 3, 4}},
        {"Pfeilhöhe unter 0,0001: eine Gerade",
         flacheSchale(50000, {-2, -1, 0, 1, 2}),
         0.05,
         "g",
         {5}},
        {"Pfeilhöhe 0,00016: Bogen", flacheSchale(50000, {-4, -2, 0, 2, 4}), 0.05, "+", {5}},
        {"Radius über 99.999,9999: Geraden",
         flacheSchale(150000, {-20, -10, 0, 10, 20}),
         0.05,
         "gggg",
         {2, 3, 4, 5}},
        {"letzter Kreis durch die letzten drei Punkte: ab Punkt anzahl - 1",
         {{0, 1}, {1, 0}, {2, 0}, {3, 0}},
         0.01,
         "+g",
         {3, 4}},
        {"Punkte doppelt: ein Bogen", doppelt, 0.05, "+", {13}},
        {"Punkte doppelt auf einer Geraden",
         {{0, 0}, {0, 0}, {1, 0}, {1, 0}, {2, 0}, {2, 0}},
         0.05,
         "gg",
         {3, 5}},
        {"Kreis neben dem geschriebenen Bogen: Geraden",
         {{-77.590849844598793, 24.821693005244526},
          {-77.598681477666645, 24.822906785957972},
          {-77.608155150070544, 24.832344897983283},
          {-77.604761518257689, 24.819214138028176}},
         0.01,
         "ggg",
         {2, 3, 4}},
    };
    for (const auto& f : faelle) {
        const Bahnmitschrift bahn = bahnVon(f.punkte, f.fehl);
        EXPECT_EQ(bahn.arten, f.arten) << f.name;
        EXPECT_EQ(bahn.enden, f.enden) << f.name;
        const Kontur k = kontur(f.punkte);
        EXPECT_TRUE(programmeSchreiben(k, f.fehl).din.size() > 0);
        for (const std::string& fehler : beidePruefen(k, f.fehl, programmeSchreiben(k, f.fehl)))
            ADD_FAILURE() << f.name << ": " << fehler;
    }
}
