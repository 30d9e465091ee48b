// The path a machine cuts along the arc chain, in the four decimals an NC program
// writes. The NC programs, the picture of the path and the window's drawing all
// take it from here.
//
// The path starts at point 1 and takes the pieces of the chain in order, each
// from the point where the path stands to the piece's last point; so the last
// piece of a chain that closed with a circle through its last three points starts
// at point anzahl - 1, and the path never runs backwards. A piece becomes
//
// - one arc, where its circle is not the degenerate one, its radius lies from
//   0.01 to 99,999.9999 (controllers refuse others), and its points advance
//   around the centre in one sense: every step between consecutive points (points
//   at the same written place taken once) turns the same way, each by less than
//   half a turn, and all together by less than a full turn. The centre written is
//   the fitted one moved onto the perpendicular bisector of the written start and
//   end, on the nearest grid point of 0.0001 where the two radii differ least, so
//   that a controller finds both radii equal to the last digit;
// - one straight block to its end, where that arc's sagitta over its chord is
//   below 0.0001;
// - otherwise, and whenever a point of the piece lies farther than its side of
//   the band (toleranzband.h) + 0.0001 from what would be written for it
//   (rounding in the three-point circle far from the origin can leave the fitted
//   circle off its own end points), straight blocks through every point of the
//   piece. With a band narrower on one side (cutter radius compensation) an arc
//   must also keep the polyline between consecutive points of its piece within
//   the band: a chord dips towards the centre, on the narrow side into the
//   material, on the other by up to its sagitta, which across a corner of the
//   contour would leave the tool an inner corner it cannot follow.
//
// Every element ends on a point of the point list rounded to 0.0001, in list
// order; a move of length 0 after rounding gets no element. So every point lies
// within its side of the band + 0.0001 of the element that reaches it (fehl on
// both sides for an ordinary run).
//
// Coordinates are whole numbers of ten-thousandths, rounded from the exact binary
// value, halfway cases away from zero: the same on every machine.
#pragma once

#include "geometry/kette.h"
#include "geometry/toleranzband.h"
#include "input/kontur.h"

#include <cstddef>
#include <cstdint>

namespace bogenkette {

// The path's unit: 0.0001 in the length unit of the points.
inline constexpr double bahnEinheitenProMm = 10000.0;
// Radii a controller takes, in the points' length unit.
inline constexpr double kleinsterBahnradius = 0.01;
inline constexpr double groessterBahnradius = 99999.9999;
// The largest coordinate a path can hold: nine digits before the point.
inline constexpr std::int64_t groessteBahnkoordinate = 9'999'999'999'999;
inline constexpr double groessterBahnwert = 999999999.9999;

// A place on the path in ten-thousandths.
struct Bahnpunkt {
    std::int64_t x = 0, y = 0;
    friend bool operator==(const Bahnpunkt&, const Bahnpunkt&) = default;
};

// v in ten-thousandths, rounded from its exact binary value, halfway cases away
// from zero. Values beyond the path's range give a value beyond
// groessteBahnkoordinate (not a wrapped one).
std::int64_t zehntausendstel(double v);

inline Bahnpunkt bahnpunkt(double x, double y) { return {zehntausendstel(x), zehntausendstel(y)}; }

// A coordinate of the path in the points' length unit.
inline double mm(std::int64_t zehntausendstel)
{
    return static_cast<double>(zehntausendstel) / bahnEinheitenProMm;
}

// Writes the text of a path coordinate with four decimals and a period
// ("-12.3450", "0.0000"; with `plus` also "+12.3450", "+0.0000") from ziel, at most
// maxBahnzahltext bytes, and returns its end.
inline constexpr std::size_t maxBahnzahltext = 24;
char* bahnzahlSchreiben(std::int64_t zehntausendstel, char* ziel, bool plus = false);

// One block of the path: a straight move or an arc to `ende`.
struct Bahnelement {
    enum class Art : unsigned char {
        gerade,
        links,   // arc counter-clockwise (DR+, G3)
        rechts,  // arc clockwise (DR-, G2)
    };
    Art art = Art::gerade;
    Bahnpunkt ende;
    Bahnpunkt mitte;  // the centre of an arc
    Index punkt = 0;  // the point of the list the element ends on
};

// Radius of an arc element to its start `von`, in the points' length unit.
double bogenradius(Bahnpunkt von, const Bahnelement& bogen);
// Whether an arc element from `von` turns by more than half a turn.
bool ueberHalbkreis(Bahnpunkt von, const Bahnelement& bogen);
// Its sweep in radians, above 0 and below 2 pi.
double bogenwinkel(Bahnpunkt von, const Bahnelement& bogen);

// Where a point lies against one element of the path from `von`, in the points'
// length unit: from a segment its distance, beyond its ends that from the nearer
// end; from an arc its distance from the circle where it lies in the arc's
// sector, otherwise from the nearer end.
class Elementlage {
public:
    Elementlage(Bahnpunkt von, const Bahnelement& element);
    // Whether (x, y) lies within `links` of the element on its left and `rechts`
    // on its right (in the direction of travel); nearest an end, within the
    // smaller of the two.
    bool imBand(double x, double y, double links, double rechts) const;
    // Of an arc: how far the segment between (x1, y1) and (x2, y2) reaches into
    // its circle, towards the centre (0 or less where it stays outside).
    double sehnentiefe(double x1, double y1, double x2, double y2) const;
    bool linksherum() const { return sinn_ > 0; }

private:
    bool imSektor(double px, double py) const;

    bool gerade_;
    double sinn_;  // +1 counter-clockwise, -1 clockwise
    bool ueber_;   // above half a turn
    // A segment: its start (cx, cy) and the vector to its end (ex, ey). An arc: its
    // centre, and start and end relative to it.
    double cx_ = 0, cy_ = 0, sx_ = 0, sy_ = 0, ex_ = 0, ey_ = 0, r_ = 0;
};

// The centre of an arc from `von` to `ende` for the fitted centre (a, b) in the
// points' unit: moved along the chord onto its perpendicular bisector, on the
// grid point around it where the radii to start and end differ least (then the
// nearest). False when the radii would lie beyond a controller's.
bool bogenmitteWaehlen(Bahnpunkt von, Bahnpunkt ende, double a, double b, Bahnpunkt& mitte);

// Whether an arc of at most half a turn has a sagitta over its chord below one
// unit of the grid: a straight block then writes the same.
bool bogenOhneSchwung(Bahnpunkt von, const Bahnelement& bogen);

// The extent of the points on the path's grid.
struct Bahnrahmen {
    Bahnpunkt min, max;
    // The first point with a coordinate beyond the path's range, 0 when none.
    Index ausserhalb = 0;
};
Bahnrahmen bahnrahmen(const Kontur& kontur);

// Takes the path element by element, each with the place it starts from.
class Bahnempfaenger {
public:
    virtual ~Bahnempfaenger() = default;
    // Where the path starts: point 1. Called once, before any element.
    virtual void bahnBeginnen(Bahnpunkt start) = 0;
    virtual void elementAufnehmen(Bahnpunkt von, const Bahnelement& element) = 0;
};

// Turns the chain, piece by piece, into the elements of the path.
class Bahnbau : public Bogenempfaenger {
public:
    // The points of `kontur` (at least one) lie within the path's range
    // (bahnrahmen(kontur).ausserhalb == 0); kontur and ziel outlive the Bahnbau.
    // `band`: how far points may lie on each side of the path (both sides fehl
    // without compensation, Toleranzband::beidseitig). Hands the start to `ziel`.
    Bahnbau(const Kontur& kontur, const Toleranzband& band, Bahnempfaenger& ziel);
    void bogenAufnehmen(const Bogen& bogen) override;

private:
    // Each takes the piece from punkt_ to bis; the first two hand on nothing and
    // give false when the piece cannot be written their way.
    bool kreisbogenSetzen(const Kreis& kreis, Index bis);
    bool sehneSetzen(Bahnpunkt ende, Index bis);
    void geradenSetzen(Index bis);
    // +1 or -1 when the points advance around the circle's centre in one sense by
    // less than a full turn, else 0.
    int drehsinn(const Kreis& kreis, Index bis) const;
    void setzen(const Bahnelement& element);
    Bahnpunkt punktAufBahn(Index p) const;

    const Kontur& kontur_;
    const double links_, rechts_;  // the band's sides + 0.0001
    const bool einseitig_;
    Bahnempfaenger& ziel_;
    Bahnpunkt lage_;   // where the path stands: point punkt_ rounded
    Index punkt_ = 1;  // the last point reached
};

}  // namespace bogenkette
