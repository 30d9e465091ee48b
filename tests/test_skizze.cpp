// The sketch's scale and segments in the picture area's units, and the pixel
// surface that leaves out segments which would draw nothing new.
#include "sketch/skizze.h"
#include "testhilfen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <ostream>
#include <vector>

using namespace bogenkette;
using bogenkette::test::kontur;

namespace {

struct Strecke {
    float x1, y1, x2, y2;
};

class Sammler : public Zeichenflaeche {
public:
    void linieZiehen(float x1, float y1, float x2, float y2) override
    {
        strecken.push_back({x1, y1, x2, y2});
    }
    std::vector<Strecke> strecken;
};

struct Skizzenfall {
    const char* name;
    std::vector<std::pair<double, double>> punkte;
    double massstab;
    std::vector<Strecke> strecken;
};

// A case shows as its number of points (its name is the test's), in messages and in
// the lines ctest lists: short, and the same in every build.
void PrintTo(const Skizzenfall& fall, std::ostream* aus)
{
    *aus << fall.punkte.size() << " Punkte";
}

class Skizze : public ::testing::TestWithParam<Skizzenfall> {};

TEST_P(Skizze, MassstabUndStrecken)
{
    const Skizzenfall& fall = GetParam();
    Sammler sammler;
    const Skizzenmass mass = skizzeZeichnen(kontur(fall.punkte), sammler);
    EXPECT_DOUBLE_EQ(mass.massstab, fall.massstab);
    ASSERT_EQ(sammler.strecken.size(), fall.strecken.size());
    for (std::size_t i = 0; i < fall.strecken.size(); ++i) {
        SCOPED_TRACE("Strecke " + std::to_string(i + 1));
        EXPECT_FLOAT_EQ(sammler.strecken[i].x1, fall.strecken[i].x1);
        EXPECT_FLOAT_EQ(sammler.strecken[i].y1, fall.strecken[i].y1);
        EXPECT_FLOAT_EQ(sammler.strecken[i].x2, fall.strecken[i].x2);
        EXPECT_FLOAT_EQ(sammler.strecken[i].y2, fall.strecken[i].y2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Beispiele, Skizze,
    ::testing::Values(
        Skizzenfall{"BreiterAlsHoch",
                    {{0, 0}, {10, 0}, {10, 5}},
                    580,
                    {{240, 4560, 5460, 4560}, {5460, 4560, 5460, 1950}}},
        Skizzenfall{"HoeherAlsBreit", {{0, 0}, {1, 10}}, 480, {{240, 4560, 672, 240}}},
        Skizzenfall{"DreieckBleibtOffen",
                    {{-5, 2}, {5, 2}, {0, 7}},
                    580,
                    {{240, 4560, 5460, 4560}, {5460, 4560, 2850, 1950}}},
        // The extremes lie at point 1: the scan includes it.
        Skizzenfall{"ExtremeAmErstenPunkt",
                    {{10, 5}, {0, 0}, {5, 2}},
                    580,
                    {{5460, 1950, 240, 4560}, {240, 4560, 2850, 3516}}},
        // 5800 / 58 = 4800 / 48: both candidates give 100.
        Skizzenfall{"GleicheKandidaten", {{0, 0}, {58, 48}}, 100, {{240, 4560, 5460, 240}}},
        // A range of 0 leaves the scale to the other axis.
        Skizzenfall{"SenkrechteLinie",
                    {{3, 0}, {3, 10}, {3, 4}},
                    480,
                    {{240, 4560, 240, 240}, {240, 240, 240, 2832}}},
        Skizzenfall{"WaagerechteLinie", {{0, 7}, {20, 7}}, 290, {{240, 4560, 5460, 4560}}},
        // Nothing to scale: no segment, and the run goes on.
        Skizzenfall{"EinPunkt", {{4, 4}}, 0, {}},
        Skizzenfall{"AlleGleich", {{1, 2}, {1, 2}, {1, 2}}, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Skizzenmass, Extreme)
{
    Sammler sammler;
    const Skizzenmass m = skizzeZeichnen(kontur({{-5, 2}, {5, 2}, {0, 7}}), sammler);
    EXPECT_EQ(m.minx, -5);
    EXPECT_EQ(m.maxx, 5);
    EXPECT_EQ(m.miny, 2);
    EXPECT_EQ(m.maxy, 7);
}

TEST(Skizzenmass, LeereListeLiestNichts)
{
    Kontur leer;  // anzahl 0 and no elements at all
    Sammler sammler;
    EXPECT_EQ(skizzeZeichnen(leer, sammler).massstab, 0.0);
    EXPECT_TRUE(sammler.strecken.empty());
}

// Records the pixel lines handed on.
class Pixelsammler : public Pixelflaeche {
public:
    using Pixelflaeche::Pixelflaeche;
    std::vector<std::vector<int>> linien;

protected:
    void pixellinieZiehen(int x1, int y1, int x2, int y2) override
    {
        linien.push_back({x1, y1, x2, y2});
    }
};

TEST(Pixelflaeche, JedeAchseFuerSich)
{
    // 5800 x 4800 units on 389 x 317 pixels.
    Pixelsammler p(389, 317);
    p.linieZiehen(0, 0, 5800, 4800);
    p.linieZiehen(240, 4560, 5460, 240);
    p.linieZiehen(5799.9f, 4799.9f, 14.9f, 15.2f);
    using L = std::vector<std::vector<int>>;
    EXPECT_EQ(p.linien, (L{{0, 0, 389, 317}, {16, 301, 366, 15}, {388, 316, 0, 1}}));
}

TEST(Pixelflaeche, LaesstNurUeberfluessigeStreckenAus)
{
    Pixelsammler p(580, 480);           // ten units per pixel
    p.linieZiehen(100, 100, 101, 109);  // one pixel: the first line is still drawn
    p.linieZiehen(101, 109, 300, 100);  // (10,10) -> (30,10)
    p.linieZiehen(300, 100, 305, 105);  // stays in pixel (30,10)
    p.linieZiehen(305, 105, 100, 100);  // back to (10,10): the same pixels again
    p.linieZiehen(100, 100, 301, 101);  // and forth once more
    p.linieZiehen(301, 101, 300, 300);  // (30,10) -> (30,30)
    p.linieZiehen(300, 300, 100, 100);  // (30,30) -> (10,10)
    p.linieZiehen(100, 100, 300, 100);  // a line drawn before, but not the one just drawn
    using L = std::vector<std::vector<int>>;
    EXPECT_EQ(p.linien, (L{{10, 10, 10, 10},
                           {10, 10, 30, 10},
                           {30, 10, 30, 30},
                           {30, 30, 10, 10},
                           {10, 10, 30, 10}}));
}

TEST(Pixelflaeche, DichteKonturWirdZuWenigenLinien)
{
    // A million points on a circle: the picture of 389 x 317 pixels needs about as
    // many lines as the circle has pixels on its rim, not a million.
    const Index n = 1000000;
    Kontur k;
    k.anlegen(n);
    for (Index i = 1; i <= n; ++i) {
        const double t = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
        k.xWert[i] = 50 * std::cos(t);
        k.yWert[i] = 50 * std::sin(t);
    }
    Pixelsammler p(389, 317);
    skizzeZeichnen(k, p);
    EXPECT_GT(p.linien.size(), 500u);
    EXPECT_LT(p.linien.size(), 3000u);
}

}  // namespace
