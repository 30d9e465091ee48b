#include "geometry/bahn.h"

#include "common/dezimal.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace bogenkette {

namespace {

using Gross = __int128;  // exact products of coordinate differences

// A coordinate of the path that surely lies beyond its range.
constexpr std::int64_t jenseits = groessteBahnkoordinate * 10;

bool imBereich(Bahnpunkt p)
{
    return p.x >= -groessteBahnkoordinate && p.x <= groessteBahnkoordinate
           && p.y >= -groessteBahnkoordinate && p.y <= groessteBahnkoordinate;
}

// The squared radii a controller takes, in ten-thousandths squared.
constexpr Gross kleinstesRadiusquadrat = Gross{100} * 100;
constexpr Gross groesstesRadiusquadrat = Gross{999'999'999} * 999'999'999;

Gross quadrat(std::int64_t dx, std::int64_t dy) { return Gross{dx} * dx + Gross{dy} * dy; }

int drehrichtung(const Bahnelement& bogen) { return bogen.art == Bahnelement::Art::links ? 1 : -1; }

// The cross product of the arc's start and end seen from its centre, times its
// sense: positive below half a turn, negative above.
Gross bogenkreuz(Bahnpunkt von, const Bahnelement& bogen)
{
    const Gross sx = von.x - bogen.mitte.x, sy = von.y - bogen.mitte.y;
    const Gross ex = bogen.ende.x - bogen.mitte.x, ey = bogen.ende.y - bogen.mitte.y;
    return (sx * ey - sy * ex) * drehrichtung(bogen);
}

// An arc element as the check of its points sees it, in the points' length unit.
class Bogenlage {
public:
    Bogenlage(Bahnpunkt von, const Bahnelement& bogen)
        : cx_(mm(bogen.mitte.x)), cy_(mm(bogen.mitte.y)), sx_(mm(von.x - bogen.mitte.x)),
          sy_(mm(von.y - bogen.mitte.y)), ex_(mm(bogen.ende.x - bogen.mitte.x)),
          ey_(mm(bogen.ende.y - bogen.mitte.y)), r_(bogenradius(von, bogen)),
          sinn_(drehrichtung(bogen)), ueber_(ueberHalbkreis(von, bogen))
    {
    }

    // Distance of (x, y) from the arc: from its circle where the point lies in
    // the arc's sector, otherwise from the nearer end.
    double abstand(double x, double y) const
    {
        const double px = x - cx_, py = y - cy_;
        if (imSektor(px, py))
            return std::fabs(std::sqrt(px * px + py * py) - r_);
        return std::min(std::hypot(px - sx_, py - sy_), std::hypot(px - ex_, py - ey_));
    }

    // Whether (x, y) lies left of the arc in its direction of travel: inside the
    // circle for an arc counter-clockwise, outside it for one clockwise.
    bool links(double x, double y) const
    {
        const double px = x - cx_, py = y - cy_;
        return (px * px + py * py < r_ * r_) == (sinn_ > 0);
    }

    // How far the segment between (x1, y1) and (x2, y2) reaches into the circle
    // (towards the centre, the arc's left for counter-clockwise); 0 or less when
    // it stays outside.
    double sehnentiefe(double x1, double y1, double x2, double y2) const
    {
        const double ax = x1 - cx_, ay = y1 - cy_;
        const double dx = x2 - x1, dy = y2 - y1;
        const double laenge = dx * dx + dy * dy;
        const double t = laenge > 0 ? std::clamp(-(ax * dx + ay * dy) / laenge, 0.0, 1.0) : 0.0;
        return r_ - std::hypot(ax + t * dx, ay + t * dy);
    }

    bool linksherum() const { return sinn_ > 0; }

private:
    // Whether the direction (px, py) lies between start and end in the arc's
    // sense; above half a turn: whether it lies outside the rest of the circle.
    bool imSektor(double px, double py) const
    {
        if (!ueber_)
            return sinn_ * (sx_ * py - sy_ * px) >= 0 && sinn_ * (px * ey_ - py * ex_) >= 0;
        return !(sinn_ * (ex_ * py - ey_ * px) > 0 && sinn_ * (px * sy_ - py * sx_) > 0);
    }

    double cx_, cy_, sx_, sy_, ex_, ey_, r_;
    double sinn_;
    bool ueber_;
};

// Whether (x, y) lies left of the line from a to b.
bool linksVon(Bahnpunkt a, Bahnpunkt b, double x, double y)
{
    return mm(b.x - a.x) * (y - mm(a.y)) - mm(b.y - a.y) * (x - mm(a.x)) > 0;
}

// Distance of (x, y) from the segment a-b, in the points' length unit.
double streckenabstand(Bahnpunkt a, Bahnpunkt b, double x, double y)
{
    const double ax = mm(a.x), ay = mm(a.y);
    const double dx = mm(b.x - a.x), dy = mm(b.y - a.y);
    const double px = x - ax, py = y - ay;
    const double laenge = dx * dx + dy * dy;
    const double t = laenge > 0 ? std::clamp((px * dx + py * dy) / laenge, 0.0, 1.0) : 0.0;
    return std::hypot(px - t * dx, py - t * dy);
}

// The sagitta of an arc of at most half a turn with radius r over a chord whose
// square is sehne2, all in ten-thousandths; written so that nothing cancels.
double pfeilhoehe(double r, double sehne2)
{
    const double viertel = sehne2 / 4;
    return viertel / (r + std::sqrt(std::max(0.0, r * r - viertel)));
}

}  // namespace

std::int64_t zehntausendstel(double v)
{
    if (!(std::fabs(v) < 1e10))
        return v < 0 ? -jenseits : jenseits;
    std::uint64_t betrag = 0;
    dezimalRunden<4>(std::fabs(v), betrag);  // below 10^14: fits
    const auto wert = static_cast<std::int64_t>(betrag);
    return std::signbit(v) ? -wert : wert;
}

char* bahnzahlSchreiben(std::int64_t zehntausendstel, char* ziel, bool plus)
{
    std::uint64_t betrag = zehntausendstel < 0 ? 0 - static_cast<std::uint64_t>(zehntausendstel)
                                               : static_cast<std::uint64_t>(zehntausendstel);
    if (zehntausendstel < 0)
        *ziel++ = '-';
    else if (plus)
        *ziel++ = '+';
    char ziffern[20];
    int n = 0;
    do {
        ziffern[n++] = static_cast<char>('0' + betrag % 10);
        betrag /= 10;
    } while (betrag > 0 || n < 5);
    while (n > 4)
        *ziel++ = ziffern[--n];
    *ziel++ = '.';
    while (n > 0)
        *ziel++ = ziffern[--n];
    return ziel;
}

double bogenradius(Bahnpunkt von, const Bahnelement& bogen)
{
    return std::sqrt(static_cast<double>(quadrat(von.x - bogen.mitte.x, von.y - bogen.mitte.y)))
           / bahnEinheitenProMm;
}

bool ueberHalbkreis(Bahnpunkt von, const Bahnelement& bogen) { return bogenkreuz(von, bogen) < 0; }

double bogenwinkel(Bahnpunkt von, const Bahnelement& bogen)
{
    constexpr double voll = 2 * std::numbers::pi;
    const double anfang = std::atan2(mm(von.y - bogen.mitte.y), mm(von.x - bogen.mitte.x));
    const double ende =
        std::atan2(mm(bogen.ende.y - bogen.mitte.y), mm(bogen.ende.x - bogen.mitte.x));
    double winkel = (ende - anfang) * drehrichtung(bogen);
    while (winkel <= 0)
        winkel += voll;
    while (winkel >= voll)
        winkel -= voll;
    return winkel;
}

Bahnrahmen bahnrahmen(const Kontur& kontur)
{
    Bahnrahmen rahmen;
    if (kontur.anzahl < 1)
        return rahmen;
    const auto& xWert = kontur.xWert;
    const auto& yWert = kontur.yWert;
    double minx = xWert[1], maxx = xWert[1], miny = yWert[1], maxy = yWert[1];
    for (Index i = 2; i <= kontur.anzahl; ++i) {
        minx = std::min(minx, xWert[i]);
        maxx = std::max(maxx, xWert[i]);
        miny = std::min(miny, yWert[i]);
        maxy = std::max(maxy, yWert[i]);
    }
    // Rounding keeps the order, so the extremes round to the extremes.
    rahmen.min = bahnpunkt(minx, miny);
    rahmen.max = bahnpunkt(maxx, maxy);
    if (imBereich(rahmen.min) && imBereich(rahmen.max))
        return rahmen;
    for (Index i = 1; i <= kontur.anzahl && rahmen.ausserhalb == 0; ++i)
        if (!imBereich(bahnpunkt(xWert[i], yWert[i])))
            rahmen.ausserhalb = i;
    return rahmen;
}

Bahnbau::Bahnbau(const Kontur& kontur, const Toleranzband& band, Bahnempfaenger& ziel)
    : kontur_(kontur), grenze_(band.breitere() + 0.0001),
      eng_((band.links < band.rechts ? band.links : band.rechts) + 0.0001),
      einseitig_(band.links != band.rechts), engLinks_(band.links < band.rechts), ziel_(ziel),
      lage_(punktAufBahn(1))
{
    ziel_.bahnBeginnen(lage_);
}

Bahnpunkt Bahnbau::punktAufBahn(Index p) const
{
    return bahnpunkt(kontur_.xWert[p], kontur_.yWert[p]);
}

void Bahnbau::bogenAufnehmen(const Bogen& bogen)
{
    // A piece starts where the path stands: the last piece of a chain closed by a
    // circle through its last three points starts a point after its first.
    if (bogen.bis <= punkt_)
        return;
    if (!kreisbogenSetzen(bogen.kreis, bogen.bis))
        geradenSetzen(bogen.bis);
    punkt_ = bogen.bis;
}

int Bahnbau::drehsinn(const Kreis& kreis, Index bis) const
{
    const auto& xWert = kontur_.xWert;
    const auto& yWert = kontur_.yWert;
    const double dx = xWert[punkt_] - kreis.a, dy = yWert[punkt_] - kreis.b;
    double ux = dx, uy = dy;
    Bahnpunkt alt = lage_;
    int sinn = 0;
    for (Index p = punkt_ + 1; p <= bis; ++p) {
        const Bahnpunkt neu = punktAufBahn(p);
        if (neu == alt)
            continue;
        const double vx = xWert[p] - kreis.a, vy = yWert[p] - kreis.b;
        const double kreuz = ux * vy - uy * vx;
        const int schritt = kreuz > 0 ? 1 : (kreuz < 0 ? -1 : 0);
        if (schritt == 0 || (sinn != 0 && schritt != sinn))
            return 0;
        sinn = schritt;
        // Reaching or passing the start direction again makes a full turn.
        if (sinn * (ux * dy - uy * dx) > 0 && sinn * (dx * vy - dy * vx) >= 0)
            return 0;
        ux = vx;
        uy = vy;
        alt = neu;
    }
    return sinn;
}

bool bogenmitteWaehlen(Bahnpunkt von, Bahnpunkt ende, double a, double b, Bahnpunkt& mitte)
{
    // In ten-thousandths relative to the start: the chord w and the fitted centre c.
    const std::int64_t wx = ende.x - von.x, wy = ende.y - von.y;
    const double cx = a * bahnEinheitenProMm - static_cast<double>(von.x);
    const double cy = b * bahnEinheitenProMm - static_cast<double>(von.y);
    // The centre moved along the chord onto its perpendicular bisector.
    const auto dwx = static_cast<double>(wx), dwy = static_cast<double>(wy);
    const double t = ((cx - dwx / 2) * dwx + (cy - dwy / 2) * dwy) / (dwx * dwx + dwy * dwy);
    const double mx = cx - t * dwx, my = cy - t * dwy;
    if (!(std::fabs(mx) < 2e9 && std::fabs(my) < 2e9))
        return false;  // its radius would be far beyond any controller's
    // Of the four grid points around it, the one where the radii to start and end
    // differ least, then the nearest: |C|^2 - |C - w|^2 = 2 C.w - |w|^2.
    const auto fx = static_cast<std::int64_t>(std::floor(mx));
    const auto fy = static_cast<std::int64_t>(std::floor(my));
    Gross besterUnterschied = -1;
    double besterAbstand = 0;
    for (int i = 0; i < 4; ++i) {
        const std::int64_t gx = fx + (i & 1), gy = fy + (i >> 1);
        Gross unterschied = 2 * (Gross{gx} * wx + Gross{gy} * wy) - quadrat(wx, wy);
        if (unterschied < 0)
            unterschied = -unterschied;
        const double abstand =
            std::hypot(static_cast<double>(gx) - mx, static_cast<double>(gy) - my);
        if (besterUnterschied < 0 || unterschied < besterUnterschied
            || (unterschied == besterUnterschied && abstand < besterAbstand)) {
            besterUnterschied = unterschied;
            besterAbstand = abstand;
            mitte = {von.x + gx, von.y + gy};
        }
    }
    const Gross r1 = quadrat(von.x - mitte.x, von.y - mitte.y);
    const Gross r2 = quadrat(ende.x - mitte.x, ende.y - mitte.y);
    return std::min(r1, r2) >= kleinstesRadiusquadrat && std::max(r1, r2) <= groesstesRadiusquadrat;
}

bool Bahnbau::kreisbogenSetzen(const Kreis& kreis, Index bis)
{
    if (kreis.entartet || !(kreis.R >= kleinsterBahnradius && kreis.R <= groessterBahnradius))
        return false;
    const int sinn = drehsinn(kreis, bis);
    Bahnelement bogen{
        sinn > 0 ? Bahnelement::Art::links : Bahnelement::Art::rechts, punktAufBahn(bis), {}, bis};
    if (sinn == 0 || bogen.ende == lage_
        || !bogenmitteWaehlen(lage_, bogen.ende, kreis.a, kreis.b, bogen.mitte))
        return false;
    const Gross kreuz = bogenkreuz(lage_, bogen);
    if (kreuz == 0) {
        // Start and end in one direction from the centre: no sweep to write.
        const Gross skalar = Gross{lage_.x - bogen.mitte.x} * (bogen.ende.x - bogen.mitte.x)
                             + Gross{lage_.y - bogen.mitte.y} * (bogen.ende.y - bogen.mitte.y);
        if (skalar > 0)
            return false;
    }
    if (kreuz >= 0) {
        const double sehne2 =
            static_cast<double>(quadrat(bogen.ende.x - lage_.x, bogen.ende.y - lage_.y));
        if (pfeilhoehe(bogenradius(lage_, bogen) * bahnEinheitenProMm, sehne2) < 1.0)
            return sehneSetzen(bogen.ende, bis);
    }
    const Bogenlage lage(lage_, bogen);
    const auto& xWert = kontur_.xWert;
    const auto& yWert = kontur_.yWert;
    for (Index p = punkt_; p <= bis; ++p) {
        const double x = xWert[p], y = yWert[p];
        if (!imBand(lage.abstand(x, y), einseitig_ && lage.links(x, y)))
            return false;
        // The polyline too: a chord dips towards the centre, on the arc's left
        // when it runs counter-clockwise.
        if (einseitig_ && p > punkt_
            && !imBand(lage.sehnentiefe(xWert[p - 1], yWert[p - 1], x, y), lage.linksherum()))
            return false;
    }
    setzen(bogen);
    return true;
}

bool Bahnbau::sehneSetzen(Bahnpunkt ende, Index bis)
{
    for (Index p = punkt_; p <= bis; ++p) {
        const double x = kontur_.xWert[p], y = kontur_.yWert[p];
        if (!imBand(streckenabstand(lage_, ende, x, y), einseitig_ && linksVon(lage_, ende, x, y)))
            return false;
    }
    setzen({Bahnelement::Art::gerade, ende, {}, bis});
    return true;
}

void Bahnbau::geradenSetzen(Index bis)
{
    for (Index p = punkt_ + 1; p <= bis; ++p) {
        const Bahnpunkt ende = punktAufBahn(p);
        if (ende != lage_)
            setzen({Bahnelement::Art::gerade, ende, {}, p});
    }
}

void Bahnbau::setzen(const Bahnelement& element)
{
    ziel_.elementAufnehmen(lage_, element);
    lage_ = element.ende;
}

}  // namespace bogenkette
