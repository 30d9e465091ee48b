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

Elementlage::Elementlage(Bahnpunkt von, const Bahnelement& e)
    : gerade_(e.art == Bahnelement::Art::gerade), sinn_(gerade_ ? 0 : drehrichtung(e)),
      ueber_(!gerade_ && ueberHalbkreis(von, e))
{
    if (gerade_) {
        cx_ = mm(von.x);
        cy_ = mm(von.y);
        ex_ = mm(e.ende.x - von.x);
        ey_ = mm(e.ende.y - von.y);
        return;
    }
    cx_ = mm(e.mitte.x);
    cy_ = mm(e.mitte.y);
    sx_ = mm(von.x - e.mitte.x);
    sy_ = mm(von.y - e.mitte.y);
    ex_ = mm(e.ende.x - e.mitte.x);
    ey_ = mm(e.ende.y - e.mitte.y);
    r_ = bogenradius(von, e);
}

bool Elementlage::imBand(double x, double y, double links, double rechts) const
{
    const double px = x - cx_, py = y - cy_;
    const double enger = std::min(links, rechts);
    if (gerade_) {
        // From the segment; beyond its ends from the nearer end.
        const double laenge = ex_ * ex_ + ey_ * ey_;
        const double t = laenge > 0 ? (px * ex_ + py * ey_) / laenge : 0.0;
        const double tb = std::clamp(t, 0.0, 1.0);
        const double abstand = std::hypot(px - tb * ex_, py - tb * ey_);
        if (tb != t || laenge == 0)
            return abstand <= enger;
        return abstand <= (ex_ * py - ey_ * px > 0 ? links : rechts);
    }
    // From the circle where the point lies in the arc's sector, otherwise from the
    // nearer end. Inside the circle lies left of an arc counter-clockwise.
    if (imSektor(px, py)) {
        const double rho = std::sqrt(px * px + py * py);
        const bool innen = rho < r_;
        return std::fabs(rho - r_) <= (innen == (sinn_ > 0) ? links : rechts);
    }
    return std::min(std::hypot(px - sx_, py - sy_), std::hypot(px - ex_, py - ey_)) <= enger;
}

double Elementlage::sehnentiefe(double x1, double y1, double x2, double y2) const
{
    const double ax = x1 - cx_, ay = y1 - cy_;
    const double dx = x2 - x1, dy = y2 - y1;
    const double laenge = dx * dx + dy * dy;
    const double t = laenge > 0 ? std::clamp(-(ax * dx + ay * dy) / laenge, 0.0, 1.0) : 0.0;
    return r_ - std::hypot(ax + t * dx, ay + t * dy);
}

bool Elementlage::imSektor(double px, double py) const
{
    // Between start and end in the arc's sense; above half a turn: outside the
    // rest of the circle.
    if (!ueber_)
        return sinn_ * (sx_ * py - sy_ * px) >= 0 && sinn_ * (px * ey_ - py * ex_) >= 0;
    return !(sinn_ * (ex_ * py - ey_ * px) > 0 && sinn_ * (px * sy_ - py * sx_) > 0);
}

bool bogenOhneSchwung(Bahnpunkt von, const Bahnelement& bogen)
{
    if (bogenkreuz(von, bogen) < 0)
        return false;  // above half a turn
    const double sehne2 = static_cast<double>(quadrat(bogen.ende.x - von.x, bogen.ende.y - von.y));
    return pfeilhoehe(bogenradius(von, bogen) * bahnEinheitenProMm, sehne2) < 1.0;
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
    : kontur_(kontur), links_(band.links + 0.0001), rechts_(band.rechts + 0.0001),
      einseitig_(band.links != band.rechts), ziel_(ziel), lage_(punktAufBahn(1))
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
    if (bogenOhneSchwung(lage_, bogen))
        return sehneSetzen(bogen.ende, bis);
    const Elementlage lage(lage_, bogen);
    const auto& xWert = kontur_.xWert;
    const auto& yWert = kontur_.yWert;
    for (Index p = punkt_; p <= bis; ++p) {
        const double x = xWert[p], y = yWert[p];
        if (!lage.imBand(x, y, links_, rechts_))
            return false;
        // The polyline too: a chord dips towards the centre, on the arc's left
        // when it runs counter-clockwise.
        if (einseitig_ && p > punkt_
            && lage.sehnentiefe(xWert[p - 1], yWert[p - 1], x, y)
                   > (lage.linksherum() ? links_ : rechts_))
            return false;
    }
    setzen(bogen);
    return true;
}

bool Bahnbau::sehneSetzen(Bahnpunkt ende, Index bis)
{
    const Bahnelement sehne{Bahnelement::Art::gerade, ende, {}, bis};
    const Elementlage lage(lage_, sehne);
    for (Index p = punkt_; p <= bis; ++p)
        if (!lage.imBand(kontur_.xWert[p], kontur_.yWert[p], links_, rechts_))
            return false;
    setzen(sehne);
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
