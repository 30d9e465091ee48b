#include "nc/korrekturpruefung.h"

#include "common/fehler.h"
#include "nc/bearbeitung.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace bogenkette {

namespace {

struct V {
    double x = 0, y = 0;
};
V operator+(V a, V b) { return {a.x + b.x, a.y + b.y}; }
V operator-(V a, V b) { return {a.x - b.x, a.y - b.y}; }
V operator*(double k, V a) { return {k * a.x, k * a.y}; }
double skalar(V a, V b) { return a.x * b.x + a.y * b.y; }
double kreuz(V a, V b) { return a.x * b.y - a.y * b.x; }
double betrag(V a) { return std::hypot(a.x, a.y); }
V links(V a) { return {-a.y, a.x}; }
V einheit(V a) { return (1 / betrag(a)) * a; }
double richtungswinkel(V a) { return std::atan2(a.y, a.x); }

constexpr double pi = std::numbers::pi;
constexpr double inf = std::numeric_limits<double>::infinity();

// An angle moved into (-pi, pi].
double gewickelt(double w)
{
    w = std::remainder(w, 2 * pi);
    return w <= -pi ? w + 2 * pi : w;
}

// An angle moved into [0, 2 pi).
double positiv(double w)
{
    w = std::fmod(w, 2 * pi);
    return w < 0 ? w + 2 * pi : w;
}

V mmPunkt(Bahnpunkt p) { return {mm(p.x), mm(p.y)}; }
V anfang(const Pfadstueck& e) { return {e.ax, e.ay}; }
V ende(const Pfadstueck& e) { return {e.bx, e.by}; }
V mitte(const Pfadstueck& e) { return {e.cx, e.cy}; }

// The direction of travel of e at its point p.
V richtung(const Pfadstueck& e, V p)
{
    return e.bogen ? e.sinn * einheit(links(p - mitte(e))) : einheit(ende(e) - anfang(e));
}

// The radius of an arc's offset for a tool of radius R on side s: less where the
// arc turns towards the tool.
double versatzradius(const Pfadstueck& e, double s, double R) { return e.r - s * e.sinn * R; }

// The length of e's offset.
double versatzlaenge(const Pfadstueck& e, double s, double R)
{
    return e.bogen ? versatzradius(e, s, R) * e.winkel : betrag(ende(e) - anfang(e));
}

// What the offsets of a and b do at their common point: at an inner corner (the
// path turning towards the tool) they meet before their ends, and the control
// cuts off what lies beyond.
struct Ecke {
    double drehung = 0;  // the path's turn there, counter-clockwise positive
    bool innen = false;
    bool aufgeloest = true;               // whether the offsets meet near the corner
    double kuerzungA = 0, kuerzungB = 0;  // cut off the end of a's offset, the start of b's
};

// The offset of an element near the corner: a line through p along t, or a circle.
struct Versatz {
    bool kreis = false;
    V p, t;  // a point of it and (line) its direction
    V c;
    double r = 0;
};

Versatz versatzBei(const Pfadstueck& e, V punkt, V t, double s, double R)
{
    if (e.bogen)
        return {true, punkt, t, mitte(e), versatzradius(e, s, R)};
    return {false, punkt, t, {}, 0};
}

// The points where two offsets meet (at most two).
int schnittpunkte(const Versatz& a, const Versatz& b, V (&x)[2])
{
    if (!a.kreis && !b.kreis) {
        const double d = kreuz(a.t, b.t);
        if (d == 0)
            return 0;
        x[0] = a.p + (kreuz(b.p - a.p, b.t) / d) * a.t;
        return 1;
    }
    if (a.kreis && b.kreis) {
        const V ab = b.c - a.c;
        const double d = betrag(ab);
        if (d == 0 || d > a.r + b.r || d < std::fabs(a.r - b.r))
            return 0;
        const double l = (a.r * a.r - b.r * b.r + d * d) / (2 * d);
        const double h = std::sqrt(std::max(0.0, a.r * a.r - l * l));
        const V u = (1 / d) * ab, fuss = a.c + l * u;
        x[0] = fuss + h * links(u);
        x[1] = fuss - h * links(u);
        return 2;
    }
    const Versatz& gerade = a.kreis ? b : a;
    const Versatz& kreis = a.kreis ? a : b;
    const V f = gerade.p - kreis.c;
    const double q = skalar(f, gerade.t);
    const double diskriminante = q * q - (skalar(f, f) - kreis.r * kreis.r);
    if (diskriminante < 0)
        return 0;
    const double w = std::sqrt(diskriminante);
    x[0] = gerade.p + (-q + w) * gerade.t;
    x[1] = gerade.p + (-q - w) * gerade.t;
    return 2;
}

// How far x lies back from the offset's end `bis` (the incoming element) or on
// from its start `von` (the outgoing one), along the offset.
double entlang(const Pfadstueck& e, const Versatz& v, V von, V bis)
{
    if (!v.kreis)
        return skalar(bis - von, v.t);
    return v.r * gewickelt(e.sinn * (richtungswinkel(bis - v.c) - richtungswinkel(von - v.c)));
}

// Below this turn the offsets meet almost along each other; the cuts are then
// those of two lines, R tan(a/2), to far better than a ten-thousandth.
constexpr double kleineDrehung = 1e-3;

// The turn below which a control runs straight through an inner corner instead
// of cutting the offsets off (rs274: 0.05 radians), and below which the tool, doing
// so, cuts no deeper into it than the path's band on that side.
double kleinsteInnenecke(double R)
{
    return std::min(0.05, 2 * std::acos(std::max(-1.0, 1 - materialseitenband / R)));
}

Ecke eckeBerechnen(const Pfadstueck& a, const Pfadstueck& b, double s, double R)
{
    Ecke ecke;
    const V punkt = ende(a);
    const V ta = richtung(a, punkt), tb = richtung(b, punkt);
    ecke.drehung = std::atan2(kreuz(ta, tb), skalar(ta, tb));
    ecke.innen = s * ecke.drehung >= kleinsteInnenecke(R);
    if (!ecke.innen || R <= 0)
        return ecke;
    if (std::fabs(ecke.drehung) < kleineDrehung) {
        ecke.kuerzungA = ecke.kuerzungB = R * std::tan(std::fabs(ecke.drehung) / 2);
        return ecke;
    }
    const V ea = punkt + R * (s * links(ta)), sb = punkt + R * (s * links(tb));
    const Versatz va = versatzBei(a, ea, ta, s, R), vb = versatzBei(b, sb, tb, s, R);
    V x[2];
    const int n = (va.kreis && va.r <= 0) || (vb.kreis && vb.r <= 0) ? 0 : schnittpunkte(va, vb, x);
    if (n == 0) {
        ecke.aufgeloest = false;
        return ecke;
    }
    const V mittig = 0.5 * (ea + sb);
    const V treffer = n == 2 && betrag(x[1] - mittig) < betrag(x[0] - mittig) ? x[1] : x[0];
    ecke.kuerzungA = std::max(0.0, entlang(a, va, treffer, ea));
    ecke.kuerzungB = std::max(0.0, entlang(b, vb, sb, treffer));
    return ecke;
}

// Whether e's offset keeps a length once the corners to `vor` and `nach` (where
// there are such) have cut it, for a tool of radius R.
bool passt(const Pfadstueck* vor, const Pfadstueck& e, const Pfadstueck* nach, double s, double R)
{
    if (e.bogen && versatzradius(e, s, R) < 0)
        return false;
    const Ecke davor = vor ? eckeBerechnen(*vor, e, s, R) : Ecke{};
    const Ecke danach = nach ? eckeBerechnen(e, *nach, s, R) : Ecke{};
    return davor.aufgeloest && danach.aufgeloest
           && versatzlaenge(e, s, R) >= davor.kuerzungB + danach.kuerzungA;
}

// ---- The tool's approach and departure, against the points' polyline ----------

// An arc of the tool centre: about c with radius r from s to e in sense sinn.
struct Bogenbahn {
    V c;
    double r = 0;
    V s, e;
    double sinn = 1;
};

double punktStrecke(V p, V a, V b)
{
    const V d = b - a;
    const double l = skalar(d, d);
    const double t = l > 0 ? std::clamp(skalar(p - a, d) / l, 0.0, 1.0) : 0.0;
    return betrag(p - a - t * d);
}

double streckeStrecke(V a, V b, V c, V d)
{
    const double d1 = kreuz(b - a, c - a), d2 = kreuz(b - a, d - a);
    const double d3 = kreuz(d - c, a - c), d4 = kreuz(d - c, b - c);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return 0;
    return std::min({punktStrecke(a, c, d), punktStrecke(b, c, d), punktStrecke(c, a, b),
                     punktStrecke(d, a, b)});
}

bool imSektor(const Bogenbahn& b, V p)
{
    const double bis = positiv(b.sinn * (richtungswinkel(b.e - b.c) - richtungswinkel(b.s - b.c)));
    return positiv(b.sinn * (richtungswinkel(p - b.c) - richtungswinkel(b.s - b.c))) <= bis;
}

double punktBogen(V p, const Bogenbahn& b)
{
    if (imSektor(b, p))
        return std::fabs(betrag(p - b.c) - b.r);
    return std::min(betrag(p - b.s), betrag(p - b.e));
}

// The least distance between an arc and a segment: at an end of either, at the
// foot of the centre on the segment, or 0 where they cross.
double bogenStrecke(const Bogenbahn& b, V a, V d)
{
    double kleinster = std::min(
        {punktBogen(a, b), punktBogen(d, b), punktStrecke(b.s, a, d), punktStrecke(b.e, a, d)});
    const V u = d - a;
    const double l = skalar(u, u);
    if (l == 0)
        return kleinster;
    const double t = skalar(b.c - a, u) / l;
    const V fuss = a + t * u;
    if (t > 0 && t < 1 && imSektor(b, fuss))
        kleinster = std::min(kleinster, std::fabs(betrag(fuss - b.c) - b.r));
    const double h2 = b.r * b.r - skalar(fuss - b.c, fuss - b.c);
    if (h2 >= 0) {
        const double w = std::sqrt(h2 / l);
        for (const double tt : {t - w, t + w})
            if (tt >= 0 && tt <= 1 && imSektor(b, a + tt * u))
                return 0;
    }
    return kleinster;
}

// The tool centre of an approach or a departure: a straight move and an arc.
struct Fuehrung {
    V von, bis;  // the straight move
    Bogenbahn bogen;
};

// How far the tool keeps from the polyline may fall short of its radius by this
// (the path's own band on the material side, and rounding).
constexpr double beruehrungsspiel = 2 * materialseitenband;

// The first point of a polyline segment that comes closer to the tool centre of
// f than R - beruehrungsspiel; 0 when none does.
Index beruehrung(const Kontur& k, const Fuehrung& f, double R)
{
    const double grenze = R - beruehrungsspiel;
    const double minx = std::min({f.von.x, f.bis.x, f.bogen.c.x - f.bogen.r}) - R;
    const double maxx = std::max({f.von.x, f.bis.x, f.bogen.c.x + f.bogen.r}) + R;
    const double miny = std::min({f.von.y, f.bis.y, f.bogen.c.y - f.bogen.r}) - R;
    const double maxy = std::max({f.von.y, f.bis.y, f.bogen.c.y + f.bogen.r}) + R;
    for (Index i = 1; i < k.anzahl; ++i) {
        const V a{k.xWert[i], k.yWert[i]}, b{k.xWert[i + 1], k.yWert[i + 1]};
        if (std::max(a.x, b.x) < minx || std::min(a.x, b.x) > maxx || std::max(a.y, b.y) < miny
            || std::min(a.y, b.y) > maxy)
            continue;
        if (streckeStrecke(f.von, f.bis, a, b) < grenze || bogenStrecke(f.bogen, a, b) < grenze)
            return i;
    }
    return 0;
}

// The tool centre for a place q of a lead arc about m: on the radius through q,
// R nearer the centre.
V werkzeugmitte(V m, V q, double R) { return m + ((betrag(q - m) - R) / betrag(q - m)) * (q - m); }

// The lead arcs' radii and straight moves as multiples of R, the first tried first.
constexpr double fuehrungsmasse[] = {2, 1.5, 1.25, 1.1};

// An approach or a departure on the path's grid.
struct Fuehrungslage {
    Bahnpunkt hilfe;   // the lead arc's far end
    Bahnpunkt mitte;   // its centre
    Bahnpunkt aussen;  // the straight move's far end: the approach start, the departure end
    std::int64_t radius = 0;
    Index hindernis = -1;  // 0 when the tool keeps clear, else the point in its way
};

// The lead at the contour's point p, where it runs along t, with the tool on side
// s: a quarter arc of radius ra onto p from a quarter turn back (anfahren), or off
// p a quarter turn on, and the straight move of length ra from or to the tool's
// side; with the first point of the polyline in the tool's way, if any.
Fuehrungslage fuehrungSetzen(const Kontur& k, Bahnpunkt p, V t, double s, double ra, double R,
                             bool anfahren)
{
    const V pm = mmPunkt(p), n = s * links(t);
    const double vor = anfahren ? -1 : 1;
    Fuehrungslage lage;
    lage.hilfe = bahnpunkt(pm.x + ra * (n.x + vor * t.x), pm.y + ra * (n.y + vor * t.y));
    lage.radius = zehntausendstel(ra);
    const V c = pm + ra * n;
    const bool gesetzt = anfahren ? bogenmitteWaehlen(lage.hilfe, p, c.x, c.y, lage.mitte)
                                  : bogenmitteWaehlen(p, lage.hilfe, c.x, c.y, lage.mitte);
    if (!gesetzt)
        return lage;
    const V h = mmPunkt(lage.hilfe), m = mmPunkt(lage.mitte);
    lage.aussen = bahnpunkt(h.x + ra * n.x, h.y + ra * n.y);
    const V aussen = mmPunkt(lage.aussen);
    const V hw = werkzeugmitte(m, h, R), pw = werkzeugmitte(m, pm, R);
    const Fuehrung f = anfahren ? Fuehrung{aussen, hw, {m, betrag(hw - m), hw, pw, s}}
                                : Fuehrung{hw, aussen, {m, betrag(hw - m), pw, hw, s}};
    lage.hindernis = beruehrung(k, f, R);
    return lage;
}

// A number of the message: its thousandths, cut off (never rounded up to the
// tool's radius).
std::string radiusText(double r) { return deutscheZahl(std::floor(r * 1000) / 1000); }

}  // namespace

Korrekturpruefung::Korrekturpruefung(const Kontur& kontur, double fehl, Korrektur seite,
                                     double werkzeugradius, std::string punktdatei,
                                     Bahnempfaenger& ziel)
    : kontur_(kontur), fehl_(fehl), seite_(seite == Korrektur::links ? 1.0 : -1.0),
      radius_(werkzeugradius), punktdatei_(std::move(punktdatei)), ziel_(ziel)
{
}

void Korrekturpruefung::bahnBeginnen(Bahnpunkt start)
{
    start_ = ende_ = start;
    ziel_.bahnBeginnen(start);
}

void Korrekturpruefung::innenradiusAblehnen(Index punkt, double radius)
{
    ablehnung_ = "Punktdatei " + dateiname(punktdatei_) + ", Punkt " + std::to_string(punkt)
                 + ": der Innenradius " + radiusText(radius)
                 + " ist kleiner als der Werkzeugradius " + deutscheZahl(radius_) + ".";
}

void Korrekturpruefung::letztesPruefen(const Pfadstueck* naechstes, double kuerzungEnde)
{
    const Pfadstueck& e = *letztes_;
    if (versatzlaenge(e, seite_, radius_) >= kuerzungAnfang_ + kuerzungEnde)
        return;
    // The largest radius for which it would fit (at 0 the offsets are the elements).
    const Pfadstueck* vor = vorletztes_ ? &*vorletztes_ : nullptr;
    double passend = 0, zuGross = radius_;
    for (int i = 0; i < 50; ++i) {
        const double r = (passend + zuGross) / 2;
        (passt(vor, e, naechstes, seite_, r) ? passend : zuGross) = r;
    }
    innenradiusAblehnen(e.von, passend);
}

void Korrekturpruefung::elementAufnehmen(Bahnpunkt von, const Bahnelement& element)
{
    if (ablehnung_)
        return;
    Pfadstueck neu;
    neu.bogen = element.art != Bahnelement::Art::gerade;
    neu.ax = mm(von.x);
    neu.ay = mm(von.y);
    neu.bx = mm(element.ende.x);
    neu.by = mm(element.ende.y);
    if (neu.bogen) {
        neu.cx = mm(element.mitte.x);
        neu.cy = mm(element.mitte.y);
        neu.r = bogenradius(von, element);
        neu.sinn = element.art == Bahnelement::Art::links ? 1.0 : -1.0;
        neu.winkel = bogenwinkel(von, element);
    }
    neu.von = letztes_ ? letztes_->bis : 1;
    neu.bis = element.punkt;

    if (neu.bogen && seite_ * neu.sinn > 0 && neu.r < radius_)
        return innenradiusAblehnen(neu.von, neu.r);
    if (letztes_) {
        // An inner corner too sharp for the tool is named itself, before what
        // it cuts off the element leading to it.
        const Ecke ecke = eckeBerechnen(*letztes_, neu, seite_, radius_);
        const double c = std::cos(std::fabs(ecke.drehung) / 2);
        if (ecke.innen && radius_ * (1 / c - 1) > fehl_)
            return innenradiusAblehnen(letztes_->bis, fehl_ * c / (1 - c));
        letztesPruefen(&neu, ecke.aufgeloest ? ecke.kuerzungA : inf);
        if (ablehnung_)
            return;
        kuerzungAnfang_ = ecke.kuerzungB;
        vorletztes_ = letztes_;
    } else {
        erstes_ = neu;
    }
    letztes_ = neu;
    ende_ = element.ende;
    ziel_.elementAufnehmen(von, element);
}

void Korrekturpruefung::abschliessen()
{
    if (ablehnung_)
        return;
    if (!letztes_) {
        ablehnung_ = "Punktdatei " + dateiname(punktdatei_)
                     + ": alle Punkte liegen an einer Stelle; das Werkzeug hat keine Bahn, an die "
                       "es anfahren könnte.";
        return;
    }
    letztesPruefen(nullptr, 0);
    if (!ablehnung_)
        anUndAbfahrtSetzen();
}

void Korrekturpruefung::anUndAbfahrtSetzen()
{
    const double s = seite_, R = radius_;
    const V t1 = richtung(*erstes_, mmPunkt(start_)), te = richtung(*letztes_, mmPunkt(ende_));
    lage_.sinn = s > 0 ? Bahnelement::Art::links : Bahnelement::Art::rechts;
    Fuehrungslage an, ab;
    for (const double k : fuehrungsmasse) {
        if (an.hindernis != 0)
            an = fuehrungSetzen(kontur_, start_, t1, s, k * R, R, true);
        if (ab.hindernis != 0)
            ab = fuehrungSetzen(kontur_, ende_, te, s, k * R, R, false);
    }
    const auto keinPlatz = [&](Index punkt, const char* was, Index hindernis) {
        ablehnung_ = "Punktdatei " + dateiname(punktdatei_) + ", Punkt " + std::to_string(punkt)
                     + ": zum " + was + " mit dem Werkzeugradius " + deutscheZahl(R)
                     + " ist dort kein Platz; das Werkzeug schnitte bei Punkt "
                     + std::to_string(hindernis) + " in die Kontur.";
    };
    if (an.hindernis != 0)
        return keinPlatz(1, "Anfahren", an.hindernis);
    if (ab.hindernis != 0)
        return keinPlatz(letztes_->bis, "Abfahren", ab.hindernis);
    lage_.start = an.aussen;
    lage_.anHilfe = an.hilfe;
    lage_.anMitte = an.mitte;
    lage_.anRadius = an.radius;
    lage_.ziel = ab.aussen;
    lage_.abHilfe = ab.hilfe;
    lage_.abMitte = ab.mitte;
    lage_.abRadius = ab.radius;
}

}  // namespace bogenkette
