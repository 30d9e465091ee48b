#include "geometry/toleranzpruefung.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Why every decision is that of the straightforward test.
//
// Notation: u = 2^-53, fl() the rounding to nearest double. For a point p and a
// centre (a, b), r is the exact distance (real numbers, from the doubles) and
// q = fl(fl(dx*dx) + fl(dy*dy)) with dx = fl(x - a), dy = fl(y - b) the squared
// distance exactly as the straightforward test computes it. Each rounding costs a
// factor within (1 - u, 1 + u), and an underflowing product at most 2^-1075 more, so
//   (1)  r^2 (1-u)^4 - 2^-1074  <=  q  <=  r^2 (1+u)^4 + 2^-1074.
// The straightforward test passes p iff t = fl(s - R), s = fl(sqrt(q)), has
// -fehl <= t <= fehl. Rounding is monotone and fehl and -fehl are doubles, so
// s - R <= fehl gives t <= fehl, and s - R >= -fehl gives t >= -fehl.
//
// The band. With t2 = fl(R + fehl) in [1e-100, 1e150] and
// qOben = fl(fl(t2 * t2) * (1 - 2^-40)):  qOben <= (R + fehl)^2 (1+u)^4 (1 - 2^-40)
// <= (R + fehl)^2 / (1+u)^2, so q <= qOben gives s <= sqrt(q)(1+u) <= R + fehl:
// the upper half of the test holds. If R > fehl (else s - R >= -R >= -fehl
// always), with t1 = fl(R - fehl) >= 1e-100 and qUnten = fl(fl(t1*t1) * (1 + 2^-40))
// >= (R - fehl)^2 / (1-u)^2, q >= qUnten gives s >= sqrt(q)(1-u) >= R - fehl. So a
// q within [qUnten, qOben] passes; any other q is decided by the test as written,
// on the same q. Outside these ranges of t1, t2 (and for NaN or infinite values)
// the band is empty and every point gets the test as written.
//
// The tree. aufrunden(v) = fl(fl(v (1 + 2^-48)) + 1e-140) and abrunden(v) =
// fl(fl(v (1 - 2^-48)) - 1e-140) move a computed v beyond any real z with
// |z - v| <= 8u|v| + 1e-150 (the factors give at least 28u|v|, the constant covers
// underflow): abrunden(v) <= z <= aufrunden(v). Each node keeps bounds [qMin, qMax]
// of the exact squared distances r^2 of its points from its centre (a, b):
//  - from points tested against that centre: abrunden of the smallest and
//    aufrunden of the largest q, by (1) (a negative lower bound becomes 0, an
//    infinite q gives the lower bound 0);
//  - moved to another centre c' = (a, b) + D: for a point p,
//      r'^2 = r^2 - 2 (p - (a, b)).D + |D|^2
//    exactly, and over the node's box the middle term lies between its smallest
//    and largest value at the box's corners. Computed in doubles (each product of
//    a difference and D within 3u, each square as in (1), each sum within u of
//    its value), the bounds are together off by less than 10u of the sum S of the
//    terms' magnitudes, so widening them by S 2^-44 + 1e-300 (2^-44 = 512u; S
//    itself is computed within a few u) makes them bounds of the exact values
//    again (a NaN bound becomes infinite);
//  - a node made from its children: the union of their bounds moved to its centre;
//  - for a leaf, also from its frame: with m a point of the leaf, any w, w' =
//    (-w_y, w_x), any doubles alpha and beta, and rho = D - alpha w - beta w',
//      (p - (a, b)).D = (m - (a, b)).D + alpha (p - m).w + beta (p - m).w' + (p - m).rho
//    exactly. The frame keeps the range of the computed (p - m).w and (p - m).w'
//    of the leaf's points, each within 3u (|p_x - m_x| |w_x| + |p_y - m_y| |w_y|)
//    of the exact value; m and p lie in the leaf's box, which bounds |p - m| per
//    axis by weitX, weitY, and so |(p - m).rho| <= weitX |rho_x| + weitY |rho_y|.
//    The computed rho is within 4u (|D_x| + |D_y| + (|alpha| + |beta|)(|w_x| + |w_y|))
//    of the exact one per axis, the rounding of D included. Again the bounds are
//    off by less than 10u of the sum of the magnitudes of their terms and of these
//    error terms, and are widened by that sum times 2^-44. Any alpha and beta give
//    true bounds (rho takes up the rest); D projected on w and w' makes rho small.
//    Both the box's and the frame's bounds hold, so the tighter of each does.
// QOben = abrunden(qOben) <= qOben (1 - 28u) - 0.9e-140, so by (1) a point with
// r^2 <= QOben has q <= qOben (qOben >= 1e-200 absorbs 2^-1074); likewise
// QUnten = aufrunden(qUnten) gives q >= qUnten for r^2 >= QUnten. A node whose
// bounds, moved to the trial's centre, lie within [QUnten, QOben] therefore holds
// only points whose q lies in the band: they pass, as the straightforward test
// would pass them. Every other point is tested on its own, as above.

namespace bogenkette {

namespace {

// Points per leaf of the tree.
constexpr Index blatt = 512;

constexpr double unendlich = std::numeric_limits<double>::infinity();

double aufrunden(double v) { return v * (1 + 0x1p-48) + 1e-140; }
double abrunden(double v) { return v * (1 - 0x1p-48) - 1e-140; }

// Lower bound of an exact squared distance from a q computed as in (1).
double qUntereGrenze(double q) { return q < unendlich ? std::max(0.0, abrunden(q)) : 0.0; }

}  // namespace

void Toleranzpruefung::baumLeeren()
{
    for (auto& ebene : ebenen_)
        ebene.clear();
    ebenen_.clear();
    rahmen_.clear();
    imBaum_ = 0;
}

void Toleranzpruefung::bandSetzen(double a, double b, double R)
{
    a_ = a;
    b_ = b;
    R_ = R;
    // An empty band: every point gets the test as written.
    qUnten_ = unendlich;
    qOben_ = -unendlich;
    QUnten_ = unendlich;
    QOben_ = -unendlich;
    bandGueltig_ = false;
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(R) || !(R >= 0))
        return;
    const double t2 = R + fehl_;
    if (!(t2 >= 1e-100 && t2 <= 1e150))
        return;
    double qUnten = 0, QUnten = -unendlich;
    if (R > fehl_) {
        const double t1 = R - fehl_;
        if (!(t1 >= 1e-100))
            return;
        qUnten = t1 * t1 * (1 + 0x1p-40);
        QUnten = aufrunden(qUnten);
    }
    qUnten_ = qUnten;
    QUnten_ = QUnten;
    qOben_ = t2 * t2 * (1 - 0x1p-40);
    QOben_ = abrunden(qOben_);
    bandGueltig_ = true;
}

// The test of one point: inside the band it surely passes, otherwise exactly as
// written. abstandQ is computed as the straightforward test computes it.
bool Toleranzpruefung::punktPasst(Index p, double& abstandQ) const
{
    const double dx = x(p) - a_;
    const double dy = y(p) - b_;
    abstandQ = dx * dx + dy * dy;
    if (abstandQ >= qUnten_ && abstandQ <= qOben_)
        return true;
    return std::fabs(std::sqrt(abstandQ) - R_) <= fehl_;
}

// Tests the points von .. bis - 1 and gives the smallest and largest of their q.
// When all q lie in the band no point needs more; the loop has no branch and, on
// x86-64, works on two points per instruction. A NaN q makes the sum NaN (the
// smallest and largest would pass it by), and then, like any q outside the band,
// every point is decided on its own.
bool Toleranzpruefung::punkteTesten(Index von, Index bis, double& qMin, double& qMax) const
{
    const double* xs = k_.xWert.data();
    const double* ys = k_.yWert.data();
    double summe = 0;
    Index p = von;
#if defined(__SSE2__)
    // Two points per instruction; the same IEEE operations as below, lane by lane.
    const __m128d a = _mm_set1_pd(a_), b = _mm_set1_pd(b_);
    __m128d min0 = _mm_set1_pd(unendlich), min1 = min0;
    __m128d max0 = _mm_setzero_pd(), max1 = max0, summe0 = max0, summe1 = max0;
    for (; p + 4 <= bis; p += 4) {
        const __m128d dx0 = _mm_sub_pd(_mm_loadu_pd(xs + p), a);
        const __m128d dy0 = _mm_sub_pd(_mm_loadu_pd(ys + p), b);
        const __m128d dx1 = _mm_sub_pd(_mm_loadu_pd(xs + p + 2), a);
        const __m128d dy1 = _mm_sub_pd(_mm_loadu_pd(ys + p + 2), b);
        const __m128d q0 = _mm_add_pd(_mm_mul_pd(dx0, dx0), _mm_mul_pd(dy0, dy0));
        const __m128d q1 = _mm_add_pd(_mm_mul_pd(dx1, dx1), _mm_mul_pd(dy1, dy1));
        min0 = _mm_min_pd(min0, q0);
        min1 = _mm_min_pd(min1, q1);
        max0 = _mm_max_pd(max0, q0);
        max1 = _mm_max_pd(max1, q1);
        summe0 = _mm_add_pd(summe0, q0);
        summe1 = _mm_add_pd(summe1, q1);
    }
    double lanes[2][2], summen[2];
    _mm_storeu_pd(lanes[0], _mm_min_pd(min0, min1));
    _mm_storeu_pd(lanes[1], _mm_max_pd(max0, max1));
    _mm_storeu_pd(summen, _mm_add_pd(summe0, summe1));
    qMin = std::min(lanes[0][0], lanes[0][1]);
    qMax = std::max(lanes[1][0], lanes[1][1]);
    summe = summen[0] + summen[1];
#else
    qMin = unendlich;
    qMax = 0;
#endif
    for (; p < bis; ++p) {
        const double dx = xs[p] - a_;
        const double dy = ys[p] - b_;
        const double q = dx * dx + dy * dy;
        qMin = q < qMin ? q : qMin;
        qMax = q > qMax ? q : qMax;
        summe += q;
    }
    if (qMin >= qUnten_ && qMax <= qOben_ && !std::isnan(summe))
        return true;
    double q = 0;
    for (p = von; p < bis; ++p)
        if (!punktPasst(p, q))
            return false;
    return true;
}

bool Toleranzpruefung::passt(Index e, double a, double b, double R)
{
    bandSetzen(a, b, R);
    if (!bandGueltig_) {
        if (imBaum_ > 0)
            baumLeeren();
        double qMin = 0, qMax = 0;
        return punkteTesten(anfang_, e + 1, qMin, qMax);
    }
    // The points not yet in the tree (the new end point, or all of them when the
    // arc has just grown long enough) are tested on their own.
    for (Index p = anfang_ + imBaum_; p <= e; p = anfang_ + imBaum_) {
        double q = 0;
        if (!punktPasst(p, q))
            return false;
        aufnehmen(imBaum_, q);
        ++imBaum_;
    }
    Grenzen g;
    return knotenPruefen(ebenen_.size() - 1, 0, g);
}

// Adds point anfang_ + i, tested against the trial's circle, to its leaf and to
// every node above it.
void Toleranzpruefung::aufnehmen(Index i, double abstandQ)
{
    const Index p = anfang_ + i;
    auto j = static_cast<std::size_t>(i / blatt);
    for (std::size_t ebene = 0;; ++ebene) {
        if (ebene == ebenen_.size())
            ebenen_.emplace_back();
        std::vector<Knoten>& knoten = ebenen_[ebene];
        if (j < knoten.size())
            einschliessen(knoten[j], p);
        else if (ebene == 0)
            knoten.push_back(Knoten{x(p), x(p), y(p), y(p), a_, b_, qUntereGrenze(abstandQ),
                                    aufrunden(abstandQ)});
        else
            knoten.push_back(vereinigung(ebene - 1, 2 * j));
        if (ebene == 0) {
            // The leaf's frame follows its chord: drawn anew whenever the leaf has
            // doubled, widened for the points in between.
            const Index punkte = i % blatt + 1;
            if ((punkte & (punkte - 1)) == 0)
                rahmenSetzen(j, punkte);
            else
                rahmenErweitern(rahmen_[j], p);
        }
        if (knoten.size() == 1)
            return;  // the root
        j /= 2;
    }
}

// Lets the points of node j pass when its bounds, moved to the trial's centre,
// lie in the sure band; else checks its children (or tests its points) and draws
// its bounds about the trial's centre from theirs. g: the bounds about the trial's
// centre afterwards.
bool Toleranzpruefung::knotenPruefen(std::size_t ebene, std::size_t j, Grenzen& g)
{
    g = umsetzen(ebenen_[ebene][j]);
    if (g.oben <= QOben_ && g.unten >= QUnten_)
        return true;
    if (ebene == 0) {
        // The leaf's frame may bound its points far closer than its box.
        const Grenzen h = rahmenUmsetzen(ebenen_[0][j], rahmen_[j]);
        g = {std::max(g.unten, h.unten), std::min(g.oben, h.oben)};
        if (g.oben <= QOben_ && g.unten >= QUnten_)
            return true;
        if (!blattPruefen(j))
            return false;
        g = {ebenen_[0][j].qMin, ebenen_[0][j].qMax};
        return true;
    }
    const std::vector<Knoten>& kinder = ebenen_[ebene - 1];
    if (!knotenPruefen(ebene - 1, 2 * j, g))
        return false;
    Knoten n = kinder[2 * j];
    if (2 * j + 1 < kinder.size()) {
        Grenzen h;
        if (!knotenPruefen(ebene - 1, 2 * j + 1, h))
            return false;
        const Knoten& r = kinder[2 * j + 1];
        boxErweitern(n, r);
        g.unten = std::min(g.unten, h.unten);
        g.oben = std::max(g.oben, h.oben);
    }
    n.a = a_;
    n.b = b_;
    n.qMin = g.unten;
    n.qMax = g.oben;
    ebenen_[ebene][j] = n;
    return true;
}

// Tests the points of leaf j one by one and draws its bounds tight about the
// trial's centre.
bool Toleranzpruefung::blattPruefen(std::size_t j)
{
    const Index von = anfang_ + static_cast<Index>(j) * blatt;
    const Index bis = std::min(von + blatt, anfang_ + imBaum_);
    double qMin = 0, qMax = 0;
    if (!punkteTesten(von, bis, qMin, qMax))
        return false;
    Knoten& n = ebenen_[0][j];
    n.a = a_;
    n.b = b_;
    n.qMin = qUntereGrenze(qMin);
    n.qMax = aufrunden(qMax);
    return true;
}

// Bounds of the exact squared distances of node n's points from the trial's centre.
Toleranzpruefung::Grenzen Toleranzpruefung::umsetzen(const Knoten& n) const
{
    if (n.a == a_ && n.b == b_)
        return {n.qMin, n.qMax};
    const double dx = a_ - n.a;
    const double dy = b_ - n.b;
    const double ex1 = (n.xMin - n.a) * dx, ex2 = (n.xMax - n.a) * dx;
    const double ey1 = (n.yMin - n.b) * dy, ey2 = (n.yMax - n.b) * dy;
    const double kMin = std::min(ex1, ex2) + std::min(ey1, ey2);
    const double kMax = std::max(ex1, ex2) + std::max(ey1, ey2);
    const double d2 = dx * dx + dy * dy;
    return verschoben(n, kMin, kMax, d2,
                      std::max(std::fabs(ex1), std::fabs(ex2))
                          + std::max(std::fabs(ey1), std::fabs(ey2)));
}

// The same bounds from the leaf's frame. With the computed D = (a_, b_) - (a, b)
// written as alpha w + beta w' + rho, the term (p - (a, b)).D is
// (m - (a, b)).D + alpha s1 + beta s2 + (p - m).rho, and |(p - m).rho| is at most
// |rho_x| |p_x - m_x| + |rho_y| |p_y - m_y|, which the box bounds.
Toleranzpruefung::Grenzen Toleranzpruefung::rahmenUmsetzen(const Knoten& n, const Rahmen& r) const
{
    if (!r.gueltig)
        return {-unendlich, unendlich};
    const double dx = a_ - n.a;
    const double dy = b_ - n.b;
    const double ww = r.wx * r.wx + r.wy * r.wy;
    const double alpha = (dx * r.wx + dy * r.wy) / ww;
    const double beta = (dy * r.wx - dx * r.wy) / ww;
    const double rhoX = dx - alpha * r.wx + beta * r.wy;
    const double rhoY = dy - alpha * r.wy - beta * r.wx;
    const double weitX = std::max(n.xMax - r.mx, r.mx - n.xMin);
    const double weitY = std::max(n.yMax - r.my, r.my - n.yMin);
    const double mx = (r.mx - n.a) * dx, my = (r.my - n.b) * dy;
    const double a1 = alpha * r.s1Min, a2 = alpha * r.s1Max;
    const double b1 = beta * r.s2Min, b2 = beta * r.s2Max;
    const double rest = weitX * std::fabs(rhoX) + weitY * std::fabs(rhoY);
    const double kMin = mx + my + std::min(a1, a2) + std::min(b1, b2) - rest;
    const double kMax = mx + my + std::max(a1, a2) + std::max(b1, b2) + rest;
    const double d2 = dx * dx + dy * dy;
    const double w1 = std::fabs(r.wx) + std::fabs(r.wy);
    const double fehlerterme =
        (weitX + weitY)
        * (std::fabs(dx) + std::fabs(dy) + (std::fabs(alpha) + std::fabs(beta)) * w1);
    return verschoben(n, kMin, kMax, d2,
                      std::fabs(mx) + std::fabs(my) + std::max(std::fabs(a1), std::fabs(a2))
                          + std::max(std::fabs(b1), std::fabs(b2)) + rest + fehlerterme);
}

// Bounds of the exact squared distances from the trial's centre: node n's bounds
// [qMin, qMax] about its own centre c, moved by D with [kMin, kMax] bounding
// (p - c).D over its points and d2 = |D|^2; widened beyond their rounding by the
// magnitudes of the terms (`terme`: those of kMin and kMax) times 2^-44.
Toleranzpruefung::Grenzen Toleranzpruefung::verschoben(const Knoten& n, double kMin, double kMax,
                                                       double d2, double terme)
{
    const double summe = std::fabs(n.qMin) + n.qMax + d2 + 2 * terme;
    const double spiel = summe * 0x1p-44 + 1e-300;
    Grenzen g{n.qMin - 2 * kMax + d2 - spiel, n.qMax - 2 * kMin + d2 + spiel};
    if (std::isnan(g.unten))
        g.unten = -unendlich;
    if (std::isnan(g.oben))
        g.oben = unendlich;
    return g;
}

// Draws the frame of leaf j through its first point along the chord to its
// last, the punkte points it holds so far.
void Toleranzpruefung::rahmenSetzen(std::size_t j, Index punkte)
{
    const Index von = anfang_ + static_cast<Index>(j) * blatt;
    const Index bis = von + punkte - 1;
    if (rahmen_.size() <= j)
        rahmen_.resize(j + 1);
    Rahmen& r = rahmen_[j];
    r.mx = x(von);
    r.my = y(von);
    r.wx = x(bis) - r.mx;
    r.wy = y(bis) - r.my;
    r.s1Min = r.s1Max = r.s2Min = r.s2Max = 0;  // m itself
    const double ww = r.wx * r.wx + r.wy * r.wy;
    r.gueltig = ww >= 1e-280 && ww <= 1e280;
    for (Index p = von + 1; p <= bis; ++p)
        rahmenErweitern(r, p);
}

void Toleranzpruefung::rahmenErweitern(Rahmen& r, Index p) const
{
    const double ux = x(p) - r.mx;
    const double uy = y(p) - r.my;
    const double s1 = ux * r.wx + uy * r.wy;
    const double s2 = uy * r.wx - ux * r.wy;
    r.s1Min = std::min(r.s1Min, s1);
    r.s1Max = std::max(r.s1Max, s1);
    r.s2Min = std::min(r.s2Min, s2);
    r.s2Max = std::max(r.s2Max, s2);
}

// The node about the trial's centre that holds nodes j and j + 1 (if any) of the
// level.
Toleranzpruefung::Knoten Toleranzpruefung::vereinigung(std::size_t ebene, std::size_t j) const
{
    const std::vector<Knoten>& knoten = ebenen_[ebene];
    const Knoten& l = knoten[j];
    const Grenzen g = umsetzen(l);
    Knoten n{l.xMin, l.xMax, l.yMin, l.yMax, a_, b_, g.unten, g.oben};
    if (j + 1 < knoten.size()) {
        const Knoten& r = knoten[j + 1];
        const Grenzen h = umsetzen(r);
        boxErweitern(n, r);
        n.qMin = std::min(n.qMin, h.unten);
        n.qMax = std::max(n.qMax, h.oben);
    }
    return n;
}

// Widens node n to hold point p, measured against the node's own centre.
void Toleranzpruefung::einschliessen(Knoten& n, Index p) const
{
    const double dx = x(p) - n.a;
    const double dy = y(p) - n.b;
    const double q = dx * dx + dy * dy;
    n.xMin = std::min(n.xMin, x(p));
    n.xMax = std::max(n.xMax, x(p));
    n.yMin = std::min(n.yMin, y(p));
    n.yMax = std::max(n.yMax, y(p));
    n.qMin = std::min(n.qMin, qUntereGrenze(q));
    n.qMax = std::max(n.qMax, aufrunden(q));
}

// Widens n's bounding box to hold r's.
void Toleranzpruefung::boxErweitern(Knoten& n, const Knoten& r)
{
    n.xMin = std::min(n.xMin, r.xMin);
    n.xMax = std::max(n.xMax, r.xMax);
    n.yMin = std::min(n.yMin, r.yMin);
    n.yMax = std::max(n.yMax, r.yMax);
}

}  // namespace bogenkette
