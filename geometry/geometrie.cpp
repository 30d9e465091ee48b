#include "geometry/geometrie.h"

#include <cmath>

namespace bogenkette {

double winkel(double zaehler, double nenner)
{
    // The quotient is undefined for a vertical vector; its limits from both sides
    // are 90 (upward) and 270 (downward). A point on the centre has no direction.
    if (nenner == 0.0) {
        if (zaehler > 0.0)
            return 90.0;
        if (zaehler < 0.0)
            return 270.0;
        return 0.0;
    }
    const double q = zaehler / nenner;
    const double w = std::atan(q) * gradProRadiant;
    if (zaehler >= 0.0 && nenner >= 0.0)
        return w;
    if (nenner < 0.0)
        return w + 180.0;
    return w + 360.0;
}

Kreis kreisDurch3Punkte(double x1, double x2, double x3, double y1, double y2, double y3)
{
    const double S1 = x1 * x1 + y1 * y1;
    const double S2 = x2 * x2 + y2 * y2;
    const double S3 = x3 * x3 + y3 * y3;

    const double A = x1 * y2 + x3 * y1 + x2 * y3 - x3 * y2 - x1 * y3 - x2 * y1;
    const double D = -(S1 * y2 + S3 * y1 + S2 * y3 - S3 * y2 - S1 * y3 - S2 * y1) / 2;
    const double E = (S1 * x2 + S3 * x1 + S2 * x3 - S3 * x2 - S1 * x3 - S2 * x1) / 2;
    const double F =
        -(S1 * x2 * y3 + S3 * x1 * y2 + S2 * x3 * y1 - S3 * x2 * y1 - S1 * x3 * y2 - S2 * x1 * y3);

    if (A == 0.0)
        return entarteterKreis;

    // Nearly collinear, closely spaced points far from the origin can make the
    // rounded radicand slightly negative; the true value is then close to 0.
    double radikand = D * D + E * E - A * F;
    if (radikand < 0.0)
        radikand = 0.0;
    return {-D / A, -E / A, std::fabs(std::sqrt(radikand) / A), false};
}

}  // namespace bogenkette
