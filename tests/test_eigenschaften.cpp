// Properties of the chain and its report over many random contours: every point
// covered in order, joining points shared, R never negative, radius errors within
// fehl, and the report's numbers reading back as the points and circles.
#include "kettenpruefung.h"

#include "input/punktdatei.h"
#include "output/ausgabe.h"
#include "report/bericht.h"
#include "report/zahlenformat.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <functional>
#include <random>
#include <sstream>

using namespace bogenkette;

namespace {

using Zufall = std::mt19937_64;

double gleichverteilt(Zufall& z, double von, double bis)
{
    return std::uniform_real_distribution<double>(von, bis)(z);
}

// A point file of the given points, three decimals each, as a user would have it.
class Punkttext {
public:
    void punkt(double x, double y)
    {
        zahl(x);
        text_ += ',';
        zahl(y);
        text_ += "\r\n";
    }
    const std::string& text() const { return text_; }

private:
    void zahl(double v)
    {
        char puffer[64];
        text_.append(
            puffer,
            std::to_chars(puffer, puffer + sizeof puffer, v, std::chars_format::fixed, 3).ptr);
    }
    std::string text_;
};

// Wandering steps of random length and direction.
void zufallsweg(Zufall& z, Punkttext& t, int n)
{
    double x = gleichverteilt(z, -100, 100), y = gleichverteilt(z, -100, 100);
    for (int i = 0; i < n; ++i) {
        t.punkt(x, y);
        x += gleichverteilt(z, -3, 3);
        y += gleichverteilt(z, -3, 3);
    }
}

// Circular pieces one after the other, with noise around fehl.
void kreisstuecke(Zufall& z, Punkttext& t, int n, double fehl)
{
    double x = 0, y = 0, richtung = gleichverteilt(z, 0, 6.3);
    for (int i = 0; i < n;) {
        const double r = std::exp(gleichverteilt(z, -1, 6));
        const double drehung = gleichverteilt(z, -0.5, 0.5) / r * 10;
        const int stueck = 3 + static_cast<int>(z() % 30);
        for (int j = 0; j < stueck && i < n; ++j, ++i) {
            const double rauschen = gleichverteilt(z, -2, 2) * fehl;
            t.punkt(x + rauschen * std::sin(richtung), y - rauschen * std::cos(richtung));
            richtung += drehung;
            x += std::cos(richtung);
            y += std::sin(richtung);
        }
    }
}

// Whole numbers in straight runs, vertical and horizontal ones among them: the
// degenerate circles and the two-point pieces of failed first trials.
void gitter(Zufall& z, Punkttext& t, int n)
{
    long x = 0, y = 0;
    for (int i = 0; i < n;) {
        const long dx = static_cast<long>(z() % 5) - 2, dy = static_cast<long>(z() % 5) - 2;
        const int lauf = 1 + static_cast<int>(z() % 6);
        for (int j = 0; j < lauf && i < n; ++j, ++i) {
            t.punkt(static_cast<double>(x), static_cast<double>(y));
            x += dx;
            y += dy;
        }
    }
}

// Points repeated in place and large coordinates with small steps.
void wiederholtFern(Zufall& z, Punkttext& t, int n)
{
    double x = gleichverteilt(z, -5e6, 5e6), y = gleichverteilt(z, -5e6, 5e6);
    for (int i = 0; i < n; ++i) {
        t.punkt(x, y);
        if (z() % 3 != 0) {
            x += gleichverteilt(z, -0.01, 0.2);
            y += gleichverteilt(z, -0.1, 0.1);
        }
    }
}

// German three-decimal text back to a number ("-1.234,568" -> -1234.568).
double zurueckGelesen(std::string_view text)
{
    std::string einfach;
    for (char c : text)
        if (c != '.')
            einfach.push_back(c == ',' ? '.' : c);
    double wert = NAN;
    std::from_chars(einfach.data(), einfach.data() + einfach.size(), wert);
    return wert;
}

// The four fields of a row: columns 1-14, 15-29, 30-44 and 45-64, without blanks.
std::vector<std::string_view> felderDerZeile(std::string_view zeile)
{
    std::vector<std::string_view> liste;
    const std::size_t grenzen[] = {0, 14, 29, 44, 64};
    for (std::size_t i = 0; i < 4; ++i) {
        std::string_view feld = zeile.substr(grenzen[i], grenzen[i + 1] - grenzen[i]);
        feld.remove_prefix(std::min(feld.find_first_not_of(' '), feld.size()));
        liste.push_back(feld);
    }
    return liste;
}

// The rows' numbers read back: x and y as in the point file, radius errors of
// the arcs within fehl, angles from 0 to 360, radii without sign.
void zahlenZurueckPruefen(const Kontur& k, double fehl, const std::vector<Bogen>& boegen,
                          const std::string& bericht, const std::string& fall)
{
    std::istringstream zeilen(bericht);
    std::string zeile;
    for (int i = 0; i < 17; ++i)
        std::getline(zeilen, zeile);
    for (const Bogen& b : boegen) {
        for (Index p = b.von; p <= b.bis; ++p) {
            std::getline(zeilen, zeile);
            ASSERT_GE(zeile.size(), 80u) << fall;
            const auto felder = felderDerZeile(zeile);
            EXPECT_EQ(zurueckGelesen(felder[0]), k.xWert[p]) << fall << ": " << zeile;
            EXPECT_EQ(zurueckGelesen(felder[1]), k.yWert[p]) << fall << ": " << zeile;
            const double w = zurueckGelesen(felder[3]);
            EXPECT_TRUE(w >= 0 && w <= 360) << fall << ": " << zeile;
            if (b.art == Bogen::Art::kreisbogen) {
                EXPECT_LE(std::fabs(zurueckGelesen(felder[2])), fehl + 0.0005)
                    << fall << ": " << zeile;
            }
        }
        std::getline(zeilen, zeile);
        std::getline(zeilen, zeile);
        EXPECT_NEAR(zurueckGelesen(zeile.substr(40)), b.kreis.a,
                    0.0005 + 1e-15 * std::fabs(b.kreis.a));
        std::getline(zeilen, zeile);
        EXPECT_NEAR(zurueckGelesen(zeile.substr(40)), b.kreis.b,
                    0.0005 + 1e-15 * std::fabs(b.kreis.b));
        std::getline(zeilen, zeile);
        EXPECT_EQ(zeile.find('-'), std::string::npos) << fall << ": " << zeile;
        EXPECT_GE(zurueckGelesen(zeile.substr(40)), 0.0);
        std::getline(zeilen, zeile);
    }
}

struct Erzeuger {
    const char* name;
    std::function<void(Zufall&, Punkttext&, int, double)> erzeugen;
};

}  // namespace

TEST(Eigenschaften, ZufallskonturenUndIhrBericht)
{
    const Erzeuger erzeuger[] = {
        {"Zufallsweg", [](Zufall& z, Punkttext& t, int n, double) { zufallsweg(z, t, n); }},
        {"Kreisstuecke", kreisstuecke},
        {"Gitter", [](Zufall& z, Punkttext& t, int n, double) { gitter(z, t, n); }},
        {"wiederholt und fern",
         [](Zufall& z, Punkttext& t, int n, double) { wiederholtFern(z, t, n); }},
    };
    const double fehlWerte[] = {0.001, 0.01, 0.05, 0.1, 0.5, 1, 5};
    const Zahlenformat de = Zahlenformat::deutsch();
    Zufall zufall(20240611);
    int boegenGesamt = 0, geraden = 0, schluesse = 0;
    for (int lauf = 0; lauf < 400; ++lauf) {
        const Erzeuger& e = erzeuger[lauf % std::size(erzeuger)];
        const double fehl = fehlWerte[zufall() % std::size(fehlWerte)];
        const int n = 3 + static_cast<int>(zufall() % (lauf % 10 == 0 ? 400 : 60));
        Punkttext punkte;
        e.erzeugen(zufall, punkte, n, fehl);
        const std::string fall = std::string(e.name) + " Lauf " + std::to_string(lauf) + ", fehl "
                                 + std::to_string(fehl) + ":\n" + punkte.text().substr(0, 2000);

        Kontur k = punkteAusText(punkte.text(), "zufall.spl", wertebereich(de));
        ASSERT_EQ(k.anzahl, n) << fall;
        Speicherausgabe aus;
        Bericht bericht(aus, de, k, "zufall.TXT");
        bericht.kopfSchreiben(fehl);
        Kettenmitschrift mitschrift(bericht);
        ASSERT_NO_THROW(berechneKette(k, fehl, mitschrift)) << fall;

        const auto& boegen = mitschrift.boegen;
        for (const std::string& f : ketteUndBerichtPruefen(k, fehl, de, boegen, aus.inhalt()))
            ADD_FAILURE() << fall << "\n-> " << f;
        zahlenZurueckPruefen(k, fehl, boegen, aus.inhalt(), fall);
        if (HasFailure())
            return;
        for (const Bogen& b : boegen) {
            ++boegenGesamt;
            geraden += b.art == Bogen::Art::gerade;
            schluesse += b.art == Bogen::Art::schluss;
        }
    }
    // The contours reach every kind of piece.
    EXPECT_GT(geraden, 50);
    EXPECT_GT(schluesse, 50);
    EXPECT_GT(boegenGesamt - geraden - schluesse, 500);
}
