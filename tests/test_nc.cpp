// NC programs of the arc chain, read back three ways: by the readers of both
// dialects, and for din by LinuxCNC's interpreter rs274, an independent client
// that refuses inconsistent arcs. Every program of the test data and of random
// contours must keep the path's guarantee (ncpruefung.h).
#include "ncpruefung.h"
#include "rs274lauf.h"
#include "testdaten.h"
#include "testhilfen.h"
#include "zufallskonturen.h"

#include "common/fehler.h"
#include "input/punktdatei.h"
#include "nc/ncprogramm.h"
#include "nc/programmtext.h"
#include "output/ausgabe.h"
#include "report/bericht.h"
#include "report/zahlenformat.h"
#include "run/berechnungslauf.h"
#include "run/berichtspfad.h"
#include "sketch/bahnbild.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>

#include <sys/resource.h>
#include <unistd.h>

using namespace bogenkette;
using namespace bogenkette::test;

namespace {

// ---- Programs in memory -----------------------------------------------------

struct Programme {
    std::string klartext, din;
    Bahnabschluss bahn;
};

Programme programmeSchreiben(const Kontur& k, double fehl, Bahnverfahren verfahren,
                             const std::string& punktdatei = "zufall.spl")
{
    Speicherausgabe klartext, din;
    NcProgramm h(Dialekt::klartext, klartext, "zufall", punktdatei);
    NcProgramm nc(Dialekt::din, din, "zufall", punktdatei);
    const Bahnabschluss bahn = bahnAusgeben(k, fehl, verfahren, {&h, &nc});
    return {klartext.inhalt(), din.inhalt(), bahn};
}

std::vector<std::string> beidePruefen(const Kontur& k, double fehl, const Programme& p,
                                      const std::string& punktdatei = "zufall.spl")
{
    const Programmerwartung erwartung{"zufall", punktdatei, fehl, p.bahn, standardVorschub};
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

}  // namespace

using NcProgramme = Arbeitsordner;

// 1,200 random contours, each with its shortest path and every third also
// with the path along the chain: both programs read back, every din program
// through rs274, 150 programs to one interpreter run.
TEST_F(NcProgramme, ZufallskonturenHaltenDieGarantie)
{
    Zufall zufall(20250101);
    constexpr int laeufe = 1200, jeLauf = 150;
    struct Fall {
        Zufallskontur z;
        Bahnverfahren verfahren;
    };
    std::vector<Fall> stapel;
    std::string rs274Programm;
    int boegen = 0, geraden = 0;
    std::vector<std::pair<std::vector<Fall>, std::string>> stapelliste;
    for (int lauf = 0; lauf < laeufe; ++lauf) {
        const Zufallskontur z = zufallskontur(zufall, lauf);
        for (const Bahnverfahren verfahren : {Bahnverfahren::kurz, Bahnverfahren::kette}) {
            if (verfahren == Bahnverfahren::kette && lauf % 3 != 0)
                continue;
            const Programme p = programmeSchreiben(z.kontur, z.fehl, verfahren);
            for (const std::string& f : beidePruefen(z.kontur, z.fehl, p))
                ADD_FAILURE() << z.fall << "\n-> " << f << "\n" << punkteText(z.kontur);
            if (HasFailure())
                return;
            boegen += zaehlen(p.din, "\nG2 ") + zaehlen(p.din, "\nG3 ");
            geraden += zaehlen(p.din, "\nG1 ");
            rs274Programm += dinRumpf(p.din);
            stapel.push_back({z, verfahren});
        }
        if (stapel.size() >= jeLauf || lauf + 1 == laeufe) {
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
            const Zufallskontur& z = konturen[i].z;
            fahrwegPruefen(z.kontur, z.fehl, wege[i], konturen[i].verfahren, fehler);
            for (const std::string& f : fehler)
                ADD_FAILURE() << "rs274, " << z.fall << "\n-> " << f;
            if (!fehler.empty())
                return;
        }
    }
}

namespace {

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
    Bahnbau bau(k, Toleranzband::beidseitig(fehl), mitschrift);
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

}  // namespace

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
        const Programme p = programmeSchreiben(k, f.fehl, Bahnverfahren::kette);
        for (const std::string& fehler : beidePruefen(k, f.fehl, p))
            ADD_FAILURE() << f.name << ": " << fehler;
    }
}

namespace {

double fehlVon(fs::path spl)
{
    const fs::path datei = spl.replace_extension(".fehl");
    return fs::exists(datei) ? std::stod(lesen(datei)) : standardFehl;
}

std::string meldung(const std::function<void()>& lauf)
{
    try {
        lauf();
    } catch (const Fehler& f) {
        return f.what();
    }
    return "(keine Meldung)";
}

}  // namespace

// Every point file of the test data and the example through the whole run with
// both programs and the picture: the report as without them, the programs read
// back (two of them byte for byte), each din program through rs274.
TEST_F(NcProgramme, TestdatenUndBeispielImLauf)
{
    const Zahlenformat de = Zahlenformat::deutsch();
    struct Din {
        fs::path datei;
        Kontur kontur;
        double fehl;
        Bahnverfahren verfahren;
    };
    std::vector<Din> dinProgramme;
    for (const fs::path& spl : punktdateien())
        for (const Bahnverfahren verfahren : {Bahnverfahren::kurz, Bahnverfahren::kette}) {
            const bool kette = verfahren == Bahnverfahren::kette;
            const std::string stamm = spl.stem().string();
            const double fehl = fehlVon(spl);
            const fs::path h = ordner / (stamm + ".H"), nc = ordner / (stamm + ".NC");
            Berichtsdatei bericht((ordner / "bericht.TXT").string());
            NcProgramm klartext(Dialekt::klartext, h.string(), spl.string());
            NcProgramm din(Dialekt::din, nc.string(), spl.string());
            Bahnbild bild((ordner / (stamm + ".svg")).string());
            Bahnausgabe* const bahnausgaben[] = {&klartext, &din, &bild};
            const Laufergebnis ergebnis = berechnungDurchfuehren(
                {spl.string(), fehl, de, Kettenverfahren::schnell, verfahren}, bericht, {},
                bahnausgaben);

            fs::path erwartet = spl;
            if (fs::exists(erwartet.replace_extension(".TXT"))) {
                EXPECT_EQ(lesen(ordner / "bericht.TXT"), lesen(erwartet)) << spl;
            }
            // The stored programs are those of the path along the chain.
            for (const char* endung : {".H", ".NC"}) {
                if (kette && fs::exists(erwartet.replace_extension(endung))) {
                    EXPECT_EQ(lesen(ordner / (stamm + endung)), lesen(erwartet)) << spl;
                }
            }
            const Kontur k = punktdateiLesen(spl.string(), wertebereich(de));
            const Programmerwartung erwartung{stamm,
                                              spl.filename().string(),
                                              fehl,
                                              {verfahren, ergebnis.bahnelemente, ergebnis.boegen}};
            for (const auto& [dialekt, datei] :
                 {std::pair{Dialekt::klartext, h}, std::pair{Dialekt::din, nc}})
                for (const std::string& f : programmPruefen(dialekt, lesen(datei), k, erwartung))
                    ADD_FAILURE() << datei << ": " << f;
            const fs::path kopie = ordner / (stamm + (kette ? ".kette.NC" : ".kurz.NC"));
            fs::rename(nc, kopie);
            dinProgramme.push_back({kopie, k, fehl, verfahren});
        }
    ASSERT_GE(dinProgramme.size(), 10u);

    RS274_VERLANGEN();
    for (const auto& [nc, k, fehl, verfahren] : dinProgramme) {
        const Rs274Lauf lauf = rs274Laufen(lesen(nc), ordner);
        EXPECT_TRUE(fehlerfrei(lauf)) << nc << ": " << lauf.fehler;
        std::vector<std::string> fehler;
        const auto wege = rs274Lesen(lauf.ausgabe, fehler);
        ASSERT_EQ(wege.size(), 1u) << nc;
        fahrwegPruefen(k, fehl, wege[0], verfahren, fehler);
        for (const std::string& f : fehler)
            ADD_FAILURE() << "rs274, " << nc << ": " << f;
    }
}

// A run that fails leaves none of its files, even when the report fails last,
// after the program and the picture are written out; earlier files of their
// names keep content and permissions. A run that succeeds writes all three, and
// the report is the same as without them.
TEST_F(NcProgramme, FehlschlagHinterlaesstKeineDatei)
{
    std::string punkte;
    for (int i = 0; i < 2000; ++i)
        punkte += std::to_string(i * 0.01) + "," + std::to_string(std::sin(i * 0.003) * 5) + "\n";
    const std::string spl = (ordner / "kontur.spl").string();
    schreiben(spl, punkte);
    schreiben(ordner / "kontur.NC", "altes Programm");
    const auto rechte = fs::perms::owner_read | fs::perms::group_read;
    fs::permissions(ordner / "kontur.NC", rechte);
    const std::vector<std::string> vorher{"kontur.NC", "kontur.spl"};
    const auto unveraendert = [&] {
        EXPECT_EQ(dateien(), vorher);
        EXPECT_EQ(lesen(ordner / "kontur.NC"), "altes Programm");
        EXPECT_EQ(fs::status(ordner / "kontur.NC").permissions(), rechte);
    };
    const Zahlenformat de = Zahlenformat::deutsch();
    const Laufauftrag auftrag{spl, 0.05, de, Kettenverfahren::schnell, Bahnverfahren::kurz};
    const auto pfad = [&](const char* name) { return (ordner / name).string(); };

    const std::string fehlenderOrdner = meldung([&] {
        Berichtsdatei bericht(pfad("kontur.TXT"));
        NcProgramm nc(Dialekt::din, pfad("fehlt/kontur.NC"), spl);
    });
    EXPECT_NE(
        fehlenderOrdner.find("NC-Programm \"" + pfad("fehlt/kontur.NC") + "\" kann nicht angelegt"),
        std::string::npos)
        << fehlenderOrdner;
    unveraendert();

    // The report (some 170 KB) passes the file size limit last, after the
    // program (some 3 KB) and the picture (some 45 KB) are written out.
    const std::string zuGross = meldung([&] {
        Berichtsdatei bericht(pfad("kontur.TXT"));
        NcProgramm nc(Dialekt::din, pfad("kontur.NC"), spl);
        Bahnbild bild(pfad("kontur.svg"));
        Bahnausgabe* const weitere[] = {&nc, &bild};
        rlimit alt{};
        ::getrlimit(RLIMIT_FSIZE, &alt);
        rlimit grenze = alt;
        grenze.rlim_cur = 100'000;
        const auto signal = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &grenze);
        try {
            berechnungDurchfuehren(auftrag, bericht, {}, weitere);
        } catch (...) {
            ::setrlimit(RLIMIT_FSIZE, &alt);
            std::signal(SIGXFSZ, signal);
            throw;
        }
    });
    EXPECT_NE(zuGross.find("Bericht \"" + pfad("kontur.TXT")
                           + "\" kann nicht geschrieben werden: die "
                             "zul\u00e4ssige Dateigr\u00f6\u00dfe ist \u00fcberschritten"),
              std::string::npos)
        << zuGross;
    unveraendert();

    // A point too far from the origin for a program: refused before anything
    // is written.
    schreiben(ordner / "fern.spl", "0,0\n1,1\n2,5000000000\n");
    const std::string fern = meldung([&] {
        Berichtsdatei bericht(pfad("fern.TXT"));
        NcProgramm nc(Dialekt::klartext, pfad("fern.H"), pfad("fern.spl"));
        Bahnausgabe* const weitere[] = {&nc};
        berechnungDurchfuehren(
            {pfad("fern.spl"), 0.05, de, Kettenverfahren::schnell, Bahnverfahren::kurz}, bericht,
            {}, weitere);
    });
    EXPECT_NE(fern.find("NC-Programm \"" + pfad("fern.H") + "\": Punkt 3 (2, 5e+09) liegt zu weit"),
              std::string::npos)
        << fern;
    EXPECT_EQ(dateien(), (std::vector<std::string>{"fern.spl", "kontur.NC", "kontur.spl"}));

    // Without a limit all three are written, the program over the old one.
    {
        Berichtsdatei allein(pfad("allein.TXT"));
        berechnungDurchfuehren(auftrag, allein, {}, {});
        Berichtsdatei bericht(pfad("kontur.TXT"));
        NcProgramm nc(Dialekt::din, pfad("kontur.NC"), spl);
        Bahnbild bild(pfad("kontur.svg"));
        Bahnausgabe* const weitere[] = {&nc, &bild};
        berechnungDurchfuehren(auftrag, bericht, {}, weitere);
    }
    EXPECT_EQ(dateien(), (std::vector<std::string>{"allein.TXT", "fern.spl", "kontur.NC",
                                                   "kontur.TXT", "kontur.spl", "kontur.svg"}));
    EXPECT_EQ(lesen(ordner / "kontur.TXT"), lesen(ordner / "allein.TXT"));
    EXPECT_EQ(lesen(ordner / "kontur.NC").substr(0, 2), "%\n");
}

// Default names, files that may not be overwritten, the program name and the
// point file's name in both comments, the feed.
TEST_F(NcProgramme, NamenUndKopf)
{
    EXPECT_EQ(ncPfadAbleiten("kontur.spl", Dialekt::klartext), "kontur.H");
    EXPECT_EQ(ncPfadAbleiten("kontur.spl", Dialekt::din), "kontur.NC");
    EXPECT_EQ(ncPfadAbleiten("a.b.c", Dialekt::din), "a.b.NC");
    EXPECT_EQ(ncPfadAbleiten("ordner.x/kontur", Dialekt::klartext), "ordner.x/kontur.H");

    const std::string spl = (ordner / "k.spl").string(), bericht = (ordner / "k.TXT").string();
    schreiben(spl, "0,0\n1,1\n2,0\n");
    fs::create_symlink(spl, ordner / "verweis.NC");
    const auto pruefen = [&](std::vector<Ausgabedatei> ausgaben) {
        return meldung([&] { ausgabenPruefen(spl, bericht, ausgaben); });
    };
    const std::string nc = (ordner / "k.NC").string(), bild = (ordner / "k.svg").string();
    EXPECT_EQ(pruefen({{"NC-Programm", nc}, {"Bild", bild}}), "(keine Meldung)");
    EXPECT_EQ(pruefen({{"NC-Programm", spl}}),
              "NC-Programm \"" + spl
                  + "\" ist die Punktdatei selbst; bitte einen anderen Namen w\u00e4hlen.");
    EXPECT_NE(
        pruefen({{"NC-Programm", (ordner / "verweis.NC").string()}}).find("Punktdatei selbst"),
        std::string::npos);
    EXPECT_NE(pruefen({{"Bild", (ordner / "." / "k.TXT").string()}}).find("und Bericht"),
              std::string::npos);
    EXPECT_NE(
        pruefen({{"NC-Programm", nc}, {"Bild", nc}}).find("Bild \"" + nc + "\" und NC-Programm"),
        std::string::npos);

    EXPECT_EQ(programmnameBilden("Kontur-1 (neu)"), "Kontur_1__neu_");
    EXPECT_EQ(programmnameBilden("D\u00fcse"), "D_se");
    EXPECT_EQ(programmnameBilden(""), "_");

    // Names with characters the comments cannot hold, and a long one, leave
    // both programs intact.
    const Kontur k = kontur({{0, 0}, {1, 1}, {2, 0}});
    const std::string lang(120, 'x');
    const struct {
        std::string name, klartext, din;
    } namen[] = {
        {"D\u00fcse (alt)\n;%.spl", "D\xFCse (alt)_;%.spl", "Duese _alt__;%.spl"},
        {"\xFF\xC3.spl", "__.spl", "__.spl"},
        {lang + ".spl", std::string(80, 'x') + "...", std::string(80, 'x') + "..."},
    };
    for (const auto& n : namen) {
        const Programme p = programmeSchreiben(k, 0.05, Bahnverfahren::kurz, n.name);
        const Programmerwartung h{"zufall", n.klartext, 0.05, p.bahn};
        const Programmerwartung din{"zufall", n.din, 0.05, p.bahn};
        for (const std::string& f : programmPruefen(Dialekt::klartext, p.klartext, k, h))
            ADD_FAILURE() << n.name << ": " << f;
        for (const std::string& f : programmPruefen(Dialekt::din, p.din, k, din))
            ADD_FAILURE() << n.name << ": din: " << f;
    }

    for (const auto& [vorschub, wort] :
         {std::pair{250.5, " F250.5\r\n"}, std::pair{1200.0, " F1200\r\n"}}) {
        Speicherausgabe aus;
        NcProgramm h(Dialekt::klartext, aus, "v", "v.spl", vorschub);
        bahnAusgeben(k, 0.05, Bahnverfahren::kurz, {&h});
        EXPECT_NE(aus.inhalt().find(wort), std::string::npos) << aus.inhalt();
    }
    for (const double vorschub : {0.0, -1.0, std::nan(""), 1e300, 100000.0}) {
        Speicherausgabe aus;
        EXPECT_NE(meldung([&] {
                      NcProgramm(Dialekt::din, aus, "v", "v.spl", vorschub);
                  }).find("NC-Programm \"v\": der Vorschub"),
                  std::string::npos)
            << vorschub;
    }
}
