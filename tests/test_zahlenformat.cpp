#include "report/zahlenformat.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cmath>
#include <cstring>
#include <random>

using namespace bogenkette;

namespace {

// Qt's own text of a value in the report's character set, as the reference.
std::string qtText(const QLocale& locale, double v)
{
    std::string text;
    alsCp1252(locale.toString(v, 'f', 3), text);
    return text;
}

// The text written backwards in place is the text of dreiStellen, and no byte
// outside it is touched; or nothing is written at all.
void vorEndePruefen(const Zahlenformat& format, double v, const char* name)
{
    char puffer[3 * maxKurztext];
    std::memset(puffer, '#', sizeof puffer);
    char* const ende = puffer + 2 * maxKurztext;
    const std::size_t laenge = format.dreiStellenVor(v, ende);
    ASSERT_LE(laenge, maxKurztext) << name << " " << v;
    ASSERT_EQ(std::string(ende - laenge, laenge), laenge == 0 ? "" : format.dreiStellen(v))
        << name << " " << v;
    ASSERT_EQ(std::string(puffer, ende - laenge) + std::string(ende, puffer + sizeof puffer),
              std::string(sizeof puffer - laenge, '#'))
        << name << " " << v;
}

}  // namespace

TEST(DreiStellen, DeutscheTabelle)
{
    const Zahlenformat de = Zahlenformat::deutsch();
    struct Fall {
        double wert;
        const char* text;
    };
    const Fall faelle[] = {
        {0, "0,000"},
        {-0.0, "0,000"},
        {0.05, "0,050"},
        {-0.043, "-0,043"},
        {1234.5678, "1.234,568"},
        {1e9, "1.000.000.000,000"},
        {-9999999.999, "-9.999.999,999"},
        {99999999.999, "99.999.999,999"},
        // Exact halfway cases go away from zero; 12.3455 lies just below the half.
        {0.0625, "0,063"},
        {-1.0625, "-1,063"},
        {0.1875, "0,188"},
        {12.3455, "12,345"},
        {2.0005, "2,001"},
        {999.9995, "1.000,000"},
        {0.9999999, "1,000"},
        {179.943, "179,943"},
        // A negative value that rounds to zero has no minus sign.
        {-0.0004, "0,000"},
        {-0.0005, "-0,001"},
        {-1e-300, "0,000"},
        {414213562.373, "414.213.562,373"},
        {-50.0, "-50,000"},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(de.dreiStellen(f.wert), f.text) << f.wert;
}

TEST(DreiStellen, AndereRegionen)
{
    const Zahlenformat en(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(en.dreiStellen(1234567.0625), "1,234,567.063");
    EXPECT_EQ(en.dreiStellen(-0.05), "-0.050");
    // Characters Windows-1252 lacks become the nearest it has.
    const Zahlenformat fr(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(fr.dreiStellen(-1234.5), "-1\xA0"
                                       "234,500");
    const Zahlenformat sv(QLocale(QLocale::Swedish, QLocale::Sweden));
    EXPECT_EQ(sv.dreiStellen(-2.5), "-2,500");
    const Zahlenformat ch(QLocale(QLocale::German, QLocale::Switzerland));
    EXPECT_EQ(ch.dreiStellen(1234.5), "1\x92"
                                      "234.500");
}

// The composed text must be Qt's for every locale: random values of every
// magnitude plus every exact halfway case near them.
TEST(DreiStellen, GleichQtInVielenRegionen)
{
    const char* namen[] = {"de_DE", "en_US", "fr_FR", "de_CH", "hi_IN", "sv_SE", "ar_EG",
                           "es_ES", "C",     "pl_PL", "fa_IR", "bn_BD", "it_IT", "nb_NO"};
    std::mt19937_64 zufall(20261208);
    std::uniform_real_distribution<double> mantisse(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-6, 40);
    for (const char* name : namen) {
        const QLocale locale(QString::fromLatin1(name));
        const Zahlenformat format(locale);
        for (int i = 0; i < 3000; ++i) {
            double v = mantisse(zufall) * std::pow(10.0, exponent(zufall));
            if (i % 3 == 0)
                v = std::round(v * 16) / 16;  // halfway cases
            std::string erwartet = qtText(locale, v);
            if (erwartet.find_first_of("123456789") == std::string::npos)
                erwartet = qtText(locale, 0.0);  // no minus sign on a zero
            ASSERT_EQ(format.dreiStellen(v), erwartet) << name << " " << v;
            vorEndePruefen(format, v, name);
        }
        // Every number of digits a double can have, up to 309.
        for (int stellen = 1; stellen <= 309; ++stellen) {
            const double v = mantisse(zufall) * std::pow(10.0, stellen - 1);
            ASSERT_EQ(format.dreiStellen(v), qtText(locale, v)) << name << " " << v;
        }
    }
}

// Where the whole-number rounding meets its limits: the neighbours of halfway
// cases, subnormal values, and magnitudes around 2^49 to 2^63 / 1000, beyond which
// the texts come from the general path.
TEST(DreiStellen, GrenzenDerGanzzahligenRundung)
{
    const QLocale locale(QLocale::German, QLocale::Germany);
    const Zahlenformat format(locale);
    std::vector<double> werte = {5e-324,
                                 0.0004999999999999999,
                                 0.0005,
                                 1e-300,
                                 0x1p49,
                                 0x1p52,
                                 9.2e15,
                                 9.3e15,
                                 0x1p63 / 1000,
                                 1e17,
                                 4503599627370495.5};
    for (double basis :
         {0.0625, 2.0005, 999.9995, 12.3455, 0x1p49 + 0.5, 0x1p50 + 0.25, 123456.0005}) {
        double v = basis;
        for (int k = 0; k < 3; ++k)
            v = std::nextafter(v, 0.0);
        for (int k = 0; k < 7; ++k, v = std::nextafter(v, 1e300))
            werte.push_back(v);
    }
    for (double v : {HUGE_VAL, -HUGE_VAL, std::nan("")})
        vorEndePruefen(format, v, "de_DE");
    for (double v : werte)
        for (double w : {v, -v}) {
            std::string erwartet = qtText(locale, w);
            if (erwartet.find_first_of("123456789") == std::string::npos)
                erwartet = qtText(locale, 0.0);
            EXPECT_EQ(format.dreiStellen(w), erwartet) << w;
            vorEndePruefen(format, w, "de_DE");
        }
}

TEST(AllgemeineZahl, FehlImKopf)
{
    const Zahlenformat de = Zahlenformat::deutsch();
    EXPECT_EQ(de.allgemein(0.05), "0,05");
    EXPECT_EQ(de.allgemein(0.01), "0,01");
    EXPECT_EQ(de.allgemein(0.1), "0,1");
    EXPECT_EQ(de.allgemein(1), "1");
    EXPECT_EQ(de.allgemein(0.3), "0,3");
    EXPECT_EQ(de.allgemein(12345.5), "12345,5");
    EXPECT_EQ(de.allgemein(1e-5), "0,00001");
    EXPECT_EQ(de.allgemein(2e20), "200000000000000000000");
    EXPECT_EQ(de.allgemein(1.0 / 3), "0,333333333333333");
    EXPECT_EQ(de.allgemein(0.07), "0,07");
    // Exact halfway cases at the 15th digit go away from zero, as in the rows.
    EXPECT_EQ(de.allgemein(123456789012.3125), "123456789012,313");
    EXPECT_EQ(de.allgemein(999999999999999.5), "1000000000000000");
    EXPECT_EQ(de.allgemein(0.000244140625), "0,000244140625");
    const Zahlenformat en(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(en.allgemein(0.05), "0.05");
    EXPECT_EQ(en.allgemein(1234.25), "1234.25");
}
