#include "geometry/paarpruefung.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bogenkette {
namespace {

// A stand-in for atan2(y, x) that keeps its order: from -2 (just above -pi) over
// 0 (the direction (1, 0)) to 2 (pi). (x, y) is not the zero vector.
double pseudowinkel(double x, double y)
{
    const double t = 1.0 - x / (std::fabs(x) + std::fabs(y));
    return y < 0 ? -t : t;
}

// The interval of directions the band around one point leaves the element.
// `frei`: the point constrains nothing (it lies within the band of A or B,
// which every element passes through). lo > hi: the interval contains the
// direction pi (an arc near a full turn) and wraps around.
struct Schranke {
    double lo = 0.0, hi = 0.0;
    bool frei = true;
};

// The chord of a pair and the band, set up once for the points between.
class Paar {
public:
    Paar(double bx, double by, Toleranzband band)
        : bx_(bx), by_(by), kehr_(1.0 / (bx * bx + by * by)), links_(band.links),
          rechts_(band.rechts),
          kleinere2_(std::min(band.links, band.rechts) * std::min(band.links, band.rechts)),
          groessere2_(std::max(band.links, band.rechts) * std::max(band.links, band.rechts)),
          beidseitig_(band.links == band.rechts)
    {
    }

    // The interval of the point p (relative to A).
    Schranke schranke(double px, double py) const
    {
        const double pp = px * px + py * py;
        const double ex = px - bx_, ey = py - by_;
        const double ee = ex * ex + ey * ey;
        if (pp <= kleinere2_ || ee <= kleinere2_)
            return {};
        Schranke s;
        s.frei = false;
        if (beidseitig_) {
            beide(px, py, pp, links_, s);
            return s;
        }
        // Near an end only the narrower side is sure to hold: take it on both.
        if (pp <= groessere2_ || ee <= groessere2_) {
            beide(px, py, pp, std::min(links_, rechts_), s);
            return s;
        }
        s.lo = tangente(px, py, pp, links_, true, s.frei);
        if (!s.frei)
            s.hi = tangente(px, py, pp, rechts_, false, s.frei);
        return s;
    }

private:
    // The image of the disc of radius r about p, scaled by q = |p|^2 - r^2 > 0,
    // has its centre at p - q b / |b|^2 relative to the image of B and radius r.
    // Its tangents from the image of B, as pseudo-angles to the segment's ray b:
    // the lower with the disc on its left (the point left of the element).
    void beide(double px, double py, double pp, double r, Schranke& s) const
    {
        const double f = (pp - r * r) * kehr_;
        const double dx = px - f * bx_, dy = py - f * by_;
        const double dd = dx * dx + dy * dy - r * r;
        if (!(dd > 0)) {
            s.frei = true;  // B within the disc, up to rounding
            return;
        }
        const double w = std::sqrt(dd);
        const double lx = w * dx + r * dy, ly = w * dy - r * dx;
        const double hx = w * dx - r * dy, hy = w * dy + r * dx;
        s.lo = pseudowinkel(lx * bx_ + ly * by_, bx_ * ly - by_ * lx);
        s.hi = pseudowinkel(hx * bx_ + hy * by_, bx_ * hy - by_ * hx);
    }

    double tangente(double px, double py, double pp, double r, bool unten, bool& frei) const
    {
        const double f = (pp - r * r) * kehr_;
        const double dx = px - f * bx_, dy = py - f * by_;
        const double dd = dx * dx + dy * dy - r * r;
        if (!(dd > 0)) {
            frei = true;
            return 0.0;
        }
        const double w = std::sqrt(dd);
        const double ux = unten ? w * dx + r * dy : w * dx - r * dy;
        const double uy = unten ? w * dy - r * dx : w * dy + r * dx;
        return pseudowinkel(ux * bx_ + uy * by_, bx_ * uy - by_ * ux);
    }

    double bx_, by_, kehr_, links_, rechts_, kleinere2_, groessere2_;
    bool beidseitig_;
};

// The direction of pseudo-angle w as a vector (x, y) with |x| + |y| = 1.
void richtung(double w, double& x, double& y)
{
    x = 1.0 - std::fabs(w);
    y = w < 0 ? -(1.0 - std::fabs(x)) : 1.0 - std::fabs(x);
}

// A full-turn stand-in for the angle from a to v in the sense `sinn` (+1
// counter-clockwise): from 0 up to below 4, keeping the order.
double umlaufwinkel(double ax, double ay, double vx, double vy, double sinn)
{
    const double x = ax * vx + ay * vy;
    const double y = sinn * (ax * vy - ay * vx);
    const double t = x / (std::fabs(x) + std::fabs(y));
    return y >= 0 ? 1.0 - t : 3.0 + t;
}

// The angle from a to v in the sense `sinn`, from 0 up to below 2 pi.
double winkelVon(double ax, double ay, double vx, double vy, double sinn)
{
    double w = std::atan2(sinn * (ax * vy - ay * vx), ax * vx + ay * vy);
    if (w < 0)
        w += 2 * std::numbers::pi;
    return w;
}

// Distance of (x, y) from the segment from (ax, ay) to (bx, by), and whether the
// point lies left of it.
double streckenabstand(double ax, double ay, double bx, double by, double x, double y,
                       bool& linksDavon)
{
    const double ex = bx - ax, ey = by - ay;
    const double px = x - ax, py = y - ay;
    const double ll = ex * ex + ey * ey;
    linksDavon = ex * py - ey * px > 0;
    const double t = ll > 0 ? std::clamp((px * ex + py * ey) / ll, 0.0, 1.0) : 0.0;
    return std::hypot(px - t * ex, py - t * ey);
}

}  // namespace

Paarpruefung::Paarpruefung(const Bahnpunkte& punkte, Toleranzband band)
    : p_(punkte), band_(band), groessere_(std::max(band.links, band.rechts))
{
}

Paarpruefung::Intervall Paarpruefung::intervall(Index i, Index j, bool bisLeer) const
{
    const double* x = p_.x.data();
    const double* y = p_.y.data();
    const double ax = x[i], ay = y[i];
    const double bx = x[j] - ax, by = y[j] - ay;
    Intervall iv;
    iv.bb = bx * bx + by * by;
    const Paar paar(bx, by, band_);
    // A chord too short for the smallest radius leaves only the segment.
    const bool nurGerade = iv.bb < 4 * kleinsterStueckradius * kleinsterStueckradius;
    // Takes point k in; true where the intersection has become empty.
    const auto aufnehmen = [&](Index k) {
        const Schranke s = paar.schranke(x[k] - ax, y[k] - ay);
        if (s.frei)
            return false;
        if (s.lo > s.hi) {
            iv.gewickelt = true;
            iv.loW = std::max(iv.loW, s.lo);
            iv.hiW = std::min(iv.hiW, s.hi);
            return nurGerade;  // the segment lies outside a wrapping interval
        }
        if (s.lo > iv.lo) {
            iv.lo = s.lo;
            iv.zeugeLo = k;
        }
        if (s.hi < iv.hi) {
            iv.hi = s.hi;
            iv.zeugeHi = k;
        }
        return iv.lo > iv.hi || (nurGerade && (iv.lo > 0 || iv.hi < 0));
    };
    // Where no element exists, the points near B usually show it soonest (B
    // pins the arc), and a few points spread over the rest next: so those go
    // first, the rest after them. The intersection does not depend on the order.
    constexpr Index nahB = 32, abstand = 16;
    const Index rest = std::max(i + 1, j - nahB);
    const auto weiter = [&] { return !iv.leer || !bisLeer; };
    for (Index k = j - 1; k >= rest && weiter(); --k)
        iv.leer = aufnehmen(k) || iv.leer;
    for (Index k = rest - 1; k > i && weiter(); k -= abstand)
        iv.leer = aufnehmen(k) || iv.leer;
    for (Index block = rest - 1; block > i && weiter(); block -= abstand)
        for (Index k = block - 1; k > block - abstand && k > i && weiter(); --k)
            iv.leer = aufnehmen(k) || iv.leer;
    return iv;
}

Stueck Paarpruefung::pruefen(Index i, Index j) const
{
    Stueck stueck;
    if (p_.x[i] == p_.x[j] && p_.y[i] == p_.y[j])
        return stueck;  // back at the same place: no element under a full turn
    // The intersection of the intervals: [lo, hi] of those that do not wrap, and
    // the wrapping ones as everything outside (hiW, loW).
    const Intervall iv = intervall(i, j, true);
    if (iv.leer) {
        if (iv.lo > iv.hi) {
            stueck.zeugeA = iv.zeugeLo;
            stueck.zeugeB = iv.zeugeHi;
        }
        return stueck;
    }
    if (!iv.gewickelt && iv.lo <= 0 && 0 <= iv.hi) {
        stueck.art = Stueck::Art::gerade;
        return stueck;
    }
    double kandidat[2];
    const int kandidaten = flachste(iv, kandidat);
    for (int n = 0; n < kandidaten; ++n)
        if (zwischenpunkteImBand(i, j, kreis(i, j, kandidat[n]))) {
            stueck.art = Stueck::Art::bogen;
            stueck.winkel = kandidat[n];
            return stueck;
        }
    return stueck;
}

// The arc needs a chord long enough for the smallest radius; of each part of
// the intersection the flattest angle whose radius stays below the largest,
// that of the smaller turn first.
int Paarpruefung::flachste(const Intervall& iv, double kandidat[2]) const
{
    const double c = std::sqrt(iv.bb) / 2;
    const double sinus = c / groessterStueckradius;
    if (c < kleinsterStueckradius || sinus >= 1)
        return 0;
    int kandidaten = 0;
    for (const auto& [l, h] : teile(iv)) {
        if (l > h)
            continue;
        if (l > 0) {
            const double w = std::max(l, flachsterWinkel(c));
            if (w <= h && w <= 2 - flachsterWinkel(c))
                kandidat[kandidaten++] = w;
        } else if (h < 0) {
            const double w = std::min(h, -flachsterWinkel(c));
            if (w >= l && w >= -(2 - flachsterWinkel(c)))
                kandidat[kandidaten++] = w;
        }
    }
    if (kandidaten == 2 && std::fabs(kandidat[1]) < std::fabs(kandidat[0]))
        std::swap(kandidat[0], kandidat[1]);
    return kandidaten;
}

Paarpruefung::Teile Paarpruefung::teile(const Intervall& iv)
{
    if (!iv.gewickelt)
        return {{{iv.lo, iv.hi}, {1, 0}}};
    return {{{iv.lo, std::min(iv.hi, iv.hiW)}, {std::max(iv.lo, iv.loW), iv.hi}}};
}

double Paarpruefung::flachsterWinkel(double c)
{
    // The pseudo-angle of the tangent-chord angle whose radius is the largest.
    const double sinus = c / groessterStueckradius;
    const double cosinus = std::sqrt(1 - sinus * sinus);
    return 1 - cosinus / (cosinus + sinus);
}

double Paarpruefung::mittigerWinkel(Index i, Index j, double winkel) const
{
    const Intervall iv = intervall(i, j, false);
    const double c = std::sqrt(iv.bb) / 2;
    for (const auto& [l, h] : teile(iv)) {
        if (!(l <= winkel && winkel <= h))
            continue;
        // The other end of the part, within the largest turn a radius allows.
        const double grenze = 2 - flachsterWinkel(c);
        const double fern = winkel > 0 ? std::min(h, grenze) : std::max(l, -grenze);
        for (const double anteil : {0.5, 0.25, 0.125}) {
            const double w = winkel + anteil * (fern - winkel);
            if (zwischenpunkteImBand(i, j, kreis(i, j, w)))
                return w;
        }
    }
    return winkel;
}

bool Paarpruefung::widerlegt(Index i, Index j, Index a, Index b) const
{
    const double ax = p_.x[i], ay = p_.y[i];
    const double bx = p_.x[j] - ax, by = p_.y[j] - ay;
    const double bb = bx * bx + by * by;
    if (!(bb > 0) || a <= i || a >= j || b <= i || b >= j)
        return false;
    const Paar paar(bx, by, band_);
    const Schranke sa = paar.schranke(p_.x[a] - ax, p_.y[a] - ay);
    const Schranke sb = paar.schranke(p_.x[b] - ax, p_.y[b] - ay);
    if (sa.frei || sb.frei || sa.lo > sa.hi || sb.lo > sb.hi)
        return false;
    return sa.lo > sb.hi || sb.lo > sa.hi;
}

bool Paarpruefung::kreisUnmoeglich(Index i, Index a, Index b, Index c) const
{
    const Index punkte[] = {a, b, c};
    return kreisUnmoeglich(i, punkte);
}

bool Paarpruefung::kreisUnmoeglich(Index i, std::span<const Index> punkte) const
{
    // Inverted about point i, the circles through it are the straight lines and
    // the band about a point the disc of centre p / q and radius r / q (a point
    // within the band of i constrains nothing). A line meets all discs where for
    // its normal n the offsets n.c - r and n.c + r leave room; the directions
    // where that changes are those of the inner common tangents of two discs,
    // so those (and one more) are all to try. The band is taken a little wider,
    // so that only a clear case counts.
    constexpr std::size_t hoechstens = 8;
    const double r = groessere_ * (1 + 1e-9) + 1e-12;
    double cx[hoechstens], cy[hoechstens], cr[hoechstens];
    std::size_t n = 0;
    double groesse = 0;
    for (std::size_t k = 0; k < punkte.size() && n < hoechstens; ++k) {
        const double px = p_.x[punkte[k]] - p_.x[i], py = p_.y[punkte[k]] - p_.y[i];
        const double q = px * px + py * py - r * r;
        if (!(q > 0))
            continue;
        cx[n] = px / q;
        cy[n] = py / q;
        cr[n] = r / q;
        groesse = std::max(groesse, std::fabs(cx[n]) + std::fabs(cy[n]) + cr[n]);
        ++n;
    }
    if (n < 3)
        return false;  // a circle passes through any two
    const double toleranz = groesse * 1e-12;
    // For a normal of length `laenge` (offsets and radii scale with it).
    const auto traegtAlle = [&](double nx, double ny, double laenge) {
        double unten = -INFINITY, oben = INFINITY;
        for (std::size_t k = 0; k < n; ++k) {
            const double h = nx * cx[k] + ny * cy[k], r = cr[k] * laenge;
            unten = std::max(unten, h - r);
            oben = std::min(oben, h + r);
        }
        return unten <= oben + toleranz * laenge;
    };
    if (traegtAlle(1, 0, 1))
        return false;
    for (std::size_t u = 0; u < n; ++u)
        for (std::size_t v = u + 1; v < n; ++v) {
            const double wx = cx[u] - cx[v], wy = cy[u] - cy[v];
            const double ww = wx * wx + wy * wy;
            // n = (wert w + or - sqrt(ww - wert^2) w') / ww, taken times ww.
            for (const double wert : {cr[u] + cr[v], -(cr[u] + cr[v])}) {
                const double rest = ww - wert * wert;
                if (!(rest >= 0))
                    continue;
                const double w = std::sqrt(rest);
                for (const double sinn : {1.0, -1.0})
                    if (traegtAlle(wert * wx - sinn * w * wy, wert * wy + sinn * w * wx, ww))
                        return false;
            }
        }
    return true;
}

Stueckkreis Paarpruefung::kreis(Index i, Index j, double winkel) const
{
    const double ax = p_.x[i], ay = p_.y[i];
    const double bx = p_.x[j] - ax, by = p_.y[j] - ay;
    double tx, ty;
    richtung(winkel, tx, ty);
    // The centre lies on the bisector of the chord, at c / tan(angle) from its
    // middle on the side away from the bulge.
    const double f = tx / (2 * ty);
    Stueckkreis k;
    k.a = ax + bx / 2 + f * by;
    k.b = ay + by / 2 - f * bx;
    k.R = std::sqrt(bx * bx + by * by) / 2 * std::hypot(tx, ty) / std::fabs(ty);
    k.linksherum = winkel < 0;
    return k;
}

bool Paarpruefung::zwischenpunkteImBand(Index i, Index j, const Stueckkreis& k, double zugabe) const
{
    const double* x = p_.x.data();
    const double* y = p_.y.data();
    const double sinn = k.linksherum ? 1.0 : -1.0;
    const double ax = x[i] - k.a, ay = y[i] - k.b;
    const double links = band_.links + zugabe, rechts = band_.rechts + zugabe;
    const double bogen = umlaufwinkel(ax, ay, x[j] - k.a, y[j] - k.b, sinn);
    double w = 0.0;  // where point k lies along the arc
    for (Index n = i; n < j; ++n) {
        const double vx = x[n] - k.a, vy = y[n] - k.b;
        const double ux = x[n + 1] - k.a, uy = y[n + 1] - k.b;
        const double weiter = n + 1 == j ? bogen : umlaufwinkel(ax, ay, ux, uy, sinn);
        const bool regelmaessig =
            w <= bogen && weiter <= bogen && w <= weiter && sinn * (vx * uy - vy * ux) >= 0;
        w = weiter;
        if (!regelmaessig) {
            if (!kantePruefen(n, i, j, k, links, rechts))
                return false;
            continue;
        }
        // Both points lie in the arc's sector, in order: along the edge, the arc's
        // distance from it is largest where the radius stands perpendicular on it
        // (its ends are the points' own distances from the arc, within the band).
        const double ex = x[n + 1] - x[n], ey = y[n + 1] - y[n];
        const double wx = -vx, wy = -vy;  // centre relative to the edge's start
        const double ll = ex * ex + ey * ey;
        const double t = wx * ex + wy * ey;
        if (!(t > 0 && t < ll))
            continue;
        const double kreuz = ex * wy - ey * wx;  // > 0: centre left of the edge
        // The arc's point there lies on the far side of the edge from the centre.
        const double g = k.R - (kreuz > 0 ? links : rechts);
        if (g > 0 && g * g * ll > kreuz * kreuz)
            return false;
    }
    return true;
}

// The general case of one edge: its points not both in the arc's sector in
// order. The part of the arc between the nearest places of the two points is
// compared with the edge where its distance from it can be largest: at its ends,
// where the radius stands perpendicular on the edge, and opposite either point.
bool Paarpruefung::kantePruefen(Index n, Index i, Index j, const Stueckkreis& k, double links,
                                double rechts) const
{
    const double* x = p_.x.data();
    const double* y = p_.y.data();
    const double sinn = k.linksherum ? 1.0 : -1.0;
    const double ax = x[i] - k.a, ay = y[i] - k.b;
    const double bogen = winkelVon(ax, ay, x[j] - k.a, y[j] - k.b, sinn);
    // The nearest place of a point on the arc, as an angle from A.
    const auto fuss = [&](Index m) {
        const double w = winkelVon(ax, ay, x[m] - k.a, y[m] - k.b, sinn);
        if (w <= bogen)
            return w;
        const double zumAnfang = std::hypot(x[m] - x[i], y[m] - y[i]);
        const double zumEnde = std::hypot(x[m] - x[j], y[m] - y[j]);
        return zumAnfang <= zumEnde ? 0.0 : bogen;
    };
    const double f1 = fuss(n), f2 = fuss(n + 1);
    const double von = std::min(f1, f2), bis = std::max(f1, f2);
    const double ex = x[n + 1] - x[n], ey = y[n + 1] - y[n];
    double stellen[6] = {von, bis};
    int anzahl = 2;
    const double richtungen[4][2] = {
        {-ey, ex}, {ey, -ex}, {k.a - x[n], k.b - y[n]}, {k.a - x[n + 1], k.b - y[n + 1]}};
    for (const auto& r : richtungen) {
        if (r[0] == 0 && r[1] == 0)
            continue;
        const double w = winkelVon(ax, ay, r[0], r[1], sinn);
        if (w > von && w < bis)
            stellen[anzahl++] = w;
    }
    const double laenge = std::hypot(ax, ay);
    const double ux = ax / laenge, uy = ay / laenge;  // A's direction from the centre
    for (int s = 0; s < anzahl; ++s) {
        const double c = std::cos(stellen[s]), d = sinn * std::sin(stellen[s]);
        const double px = k.a + k.R * (c * ux - d * uy);
        const double py = k.b + k.R * (c * uy + d * ux);
        bool linksDavon = false;
        const double abstand = streckenabstand(x[n], y[n], x[n + 1], y[n + 1], px, py, linksDavon);
        // A place of the arc left of the polyline has the points right of it.
        if (abstand > (linksDavon ? rechts : links))
            return false;
    }
    return true;
}

}  // namespace bogenkette
