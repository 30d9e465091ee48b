#include "common/fehler.h"
#include "input/punktdatei.h"
#include "report/bericht.h"
#include "report/zahlenformat.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace bogenkette;
using namespace std::string_literals;

namespace {

// What the report's columns hold with German settings.
const Wertebereich& deutsch()
{
    static const Wertebereich bereich = wertebereich(Zahlenformat::deutsch());
    return bereich;
}

std::vector<std::pair<double, double>> punkte(const std::string& text)
{
    const Kontur k = punkteAusText(text, "t.spl", deutsch());
    std::vector<std::pair<double, double>> ergebnis;
    for (Index i = 1; i <= k.anzahl; ++i)
        ergebnis.emplace_back(k.xWert[i], k.yWert[i]);
    return ergebnis;
}

std::string ablehnung(const std::string& text)
{
    try {
        punkteAusText(text, "t.spl", deutsch());
    } catch (const Fehler& f) {
        return f.what();
    }
    return "angenommen";
}

}  // namespace

TEST(Punktdatei, AngenommeneFormen)
{
    using P = std::vector<std::pair<double, double>>;
    const P drei = {{0, 0}, {10, 0}, {10, 5}};
    const std::pair<const char*, P> faelle[] = {
        {"0,0\r\n10,0\r\n10,5\r\n", drei},
        {"0,0\r\n10,0\r\n10,5", drei},  // no line end after the last line
        {"0,0\n10,0\n10,5\n", drei},
        {"0,0\r10,0\r10,5\r", drei},  // lone CR
        {"0,0\r\n10,0\n10,5\r", drei},
        {"\xEF\xBB\xBF"
         "0,0\r\n10,0\r\n10,5\r\n",
         drei},
        {"\r\n0,0\r\n  \r\n10,0\r\n\t\r\n10,5\r\n\r\n\r\n", drei},  // blank lines are no points
        {" 0 , 0 \r\n\t10,\t0\r\n+10 ,+5\r\n", drei},
        {"0.,.0\r\n1e1,0E0\r\n100e-1,0.5e+1\r\n", drei},
        {"-3.75,12.5\r\n-0,1e-400\r\n0.1234567890123456789,-99999999.999\r\n",
         {{-3.75, 12.5}, {-0.0, 0}, {0.1234567890123456789, -99999999.999}}},
    };
    for (const auto& [text, erwartet] : faelle)
        EXPECT_EQ(punkte(text), erwartet) << text;
}

TEST(Punktdatei, AbgelehnteZeilenNennenDieZeile)
{
    const std::pair<std::string, const char*> faelle[] = {
        {"0,0\r\n5\r\n1,1\r\n", "Zeile 2:"},
        {"0,0\r\n1,1\r\n1,2,3\r\n", "Zeile 3:"},
        {"0,0\r\nx,1\r\n1,1\r\n", "Zeile 2:"},
        {"0,0\r\n1,1\r\nnan,1\r\n", "Zeile 3:"},
        {"inf,0\r\n1,1\r\n2,2\r\n", "Zeile 1:"},
        {"0,0\r\n1,\r\n2,2\r\n", "Zeile 2:"},
        {"0,0\r\n,1\r\n2,2\r\n", "Zeile 2:"},
        {"0,0\r\n1 1\r\n2,2\r\n", "Zeile 2:"},
        {"0,0\r\n1,1;\r\n2,2\r\n", "Zeile 2:"},
        {"0,0\r\n1,0x10\r\n2,2\r\n", "Zeile 2:"},
        {"0,0\r\n1,1e\r\n2,2\r\n", "Zeile 2:"},
        {"0,0\r\n\r\n1,1\r\n2,2,\r\n", "Zeile 4:"},
        {"0,0\r\n1,1\r\n1e400,2\r\n", "Zeile 3:"},
        {"0,0\r\n1,1\r\n100000000,2\r\n", "Zeile 3:"},  // x text of 15 characters
        {"0,0\r\n1,1\r\n-10000000,2\r\n", "Zeile 3:"},
        {"0,0\r\n1,1\r\n2,1e22\r\n", "Zeile 3:"},  // y text of 30 characters
        {"0,0\r\n1,1\r\n2,2\0\r\n"s, "Zeile 3:"},
        {"0,0\r\n" + std::string(5000, '1') + ",1\r\n2,2\r\n", "Zeile 2:"},
        {"0,0\r\n1,1\r\n" + std::string(3 << 20, 'x'), "Zeile 3:"},
        {"0,0\r\n10,5\r\n", "2 Punkte"},
        {"", "0 Punkte"},
        {"\r\n \r\n", "0 Punkte"},
        {"1,1", "1 Punkt;"},
    };
    for (const auto& [text, stelle] : faelle) {
        const std::string meldung = ablehnung(text);
        EXPECT_NE(meldung.find("\"t.spl\""), std::string::npos) << meldung;
        EXPECT_NE(meldung.find(stelle), std::string::npos)
            << text.substr(0, 40) << " -> " << meldung;
    }
    // Still in its column: 14 and 29 characters.
    EXPECT_EQ(ablehnung("0,0\r\n1,1\r\n-9999999.999,99999999999999.999\r\n"), "angenommen");
}

TEST(Punktdatei, Zahlen)
{
    double w = 0;
    const std::pair<const char*, double> gut[] = {
        {"3", 3},      {"3.", 3},       {".5", 0.5},       {"-.5", -0.5}, {"+1.25", 1.25},
        {"1e3", 1000}, {"1E-3", 0.001}, {"-2.5e+2", -250}, {"007", 7},    {"1e-999999999999", 0},
    };
    for (const auto& [text, wert] : gut) {
        EXPECT_TRUE(zahlLesen(text, w)) << text;
        EXPECT_EQ(w, wert) << text;
    }
    for (const char* text : {"", "+", "-", ".", "e5", "1e", "1e+", "--1", "1.2.3", "1,5", " 1",
                             "nan", "inf", "0x1p3", "1e99999999999", "1_000"})
        EXPECT_FALSE(zahlLesen(text, w)) << text;
}

// The arrays are cut to the points found, whatever mix of line ends, blank lines
// and a missing last line end the counting pass saw.
TEST(Punktdatei, ArraysPassenZuDenPunkten)
{
    for (const char* text : {"1,1\r\n\r\n2,2\r3,3\n4,4", "\r\r1,1\n\n2,2\r\n3,3\r\n4,4\r\n\r\n",
                             "1,1\n2,2\n \t\n3,3\r4,4\r"}) {
        const Kontur k = punkteAusText(text, "t.spl", deutsch());
        ASSERT_EQ(k.anzahl, 4) << text;
        for (const auto* feld : {&k.xWert, &k.yWert})
            EXPECT_EQ(feld->size(), 5u) << text;
        EXPECT_EQ(k.xWert[4], 4.0) << text;
    }
}

// Line ends of every kind at every place of the eight-byte words the line end
// search reads, lines of every length, blank lines in between.
TEST(Punktdatei, ZeilenendenAnJederStelle)
{
    std::mt19937_64 zufall(19);
    const char* enden[] = {"\n", "\r\n", "\r"};
    for (int datei = 0; datei < 300; ++datei) {
        std::string text;
        std::vector<double> erwartet;
        for (int zeile = 0; zeile < 40; ++zeile) {
            if (zufall() % 5 == 0) {
                text += std::string(zufall() % 11, ' ');
            } else {
                const double x = static_cast<double>(zufall() % 100000) / 100;
                text += std::string(zufall() % 3, ' ') + std::to_string(x) + ","
                        + std::to_string(-x) + std::string(zufall() % 3, '\t');
                erwartet.push_back(std::stod(std::to_string(x)));
            }
            text += enden[zufall() % 3];
        }
        if (erwartet.size() < 3)
            continue;
        const Kontur k = punkteAusText(text, "t.spl", deutsch());
        ASSERT_EQ(k.anzahl, static_cast<Index>(erwartet.size())) << datei;
        for (std::size_t i = 0; i < erwartet.size(); ++i) {
            EXPECT_EQ(k.xWert[i + 1], erwartet[i]) << datei;
            EXPECT_EQ(k.yWert[i + 1], -erwartet[i]) << datei;
        }
    }
}

// Every number the way a measuring program writes it must read as from_chars
// reads it, bit for bit: up to 19 digits on either side of the point, mantissas
// around 2^53, signs, zeros.
TEST(Punktdatei, ZahlenWieFromChars)
{
    std::mt19937_64 zufall(17);
    for (int i = 0; i < 200000; ++i) {
        const int ganz = static_cast<int>(zufall() % 12), bruch = static_cast<int>(zufall() % 12);
        std::string text = zufall() % 2 ? "-" : "";
        for (int k = 0; k < ganz; ++k)
            text += static_cast<char>('0' + zufall() % 10);
        text += '.';
        for (int k = 0; k < bruch; ++k)
            text += static_cast<char>('0' + zufall() % 10);
        if (ganz + bruch == 0)
            text += '0';
        double gelesen = 0, erwartet = 0;
        ASSERT_TRUE(zahlLesen(text, gelesen)) << text;
        const char* anfang = text.data() + (text[0] == '-');
        std::from_chars(anfang, text.data() + text.size(), erwartet);
        if (text[0] == '-')
            erwartet = -erwartet;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(gelesen), std::bit_cast<std::uint64_t>(erwartet))
            << text;
    }
    for (const char* text : {"9007199254740992", "9007199254740993", "900719925474099.3",
                             "9007199254740993.0", "18446744073709551615", "1234567890123456789",
                             "0.0000000000000000001", "-0.0", "12345678901234567890.5"}) {
        double gelesen = 0, erwartet = 0;
        ASSERT_TRUE(zahlLesen(text, gelesen)) << text;
        std::from_chars(text + (text[0] == '-'), text + std::strlen(text), erwartet);
        if (text[0] == '-')
            erwartet = -erwartet;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(gelesen), std::bit_cast<std::uint64_t>(erwartet))
            << text;
    }
}

TEST(Punktdatei, DateiFehler)
{
    try {
        punktdateiLesen("/nicht/vorhanden.spl", deutsch());
        FAIL();
    } catch (const Fehler& f) {
        EXPECT_NE(std::string(f.what()).find("\"/nicht/vorhanden.spl\""), std::string::npos);
        EXPECT_NE(std::string(f.what()).find("nicht gefunden"), std::string::npos);
    }
    try {
        punktdateiLesen("/tmp", deutsch());
        FAIL();
    } catch (const Fehler& f) {
        EXPECT_NE(std::string(f.what()).find("Ordner"), std::string::npos) << f.what();
    }
}

TEST(Punktdatei, ZeilenendeAnDerPuffergrenze)
{
    // The reader takes the file in pieces of 1 MiB plus the longest line. A line end
    // that falls on the edge of the first piece (a CR LF split between two reads, a
    // lone CR, an LF) still ends exactly one line: the line number of a bad last
    // line tells. File and text in memory give the same.
    const std::size_t kante = (1u << 20) + maxZeilenlaenge + 1;
    const std::string pfad = ::testing::TempDir() + "puffergrenze.spl";
    for (const std::string ende : {"\r\n", "\r", "\n"}) {
        std::string text;
        Index zeilen = 0;
        while (text.size() < kante - 40) {
            text += std::to_string(++zeilen) + ",1\r\n";
        }
        // Blanks move the next line end onto the last byte of the first piece.
        const std::string vorletzte = std::to_string(++zeilen) + ",2";
        text += vorletzte + std::string(kante - 1 - text.size() - vorletzte.size(), ' ');
        ASSERT_EQ(text.size(), kante - 1);
        text += ende + "7,3\r\n";
        ++zeilen;
        std::FILE* datei = std::fopen(pfad.c_str(), "wb");
        ASSERT_NE(datei, nullptr);
        std::fwrite(text.data(), 1, text.size(), datei);
        std::fclose(datei);
        for (const Kontur& k :
             {punkteAusText(text, "t.spl", deutsch()), punktdateiLesen(pfad, deutsch())}) {
            ASSERT_EQ(k.anzahl, zeilen);
            EXPECT_EQ(k.yWert[zeilen - 1], 2);
            EXPECT_EQ(k.xWert[zeilen], 7);
        }
        text += "kaputt";
        EXPECT_NE(ablehnung(text).find("Zeile " + std::to_string(zeilen + 1) + ":"),
                  std::string::npos);
    }
    std::remove(pfad.c_str());
}

// A large file read from disk in pieces gives what its text in memory gives:
// whatever the line ends, blank lines, byte-order mark or bad lines, the same
// points and the same message, naming the first bad line.
TEST(Punktdatei, GrosseDateiWieText)
{
    const std::string pfad = ::testing::TempDir() + "haelften.spl";
    std::mt19937_64 zufall(5);
    std::uniform_int_distribution<int> wuerfel(0, 99);
    auto vergleichen = [&](const std::string& text, const std::string& fall) {
        std::FILE* datei = std::fopen(pfad.c_str(), "wb");
        ASSERT_NE(datei, nullptr);
        std::fwrite(text.data(), 1, text.size(), datei);
        std::fclose(datei);
        std::string erwartet, gelesen;
        Kontur a, b;
        try {
            a = punkteAusText(text, pfad, deutsch());
        } catch (const Fehler& f) {
            erwartet = f.what();
        }
        try {
            b = punktdateiLesen(pfad, deutsch());
        } catch (const Fehler& f) {
            gelesen = f.what();
        }
        ASSERT_EQ(gelesen, erwartet) << fall;
        ASSERT_EQ(b.anzahl, a.anzahl) << fall;
        for (Index i = 1; i <= a.anzahl; ++i)
            ASSERT_TRUE(std::bit_cast<std::uint64_t>(a.xWert[i])
                            == std::bit_cast<std::uint64_t>(b.xWert[i])
                        && std::bit_cast<std::uint64_t>(a.yWert[i])
                               == std::bit_cast<std::uint64_t>(b.yWert[i]))
                << fall << ", Punkt " << i;
    };
    const char* const enden[] = {"\n", "\r\n", "\r", "gemischt"};
    for (const std::string art : enden) {
        for (const bool bom : {false, true}) {
            std::vector<std::string> zeilen;
            for (int k = 0; k < 90000; ++k) {
                const int w = wuerfel(zufall);
                if (w < 3)
                    zeilen.emplace_back(w == 0 ? "" : " \t ");
                else if (w < 6)
                    zeilen.emplace_back(" " + std::to_string(k) + "e-3 ,\t-" + std::to_string(w)
                                        + ".25 ");
                else
                    zeilen.emplace_back(std::to_string(1000 + k) + "." + std::to_string(w) + ",-"
                                        + std::to_string(k % 977) + ".0625");
            }
            auto zusammen = [&](const std::vector<std::string>& z) {
                std::string text = bom ? "\xEF\xBB\xBF" : "";
                for (const std::string& zeile : z) {
                    const std::string ende =
                        art != "gemischt" ? art
                                          : enden[static_cast<std::size_t>(wuerfel(zufall) % 3)];
                    text += zeile + ende;
                }
                return text;
            };
            const std::string fall = "Enden "
                                     + (art == "\n"     ? "LF"s
                                        : art == "\r\n" ? "CR LF"s
                                        : art == "\r"   ? "CR"s
                                                        : art)
                                     + (bom ? ", BOM" : "");
            vergleichen(zusammen(zeilen), fall);
            // Bad lines at the start, in the middle and at the end; with two,
            // the first one is named.
            for (const std::vector<std::size_t>& schlecht : std::vector<std::vector<std::size_t>>{
                     {5}, {44990}, {45010}, {89990}, {45010, 89000}, {100, 45001}}) {
                std::vector<std::string> z = zeilen;
                for (const std::size_t i : schlecht)
                    z[i] = "1,2,3";
                vergleichen(zusammen(z),
                            fall + ", schlechte Zeile " + std::to_string(schlecht[0] + 1));
            }
        }
    }
    std::remove(pfad.c_str());
}

// Values too long for their report column early and late in a large file, read
// with a number format made just for this read: the first is named. The
// sanitizer run checks this test for data races.
TEST(Punktdatei, ZuGrosseWerteVornUndHinten)
{
    const std::string pfad = ::testing::TempDir() + "zu_gross.spl";
    std::string text;
    for (int k = 1; k <= 70000; ++k)
        text += k == 100 || k == 60000 ? "1," + std::string(24, '9') + ".5\n"
                                       : std::to_string(k) + ",1\n";
    std::FILE* datei = std::fopen(pfad.c_str(), "wb");
    ASSERT_NE(datei, nullptr);
    std::fwrite(text.data(), 1, text.size(), datei);
    std::fclose(datei);
    try {
        punktdateiLesen(pfad, wertebereich(Zahlenformat::deutsch()));
        FAIL() << "angenommen";
    } catch (const Fehler& f) {
        EXPECT_NE(std::string(f.what()).find("Zeile 100: "), std::string::npos) << f.what();
        EXPECT_NE(std::string(f.what()).find("zu groß für seine Berichtsspalte"),
                  std::string::npos);
    }
    std::remove(pfad.c_str());
}
