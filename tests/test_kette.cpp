#include "geometry/kette.h"
#include "testhilfen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace bogenkette;
using bogenkette::test::kontur;

namespace {

// Records the chain as text, "von-bis" per piece, followed by g for a straight
// piece and s for the last three points, and the circles.
class Protokoll : public Bogenempfaenger {
public:
    explicit Protokoll(const Kontur&) {}
    void bogenAufnehmen(const Bogen& bogen) override
    {
        if (!text.empty())
            text += ' ';
        text += std::to_string(bogen.von) + "-" + std::to_string(bogen.bis);
        if (bogen.art == Bogen::Art::gerade)
            text += 'g';
        if (bogen.art == Bogen::Art::schluss)
            text += 's';
        kreise.push_back({bogen.kreis.a, bogen.kreis.b, bogen.kreis.R});
        entartet.push_back(bogen.kreis.entartet);
    }
    std::string text;
    std::vector<std::vector<double>> kreise;
    std::vector<bool> entartet;
};

struct Fall {
    const char* name;
    std::vector<std::pair<double, double>> punkte;
    double fehl;
    const char* ablauf;
};

}  // namespace

// Which rows and blocks each ending of the chain produces.
TEST(Kette, AblaufDerEnden)
{
    const Fall faelle[] = {
        {"drei Punkte auf einem Kreis", {{0, 0}, {1, 5}, {2, 0}}, 0.05, "1-3"},
        {"vier Punkte passen", {{0, 1}, {1, 0}, {2, 0}, {3, 0}}, 1, "1-4"},
        {"letzter Versuch scheitert", {{0, 1}, {1, 0}, {2, 0}, {3, 0}}, 0.01, "1-3 2-4s"},
        {"gleiches x am Ende", {{0, 0}, {2, 1}, {3, 3}, {0, 6}}, 0.05, "1-3 2-4s"},
        {"zwei Boegen",
         {{0, 0}, {1, 1}, {2, 0}, {3, -1}, {4, 0}, {5, 1}, {6, 0}},
         0.01,
         "1-3 3-5 5-7"},
        // First trial fails: a straight piece of two points, then on from its end.
        {"kollinear", {{0, 0}, {1, 1}, {2, 2}}, 0.05, "1-2g 1-3s"},
        {"gerade dann Bogen", {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 0}}, 0.05, "1-2g 2-4 3-5s"},
        {"senkrecht", {{0, 0}, {0, 1}, {0, 2}, {0, 3}}, 0.05, "1-2g 2-3g 2-4s"},
        {"langer Bogen dann Knick",
         {{1, 0}, {0.8, 0.6}, {0, 1}, {-0.6, 0.8}, {-1, 0}, {-2, 5}, {-3, 0}},
         0.05,
         "1-5 5-7"},
    };
    for (const auto& f : faelle) {
        Kontur k = kontur(f.punkte);
        Protokoll p(k);
        berechneKette(k, f.fehl, p);
        EXPECT_EQ(p.text, f.ablauf) << f.name;
        for (const auto& kreis : p.kreise)
            EXPECT_GE(kreis[2], 0.0) << f.name;
    }
}

TEST(Kette, KreiseDerEnden)
{
    // Step to the last three points: their own circle, degenerate or not.
    Kontur k = kontur({{0, 1}, {1, 0}, {2, 0}, {3, 0}});
    Protokoll p(k);
    berechneKette(k, 0.01, p);
    ASSERT_EQ(p.kreise.size(), 2u);
    EXPECT_NEAR(p.kreise[0][0], 1.5, 1e-12);
    EXPECT_NEAR(p.kreise[0][1], 1.5, 1e-12);
    EXPECT_EQ(p.kreise[1], (std::vector<double>{1e9, 1e9, 1e9}));
    EXPECT_EQ(p.entartet, (std::vector<bool>{false, true}));

    Kontur g = kontur({{0, 0}, {2, 1}, {3, 3}, {0, 6}});
    Protokoll q(g);
    berechneKette(g, 0.05, q);
    ASSERT_EQ(q.kreise.size(), 2u);
    EXPECT_NEAR(q.kreise[0][0], -0.5, 1e-12);
    EXPECT_NEAR(q.kreise[0][1], 3.5, 1e-12);

    Kontur s = kontur({{0, 0}, {1, 1}, {2, 2}});
    Protokoll r(s);
    berechneKette(s, 0.05, r);
    EXPECT_EQ(r.kreise[0], (std::vector<double>{1e9, 1e9, 1e9}));
}

TEST(Kette, AbweichungGleichFehlPasst)
{
    // (-4, 0) lies exactly 1 inside the circle of radius 5 about the origin.
    Kontur k = kontur({{-5, 0}, {-4, 0}, {0, 5}, {5, 0}});
    Protokoll p(k);
    berechneKette(k, 1, p);
    EXPECT_EQ(p.text, "1-4");
    Kontur knapp = kontur({{-5, 0}, {-4, 0}, {0, 5}, {5, 0}});
    Protokoll q(knapp);
    berechneKette(knapp, 0.9999999999, q);
    EXPECT_EQ(q.text, "1-3 2-4s");
}

TEST(Kette, MittelpunktHoechsterIndexBeiGleichstand)
{
    // Points 2 and 4 are equally near to the mean x 2 of the first and end
    // point; the higher index is chosen, giving the circle through 1, 4, 5
    // (through 1, 2, 5 the centre would be (2, 0.25)).
    Kontur k = kontur({{0, 0}, {1, 2}, {3.5, 2}, {3, 3}, {4, 0}});
    Protokoll p(k);
    berechneKette(k, 100, p);
    ASSERT_EQ(p.text, "1-5");
    EXPECT_NEAR(p.kreise[0][0], 2, 1e-12);
    EXPECT_NEAR(p.kreise[0][1], 1, 1e-12);
}
