// NC programs of the arc chain, read back three ways: by the readers of both
// dialects, and for din by LinuxCNC's interpreter rs274, an independent client
// that refuses inconsistent arcs. Every program of the test data and of random
// contours must keep the path's guarantee (ncpruefung.h).
#include "ncpruefung.h"
#include "testhilfen.h"
#include "zufallskonturen.h"

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
