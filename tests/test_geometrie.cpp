#include "geometry/geometrie.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace bogenkette;

TEST(Winkel, QuadrantenUndAchsen)
{
    struct Fall {
        double zaehler, nenner, grad;
    };
    const Fall faelle[] = {
        {0, 1, 0},
        {1, 1, 45},
        {1, -1, 135},
        {0, -1, 180},
        {-1, -1, 225},
        {-1, 1, 315},
        {4, 3, 53.13010235415598},
        {3, 4, 36.86989764584402},
        // A vertical vector: the limits from both sides; no direction gives 0.
        {1, 0, 90},
        {-1, 0, 270},
        {0, 0, 0},
        {5, -0.0, 90},
    };
    for (const auto& f : faelle)
        EXPECT_NEAR(winkel(f.zaehler, f.nenner), f.grad, 1e-12) << f.zaehler << "," << f.nenner;
    EXPECT_EQ(winkel(0, -1), 180.0);
    EXPECT_EQ(winkel(1, 0), 90.0);
    EXPECT_EQ(winkel(-1, 0), 270.0);
}

TEST(Winkel, NaheDerPositivenXAchse)
{
    EXPECT_GT(winkel(1e-9, 1), 0.0);
    EXPECT_LT(winkel(-1e-9, 1), 360.0);
    EXPECT_GT(winkel(-1e-9, 1), 359.9);
    // A quotient too large for a double still gives a direction.
    EXPECT_NEAR(winkel(1e300, 1e-300), 90.0, 1e-12);
    EXPECT_NEAR(winkel(-1e300, -1e-300), 270.0, 1e-12);
}

TEST(KreisDurch3Punkte, BekannteKreise)
{
    struct Fall {
        double x1, y1, x2, y2, x3, y3, a, b, R;
    };
    const Fall faelle[] = {
        {1, 0, 0, 1, -1, 0, 0, 0, 1},
        {-1, 0, 0, 1, 1, 0, 0, 0, 1},  // reverse order, same circle
        {3, 2, 5, 4, 3, 6, 3, 4, 2},
        {10, 0, 11, 1, 12, 0, 11, 0, 1},  // clockwise: R still positive
        {0, 1, 1, 0, 2, 0, 1.5, 1.5, std::sqrt(2.5)},
        {0, 0, 50.1, 49.95, 100, 0, 50, -0.0499249249249191, 50.0000249249249},
    };
    for (const auto& f : faelle) {
        const Kreis k = kreisDurch3Punkte(f.x1, f.x2, f.x3, f.y1, f.y2, f.y3);
        EXPECT_NEAR(k.a, f.a, 1e-9);
        EXPECT_NEAR(k.b, f.b, 1e-9);
        EXPECT_NEAR(k.R, f.R, 1e-9);
    }
}

TEST(KreisDurch3Punkte, DeterminanteNullGibtKollinearWert)
{
    const double faelle[][6] = {
        {0, 0, 1, 1, 2, 2}, {0, 0, 0, 1, 0, 2},   {3, 4, 3, 4, 7, 1},
        {5, 5, 9, 2, 5, 5}, {0, 0, 10, 0, 10, 0},
    };
    for (const auto& f : faelle) {
        const Kreis k = kreisDurch3Punkte(f[0], f[2], f[4], f[1], f[3], f[5]);
        EXPECT_EQ(k.a, 1e9);
        EXPECT_EQ(k.b, 1e9);
        EXPECT_EQ(k.R, 1e9);
    }
}

TEST(KreisDurch3Punkte, RundungStattKollinearWert)
{
    // Collinear in exact arithmetic, but the determinant does not cancel.
    const Kreis k = kreisDurch3Punkte(1.1, 2.2, 3.3, 0.7, 1.4, 2.1);
    EXPECT_NE(k.R, 1e9);
    EXPECT_GT(k.R, 1e13);
    EXPECT_GT(std::fabs(k.a), 1e13);
}

TEST(KreisDurch3Punkte, NegativerRadikandGibtEndlichenRadius)
{
    // Nearly collinear, closely spaced points far from the origin: the rounded
    // radicand can drop below 0; the radius must still be a number.
    for (int i = 0; i < 2000; ++i) {
        const double x0 = 1e7 + i * 0.001;
        const Kreis k =
            kreisDurch3Punkte(x0, x0 + 1e-4, x0 + 2e-4, x0, x0 + 1e-4 + 1e-12, x0 + 2e-4);
        EXPECT_FALSE(std::isnan(k.R));
        EXPECT_GE(k.R, 0.0);
    }
}
