#include "common/fehler.h"
#include "output/ausgabe.h"
#include "report/bericht.h"
#include "report/zahlenformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

using namespace bogenkette;

namespace {

std::vector<std::string> zeilen(const std::string& text)
{
    std::vector<std::string> ergebnis;
    std::size_t anfang = 0;
    while (anfang < text.size()) {
        const auto ende = text.find("\r\n", anfang);
        EXPECT_NE(ende, std::string::npos) << "every line ends with CR LF";
        ergebnis.push_back(text.substr(anfang, ende - anfang));
        anfang = ende + 2;
    }
    return ergebnis;
}

// One point and one circle, written as a row by a German report.
struct Zeilentest {
    Kontur k;
    Speicherausgabe aus;
    Zahlenformat format = Zahlenformat::deutsch();
    Kreis kreis;
    Zeilentest(double x, double y, double a, double b, double R) : kreis{a, b, R, false}
    {
        k.anlegen(1);
        k.xWert[1] = x;
        k.yWert[1] = y;
    }
    std::string zeile()
    {
        Bericht bericht(aus, format, k, "b.TXT");
        bericht.zeileSchreiben(1, kreis);
        return aus.inhalt().substr(0, aus.inhalt().size() - 2);
    }
};

}  // namespace

TEST(Berichtskopf, FehlInZeileVier)
{
    const std::pair<double, const char*> faelle[] = {
        {0.05, " 0,05 "}, {0.01, " 0,01 "}, {1, " 1 "}, {0.1, " 0,1 "}};
    for (const auto& [fehl, text] : faelle) {
        Kontur k;
        Speicherausgabe aus;
        const Zahlenformat de = Zahlenformat::deutsch();
        Bericht(aus, de, k, "b.TXT").kopfSchreiben(fehl);
        const auto z = zeilen(aus.inhalt());
        ASSERT_EQ(z.size(), 17u);
        EXPECT_EQ(z[3], std::string(" Berechnung f\xFCr Fehlergrenze: ") + text);
        const std::size_t laengen[] = {64, 63, 0,  0,  61, 57, 45, 0, 24,
                                       55, 55, 76, 74, 0,  0,  66, 0};
        for (std::size_t i = 0; i < 17; ++i) {
            if (i != 3) {
                EXPECT_EQ(z[i].size(), laengen[i]) << "line " << i + 1;
            }
        }
        EXPECT_EQ(z[15].substr(7, 6), "x-Wert");
        EXPECT_EQ(z[15].substr(54, 12), "Radienwinkel");
    }
}

TEST(Berichtszeile, Spalten)
{
    struct Fall {
        double x, y, a, b, R;
        const char* zeile;
    };
    const Fall faelle[] = {
        // On the circle, left of the centre at its height: 180 degrees.
        {0, 0, 1, 0, 1,
         "         0,000          0,000          0,000             180,000                "},
        {2, 0, 1, 0, 1,
         "         2,000          0,000          0,000               0,000                "},
        // Inside the circle: a negative radius error.
        {1, 0.5, 1, 0, 0.543,
         "         1,000          0,500         -0,043              90,000                "},
        // 14 characters fill columns 1 to 14 exactly.
        {-9999999.999, 0, -9999999.999, 1, 1,
         "-9.999.999,999          0,000          0,000             270,000                "},
        // A 16-character y text starts in column 14 and replaces the x text's end.
        {1, -123456789.123, 1, -123456789.123, 0,
         "         1,00-123.456.789,123          0,000               0,000                "},
    };
    for (const auto& f : faelle) {
        Zeilentest t(f.x, f.y, f.a, f.b, f.R);
        EXPECT_EQ(t.zeile(), f.zeile);
    }
}

// Locales whose texts are not written in place (Indian grouping, a two-byte
// minus sign) put every field where the general texts go: ending in columns
// 14, 29, 44 and 64.
TEST(Berichtszeile, SpaltenInAnderenRegionen)
{
    for (const char* name : {"hi_IN", "fa_IR", "de_CH", "en_US"}) {
        Zeilentest t(-1234567.25, 7654321.5, -1234567.25, 7654320.5, 0.25);
        t.format = Zahlenformat(QLocale(QString::fromLatin1(name)));
        std::string erwartet(zeilenbreite, ' ');
        const double werte[] = {-1234567.25, 7654321.5, 0.75, 90.0};
        const std::size_t enden[] = {14, 29, 44, 64};
        for (int i = 0; i < 4; ++i) {
            const std::string text = t.format.dreiStellen(werte[i]);
            erwartet.replace(enden[i] - text.size(), text.size(), text);
        }
        EXPECT_EQ(t.zeile(), erwartet) << name;
    }
}

TEST(Berichtszeile, ZuLangerTextBrichtAb)
{
    Zeilentest t(100000000, 0, 0, 0, 0);  // x text of 15 characters
    try {
        t.zeile();
        FAIL();
    } catch (const Fehler& f) {
        EXPECT_NE(std::string(f.what()).find("\"b.TXT\""), std::string::npos);
        EXPECT_NE(std::string(f.what()).find("Punkt 1"), std::string::npos);
    }
}

TEST(Kreisblock, WerteUndKollinearWert)
{
    Kontur k;
    Speicherausgabe aus;
    const Zahlenformat de = Zahlenformat::deutsch();
    Bericht bericht(aus, de, k, "b.TXT");
    bericht.kreisblockSchreiben({50, -0.0499249, 50.0000249, false});
    bericht.kreisblockSchreiben(entarteterKreis);
    EXPECT_EQ(aus.inhalt(), "\r\n"
                            "      x-Koordinate Bogenmittelpunkt a = 50,000\r\n"
                            "      y-Koordinate Bogenmittelpunkt b = -0,050\r\n"
                            "                        Bogenradius R = 50,000\r\n"
                            "\r\n"
                            "\r\n"
                            "      x-Koordinate Bogenmittelpunkt a = 1.000.000.000,000\r\n"
                            "      y-Koordinate Bogenmittelpunkt b = 1.000.000.000,000\r\n"
                            "                        Bogenradius R = 1.000.000.000,000\r\n"
                            "\r\n");
}

// The values the point file may hold are exactly those whose texts fit their
// columns: at each end of the range the value fits and the next double beyond it
// does not, in locales with other separators, grouping and minus signs.
TEST(Wertebereich, GrenzenWieDieTexte)
{
    for (const char* name : {"de_DE", "en_US", "hi_IN", "fa_IR", "de_CH", "es_ES", "sv_SE", "C"}) {
        const Zahlenformat format{QLocale(QString::fromLatin1(name))};
        const Wertebereich bereich = wertebereich(format);
        for (const Achsenbereich& achse : {bereich.x, bereich.y}) {
            for (const double grenze : {achse.min, achse.max}) {
                const double dahinter = std::nextafter(grenze, grenze * 2);
                EXPECT_LE(format.dreiStellen(grenze).size(), achse.zeichen)
                    << name << " " << grenze;
                EXPECT_GT(format.dreiStellen(dahinter).size(), achse.zeichen)
                    << name << " " << dahinter;
            }
            EXPECT_LT(achse.min, -1e5) << name;
            EXPECT_GT(achse.max, 1e5) << name;
        }
        EXPECT_EQ(bereich.x.zeichen, xSpalte);
        EXPECT_EQ(bereich.y.zeichen, ySpalte);
    }
    // German settings: x from -9.999.999,999 (14 characters) to 99.999.999,999.
    const Zahlenformat deutsch = Zahlenformat::deutsch();
    const Wertebereich de = wertebereich(deutsch);
    EXPECT_EQ(deutsch.dreiStellen(de.x.min), "-9.999.999,999");
    EXPECT_EQ(deutsch.dreiStellen(de.x.max), "99.999.999,999");
}
