// DXF drawings, checked by ezdxf (Debian's python3-ezdxf), an independent DXF
// library: every drawing we write must read and audit clean there and hold the
// NC program's path element for element; drawings ezdxf writes must read back
// into the points they were made from.
#include "ncpruefung.h"
#include "testhilfen.h"
#include "zufallskonturen.h"

#include "cad/dxfzeichnung.h"
#include "common/fehler.h"
#include "geometry/bahn.h"
#include "input/dxfdatei.h"
#include "input/punktdatei.h"
#include "nc/ncprogramm.h"
#include "output/ausgabe.h"
#include "report/bericht.h"
#include "report/zahlenformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

using namespace bogenkette;
using namespace bogenkette::test;

namespace {

const Wertebereich& bereich()
{
    static const Wertebereich b = wertebereich(Zahlenformat::deutsch());
    return b;
}

bool ezdxfDa() { return std::system("/usr/bin/python3 -c 'import ezdxf' >/dev/null 2>&1") == 0; }

// Skips the rest of a test without ezdxf, except in CI, where it must be there.
#define EZDXF_VERLANGEN()                                                                          \
    do {                                                                                           \
        if (!ezdxfDa()) {                                                                          \
            if (imCi())                                                                            \
                FAIL() << "ezdxf fehlt (Debian-Paket python3-ezdxf, tools/pakete.sh)";             \
            GTEST_SKIP() << "ezdxf fehlt (Debian-Paket python3-ezdxf): Prüfung übersprungen";      \
        }                                                                                          \
    } while (0)

// Runs tests/dxfwerkzeug.py with `argumente`; its output, or a failure.
std::string werkzeug(const std::string& argumente, const fs::path& ordner)
{
    const std::string befehl = "/usr/bin/python3 " + q(DXFWERKZEUG) + " " + argumente + " > "
                               + q(ordner / "werkzeug.aus") + " 2>&1";
    const int status = std::system(befehl.c_str());
    const std::string ausgabe = lesen(ordner / "werkzeug.aus");
    if (status != 0)
        ADD_FAILURE() << "dxfwerkzeug.py " << argumente << ":\n" << ausgabe;
    return ausgabe;
}

// One entity as ezdxf lists it: its type, layer and numbers.
struct Element {
    std::string art, lage;
    std::vector<double> werte;
};

struct Zeichnung {
    int fehler = -1, korrekturen = -1, einheit = -1;
    std::vector<Element> elemente;
};

std::vector<Zeichnung> zeichnungenLesen(const std::string& ausgabe)
{
    std::vector<Zeichnung> zeichnungen;
    std::istringstream zeilen(ausgabe);
    std::string zeile;
    while (std::getline(zeilen, zeile)) {
        std::istringstream woerter(zeile);
        std::string art;
        woerter >> art;
        if (art == "DATEI") {
            zeichnungen.emplace_back();
        } else if (art == "AUDIT") {
            woerter >> zeichnungen.back().fehler >> zeichnungen.back().korrekturen;
        } else if (art == "EINHEIT") {
            woerter >> zeichnungen.back().einheit;
        } else if (art != "MELDUNG") {
            Element e{art, {}, {}};
            woerter >> e.lage;
            double v = 0;
            while (woerter >> v)
                e.werte.push_back(v);
            zeichnungen.back().elemente.push_back(e);
        }
    }
    return zeichnungen;
}

std::string ort(double x, double y)
{
    char text[80];
    std::snprintf(text, sizeof text, "(%.17g, %.17g)", x, y);
    return text;
}

// The drawing against the points and the din program of the same run: the
// points as one LWPOLYLINE on PUNKTE, then every move of the program as a LINE
// or ARC on BAHN with the program's digits.
void zeichnungPruefen(const Zeichnung& z, const Kontur& k, const Fahrweg& weg,
                      std::vector<std::string>& fehler)
{
    if (z.fehler != 0 || z.korrekturen != 0 || z.einheit != 4)
        fehler.push_back("ezdxf audit: " + std::to_string(z.fehler) + " Fehler, "
                         + std::to_string(z.korrekturen) + " Korrekturen, $INSUNITS "
                         + std::to_string(z.einheit));
    if (z.elemente.size() != weg.fahrten.size() + 1) {
        fehler.push_back(std::to_string(z.elemente.size()) + " Elemente für "
                         + std::to_string(weg.fahrten.size()) + " Fahrten");
        return;
    }
    const Element& punkte = z.elemente[0];
    bool gleich = punkte.art == "LWPOLYLINE" && punkte.lage == "PUNKTE"
                  && punkte.werte.size() == 1 + 2 * static_cast<std::size_t>(k.anzahl)
                  && punkte.werte[0] == static_cast<double>(k.anzahl);
    for (Index i = 1; gleich && i <= k.anzahl; ++i)
        gleich = punkte.werte[2 * i - 1] == k.xWert[i] && punkte.werte[2 * i] == k.yWert[i];
    if (!gleich)
        fehler.push_back("die LWPOLYLINE auf PUNKTE hält nicht genau die Punkte");
    double x = weg.startX, y = weg.startY;
    for (std::size_t n = 0; n < weg.fahrten.size(); ++n) {
        const Fahrt& f = weg.fahrten[n];
        const Element& e = z.elemente[n + 1];
        const std::string wo = "Element " + std::to_string(n + 1) + " (" + e.art + ") ";
        const auto& w = e.werte;
        if (e.lage != "BAHN")
            fehler.push_back(wo + "auf der Lage " + e.lage);
        if (f.art == Fahrt::Art::gerade) {
            // The very digits of the program: the same doubles.
            if (e.art != "LINE" || w != std::vector<double>{x, y, f.x, f.y})
                fehler.push_back(wo + "statt der Geraden " + ort(x, y) + " - " + ort(f.x, f.y));
        } else {
            const double r1 = std::hypot(x - f.i, y - f.j), r2 = std::hypot(f.x - f.i, f.y - f.j);
            // An ARC runs counter-clockwise: a clockwise move is drawn from its end.
            const bool links = f.art == Fahrt::Art::links;
            const double vonX = links ? w[3] : w[5], vonY = links ? w[4] : w[6];
            const double bisX = links ? w[5] : w[3], bisY = links ? w[6] : w[4];
            // The centre: the program writes it relative to the start (I, J).
            const bool mitte = zehntausendstel(w[0]) == zehntausendstel(f.i)
                               && zehntausendstel(w[1]) == zehntausendstel(f.j)
                               && w[0] == mm(zehntausendstel(w[0]))
                               && w[1] == mm(zehntausendstel(w[1]));
            if (e.art != "ARC" || !mitte || std::fabs(w[2] - r1) > 1e-9
                || std::hypot(vonX - x, vonY - y) > 1e-9
                || std::hypot(bisX - f.x, bisY - f.y) > std::fabs(r1 - r2) + 1e-9)
                fehler.push_back(wo + "statt des Bogens um " + ort(f.i, f.j) + " von " + ort(x, y)
                                 + " nach " + ort(f.x, f.y) + (links ? " (links)" : " (rechts)"));
        }
        x = f.x;
        y = f.y;
    }
}

Kontur splLesen(const fs::path& pfad) { return punktdateiLesen(pfad.string(), bereich()); }

void gleichePunkte(const Kontur& ist, const Kontur& soll, const std::string& fall)
{
    ASSERT_EQ(ist.anzahl, soll.anzahl) << fall;
    for (Index i = 1; i <= soll.anzahl; ++i)
        ASSERT_TRUE(ist.xWert[i] == soll.xWert[i] && ist.yWert[i] == soll.yWert[i])
            << fall << ", Punkt " << i << ": " << ort(ist.xWert[i], ist.yWert[i]) << " statt "
            << ort(soll.xWert[i], soll.yWert[i]);
}

}  // namespace

using Dxf = Arbeitsordner;

// The drawings of the example, of every point file of the test data and of 300
// random contours, written beside their din programs and read by ezdxf.
TEST_F(Dxf, EzdxfLiestDieBahnWieImNcProgramm)
{
    EZDXF_VERLANGEN();
    std::vector<std::pair<std::string, Kontur>> faelle;
    faelle.emplace_back("kontur.spl", splLesen(fs::path(BEISPIELE) / "kontur.spl"));
    for (const auto& eintrag : fs::directory_iterator(TESTDATEN))
        if (eintrag.path().extension() == ".spl"
            && !fs::exists(fs::path(eintrag.path()).replace_extension(".reject")))
            faelle.emplace_back(eintrag.path().filename(), splLesen(eintrag.path()));
    std::vector<double> fehlWerte(faelle.size(), 0.05);
    Zufall zufall(20251209);
    for (int lauf = 0; lauf < 300; ++lauf) {
        Zufallskontur z = zufallskontur(zufall, lauf);
        faelle.emplace_back(z.fall, std::move(z.kontur));
        fehlWerte.push_back(z.fehl);
    }
    std::vector<std::string> programme;
    std::string dateien;
    int boegen = 0;
    for (std::size_t i = 0; i < faelle.size(); ++i) {
        Speicherausgabe din, dxf;
        NcProgramm programm(Dialekt::din, din, "fall", "fall.spl");
        DxfZeichnung zeichnung(dxf, "fall.dxf");
        bahnAusgeben(faelle[i].second, fehlWerte[i],
                     i % 2 ? Bahnverfahren::kette : Bahnverfahren::kurz, {&programm, &zeichnung});
        const fs::path datei = ordner / ("fall" + std::to_string(i) + ".dxf");
        schreiben(datei, dxf.inhalt());
        dateien += " " + q(datei);
        programme.push_back(din.inhalt());
    }
    const std::vector<Zeichnung> zeichnungen =
        zeichnungenLesen(werkzeug("pruefen" + dateien, ordner));
    ASSERT_EQ(zeichnungen.size(), faelle.size());
    for (std::size_t i = 0; i < faelle.size(); ++i) {
        std::vector<std::string> fehler;
        const Fahrweg weg = programmLesen(Dialekt::din, programme[i], fehler);
        zeichnungPruefen(zeichnungen[i], faelle[i].second, weg, fehler);
        for (const std::string& f : fehler)
            ADD_FAILURE() << faelle[i].first << ": " << f;
        if (!fehler.empty())
            return;
        for (const Element& e : zeichnungen[i].elemente)
            boegen += e.art == "ARC";
    }
    EXPECT_GT(boegen, 1000);  // arcs of both senses, over and under half a turn
}

// Drawings made by ezdxf: one polyline, an old-style POLYLINE and a chain of
// lines give the points they were made of; of several contours the one asked
// for; arc segments become points on their arcs.
TEST_F(Dxf, ZeichnungenAusEzdxfGebenIhrePunkte)
{
    EZDXF_VERLANGEN();
    const fs::path beispiel = fs::path(BEISPIELE) / "kontur.spl";
    werkzeug("faelle " + q(ordner) + " " + q(beispiel), ordner);
    const Kontur punkte = splLesen(ordner / "kontur.erwartet");
    for (const char* name : {"kontur.dxf", "polyline.dxf", "linien.dxf"}) {
        const Dxfkontur dxf = dxfLesen((ordner / name).string(), bereich(), 0.05);
        EXPECT_EQ(dxf.konturen, 1) << name;
        gleichePunkte(dxf.kontur, punkte, name);
    }

    // The converter: the same report as from the point file, and a drawing and a
    // program of its own.
    fs::copy_file(beispiel, ordner / "kontur.spl");
    ASSERT_EQ(cli(q(ordner / "kontur.spl")).status, 0);
    const Aufrufergebnis lauf = cli("--nc din --dxf " + q(ordner / "k.dxf") + " -o "
                                    + q(ordner / "aus.TXT") + " " + q(ordner / "kontur.dxf"));
    ASSERT_EQ(lauf.status, 0) << lauf.ausgabe;
    EXPECT_NE(lauf.ausgabe.find("(Kontur 1 von 1, 79 Punkte, 31 Bögen"), std::string::npos)
        << lauf.ausgabe;
    EXPECT_EQ(lesen(ordner / "aus.TXT"), lesen(ordner / "kontur.TXT"));
    EXPECT_TRUE(fs::exists(ordner / "k.dxf") && fs::exists(ordner / "kontur.NC"));

    // Several contours, numbered in drawing order; a block's polyline and a
    // circle are none of them.
    for (const Index nummer : {1, 2, 5}) {
        const Dxfkontur dxf = dxfLesen((ordner / "mehrere.dxf").string(), bereich(), 0.05, nummer);
        EXPECT_EQ(dxf.konturen, 5);
        const std::string erwartet = "mehrere-" + std::to_string(nummer) + ".erwartet";
        gleichePunkte(dxf.kontur, splLesen(ordner / erwartet), erwartet);
    }
    const Aufrufergebnis zweite =
        cli("--kontur 2 -o " + q(ordner / "m.TXT") + " " + q(ordner / "mehrere.dxf"));
    EXPECT_NE(zweite.ausgabe.find("(Kontur 2 von 5, 4 Punkte"), std::string::npos)
        << zweite.ausgabe;

    // Arc segments: every point on its arc as ezdxf finds it, no straight piece
    // farther than fehl/4 from it, and the vertices kept.
    for (const double fehl : {0.05, 0.001, 1.0}) {
        const Kontur k = dxfLesen((ordner / "boegen.dxf").string(), bereich(), fehl).kontur;
        std::istringstream erwartet(lesen(ordner / "boegen.erwartet"));
        std::string art;
        Index p = 1;
        double mx = 0, my = 0, r = 0;
        bool bogen = false;
        while (erwartet >> art) {
            if (art == "BOGEN") {
                erwartet >> mx >> my >> r;
                bogen = true;
                continue;
            }
            double ex = 0, ey = 0;
            erwartet >> ex >> ey;
            const Index anfang = p;
            for (; p <= k.anzahl && !(k.xWert[p] == ex && k.yWert[p] == ey); ++p) {
                ASSERT_TRUE(bogen) << "Punkt " << p << " zwischen geraden Ecken";
                EXPECT_NEAR(std::hypot(k.xWert[p] - mx, k.yWert[p] - my), r, 1e-9);
            }
            ASSERT_LE(p, k.anzahl) << "Ecke " << ort(ex, ey) << " fehlt";
            if (bogen && p > anfang) {
                // The chord between two neighbours: its middle lies off the arc by
                // the sagitta.
                for (Index i = std::max<Index>(anfang - 1, 1); i < p; ++i) {
                    const double sx = (k.xWert[i] + k.xWert[i + 1]) / 2;
                    const double sy = (k.yWert[i] + k.yWert[i + 1]) / 2;
                    EXPECT_LE(r - std::hypot(sx - mx, sy - my), fehl / 4 + 1e-12);
                }
            }
            bogen = false;
            ++p;
        }
        EXPECT_EQ(p, k.anzahl + 1);
        EXPECT_GT(k.anzahl, 8);
    }
}

// What cannot be a contour is refused with a message naming the file and, where
// there is one, the contour and its vertex; the converter leaves no file.
TEST_F(Dxf, UnbrauchbareZeichnungenWerdenAbgelehnt)
{
    // A drawing around the entities given, as a CAD system writes the least of one.
    const auto zeichnung = [](const std::string& elemente) {
        return "  0\nSECTION\n  2\nENTITIES\n" + elemente + "  0\nENDSEC\n  0\nEOF\n";
    };
    const auto linie = [](const char* x1, const char* y1, const char* x2, const char* y2) {
        return std::string("  0\nLINE\n  5\n2A\n  8\n0\n 10\n") + x1 + "\n 20\n" + y1
               + "\n 30\n0\n 11\n" + x2 + "\n 21\n" + y2 + "\n 31\n0\n";
    };
    const std::string drei = linie("0", "0", "1", "0") + linie("1", "0", "1", "1");
    const struct {
        std::string inhalt;
        const char* meldung;
    } faelle[] = {
        {"", "\"z.dxf\" endet nicht mit dem Abschluss einer DXF-Zeichnung (0 / EOF); sie ist "
             "unvollständig oder beschädigt."},
        {zeichnung(drei).substr(0, 80), "endet nicht mit dem Abschluss einer DXF-Zeichnung"},
        {"AutoCAD Binary DXF\r\n\x1a", "\"z.dxf\" ist eine binäre DXF-Datei"},
        {zeichnung("  0\nCIRCLE\n  8\n0\n 10\n0\n 20\n0\n 40\n3\n"),
         "\"z.dxf\" enthält keine Kontur: keine Polylinie (LWPOLYLINE, POLYLINE) und keine "
         "Linie (LINE)."},
        {zeichnung(linie("0", "0", "1", "0")),
         "\"z.dxf\", Kontur 1: 2 Punkte; für eine Kette von Bögen sind mindestens 3 Punkte "
         "nötig."},
        {zeichnung(drei + linie("1", "1", "123456789012345", "1")),
         "\"z.dxf\", Kontur 1 (Linien, Handle 2A), Eckpunkt 4: der x-Wert ist zu groß für seine "
         "Berichtsspalte (höchstens 14 Zeichen)."},
        {zeichnung(drei + linie("1", "1", "2", "1e400")),
         "Eckpunkt 4: der y-Wert ist zu groß für seine Berichtsspalte (höchstens 29 Zeichen)."},
        {zeichnung("  0\nLWPOLYLINE\n  5\nFF\n  8\n0\n 90\n3\n 70\n0\n 10\n0\n 20\n0\n 42\n"
                   "1e300\n 10\n1\n 20\n0\n 10\n2\n 20\n0\n"),
         "\"z.dxf\", Kontur 1 (Polylinie, Handle FF), Eckpunkt 1: die Bögen der Kontur ergäben "
         "mehr als 20000000 Punkte."},
    };
    for (const auto& fall : faelle) {
        try {
            dxfAusText(fall.inhalt, "z.dxf", bereich(), 1e-6);
            ADD_FAILURE() << "angenommen: " << fall.inhalt;
        } catch (const Fehler& f) {
            EXPECT_NE(std::string(f.what()).find(fall.meldung), std::string::npos)
                << f.what() << "\nerwartet: " << fall.meldung;
        }
    }
    EXPECT_EQ(dxfAusText(zeichnung(drei), "z.dxf", bereich(), 0.05).kontur.anzahl, 3);

    // The converter: a contour the drawing does not have, and a file that is none.
    schreiben(ordner / "z.dxf", zeichnung(drei));
    fs::create_directory(ordner / "ordner.dxf");
    const auto vorher = stand();
    for (const auto& [argumente, meldung] :
         {std::pair{"--kontur 3 --dxf aus.dxf z.dxf",
                    "bogenkette-cli: Punktdatei \"z.dxf\" enthält 1 Kontur, keine Kontur 3.\n"},
          std::pair{"fehlt.DXF", "bogenkette-cli: Punktdatei \"fehlt.DXF\" kann nicht geöffnet "
                                 "werden: Datei oder Ordner nicht gefunden\n"},
          std::pair{"ordner.dxf", "bogenkette-cli: Punktdatei \"ordner.dxf\" kann nicht gelesen "
                                  "werden: das ist ein Ordner, keine Datei\n"}}) {
        const Aufrufergebnis lauf =
            cli(std::string("--nc din ") + argumente, "cd " + q(ordner) + ";");
        EXPECT_EQ(lauf.status, 1) << argumente;
        EXPECT_EQ(lauf.ausgabe, meldung);
        EXPECT_EQ(stand(), vorher) << argumente;
    }
    EXPECT_EQ(cli("--kontur 0 z.dxf", "cd " + q(ordner) + ";").status, 2);
    EXPECT_EQ(cli("--kontur 2 a.spl", "cd " + q(ordner) + ";").status, 2);
}
