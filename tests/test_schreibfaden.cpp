#include "common/fehler.h"
#include "output/ausgabe.h"
#include "report/bericht.h"
#include "report/schreibfaden.h"
#include "report/zahlenformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

using namespace bogenkette;

namespace {

// A contour of n points and a chain over it as the fitting hands it over: arcs of
// varying length sharing their joining points, each with a circle of its own.
// `kaputt` (if > 0) is the arc whose circle is not a number.
struct Kettenspiel {
    Kontur k;
    explicit Kettenspiel(Index n)
    {
        k.anlegen(n);
        for (Index p = 1; p <= n; ++p) {
            k.xWert[static_cast<std::size_t>(p)] = 1000.0 + 0.37 * static_cast<double>(p);
            k.yWert[static_cast<std::size_t>(p)] = std::sin(static_cast<double>(p) * 0.01) * 50.0;
        }
    }

    void abspielen(Bogenempfaenger& aus, Index kaputt = 0)
    {
        Index anfang = 1, bogen = 0;
        while (anfang < k.anzahl) {
            ++bogen;
            const Index ende = std::min(k.anzahl, anfang + 1 + (bogen * 37) % 700);
            const double b = bogen == kaputt ? std::nan("") : -3.25 * static_cast<double>(bogen);
            const Kreis kreis{1000.0 + static_cast<double>(bogen), b,
                              500.0 + 0.5 * static_cast<double>(bogen), false};
            aus.bogenAufnehmen({anfang, ende, kreis, Bogen::Art::kreisbogen});
            anfang = ende;
        }
    }
};

std::string direkt(Kettenspiel& spiel, Index kaputt, std::string& fehler)
{
    Speicherausgabe aus;
    const Zahlenformat format = Zahlenformat::deutsch();
    Bericht bericht(aus, format, spiel.k, "b.TXT");
    try {
        spiel.abspielen(bericht, kaputt);
    } catch (const Fehler& f) {
        fehler = f.what();
    }
    return aus.inhalt();
}

std::string nebenher(Kettenspiel& spiel, Index kaputt, std::string& fehler)
{
    Speicherausgabe aus;
    const Zahlenformat format = Zahlenformat::deutsch();
    Bericht bericht(aus, format, spiel.k, "b.TXT");
    try {
        Schreibfaden faden(bericht);
        spiel.abspielen(faden, kaputt);
        faden.abschliessen();
    } catch (const Fehler& f) {
        fehler = f.what();
    }
    return aus.inhalt();
}

}  // namespace

// Many batches: the bytes of writing directly.
TEST(Schreibfaden, GleicheBytesWieDirekt)
{
    for (const Index n : {3, 700, 60000}) {
        Kettenspiel spiel(n);
        std::string f1, f2;
        const std::string erwartet = direkt(spiel, 0, f1);
        const std::string text = nebenher(spiel, 0, f2);
        EXPECT_TRUE(f1.empty() && f2.empty()) << f1 << f2;
        EXPECT_GT(erwartet.size(), static_cast<std::size_t>(n) * 82);
        EXPECT_TRUE(text == erwartet) << "n = " << n;
    }
}

// A row that cannot be written stops the run with the message of writing it
// directly, whether it comes early or after many batches; nothing follows it.
TEST(Schreibfaden, FehlerDesSchreibensKommtAn)
{
    for (const Index kaputt : {1, 2, 300}) {
        Kettenspiel spiel(200000);
        std::string f1, f2;
        const std::string erwartet = direkt(spiel, kaputt, f1);
        const std::string text = nebenher(spiel, kaputt, f2);
        ASSERT_FALSE(f1.empty());
        EXPECT_EQ(f2, f1);
        EXPECT_NE(f1.find("keine darstellbare Zahl"), std::string::npos) << f1;
        EXPECT_TRUE(text == erwartet) << "arc " << kaputt;
    }
}

// The chain failing while the thread is busy: the thread stops, nothing hangs.
TEST(Schreibfaden, AbbruchDerKette)
{
    struct Abbruch : Bogenempfaenger {
        Bogenempfaenger& ziel;
        Index zeilen = 0;
        explicit Abbruch(Bogenempfaenger& z) : ziel(z) {}
        void bogenAufnehmen(const Bogen& bogen) override
        {
            zeilen += bogen.bis - bogen.von + 1;
            if (zeilen >= 150000)
                throw std::runtime_error("abgebrochen");
            ziel.bogenAufnehmen(bogen);
        }
    };
    Kettenspiel spiel(200000);
    Speicherausgabe aus;
    const Zahlenformat format = Zahlenformat::deutsch();
    Bericht bericht(aus, format, spiel.k, "b.TXT");
    try {
        Schreibfaden faden(bericht);
        Abbruch abbruch(faden);
        spiel.abspielen(abbruch);
        FAIL() << "the chain should have failed";
    } catch (const std::runtime_error& f) {
        EXPECT_STREQ(f.what(), "abgebrochen");
    }
    EXPECT_LT(aus.inhalt().size(), 150000u * 82);
}
