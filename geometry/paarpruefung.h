// Whether one element of a path can run from point i to point j of the path's
// places (i < j), and which: a straight segment, or an arc under a full turn,
// such that
//
//   (b) every point from i to j lies within the band of the element itself
//       (not of its full circle), and
//   (c) every point of the element lies within the band of the polyline through
//       the points i to j.
//
// The arcs from A = point i to B = point j form a one-parameter family: turned
// about A by inversion, every circle through A becomes a straight line and the
// arc from A to B a ray from the image of B, so an element is a direction of
// that ray. Its angle to the ray of the straight segment is the arc's
// tangent-chord angle (half its sweep). A point constrains the element to lie
// within its band, which for the ray means meeting the image of a disc: one
// interval of directions, bounded by the two tangents. (b) is therefore an
// intersection of intervals, computed without angle functions as pseudo-angles
// (a monotone stand-in for the angle, from -2 to 2).
//
// Within that interval the straight segment is taken where it lies in it (for a
// segment (c) follows from (b)); otherwise the flattest arc, nearest the
// segment, whose radius a controller takes (0.01 to 99,999.9999). (c) is then
// decided for that arc, piece by piece: the part of the arc between the nearest
// places of two consecutive points must stay within the band of the polyline's
// edge between them. Flattening an arc moves every one of its points towards
// the chord, so where the flattest arc bulges too far from an edge, the others
// do too; an arc that would stay near another part of the polyline than its own
// edge (where the points double back) is not found.
#pragma once

#include "geometry/bahnpunkte.h"
#include "geometry/toleranzband.h"

#include <array>
#include <span>
#include <utility>

namespace bogenkette {

// An element between two points, as the pair check finds it.
struct Stueck {
    enum class Art : unsigned char { keins, gerade, bogen };
    Art art = Art::keins;
    // Of an arc: its tangent-chord angle as a pseudo-angle, positive where it
    // bulges to the left of the chord A-B (it turns clockwise), negative where
    // it bulges to the right.
    double winkel = 0.0;
    // Where the points' constraints alone exclude every element: two points
    // whose intervals do not meet, else -1.
    Index zeugeA = -1, zeugeB = -1;

    bool moeglich() const { return art != Art::keins; }
};

// The circle of an arc element, in the points' length unit.
struct Stueckkreis {
    double a = 0.0, b = 0.0, R = 0.0;
    bool linksherum = false;  // counter-clockwise
};

// Radii of arcs the path may use: what controllers accept.
inline constexpr double kleinsterStueckradius = 0.01;
inline constexpr double groessterStueckradius = 99999.9999;

class Paarpruefung {
public:
    // `punkte` outlives the check; both sides of the band are positive.
    Paarpruefung(const Bahnpunkte& punkte, Toleranzband band);

    // The element from i to j (i < j): straight where a segment keeps the band.
    Stueck pruefen(Index i, Index j) const;

    // Of the arcs from i to j that keep the band as the arc of angle `winkel`
    // (the flattest, as pruefen gives it) does, one nearer the middle of their
    // interval (farther from the band's edge), where it keeps the polyline too.
    double mittigerWinkel(Index i, Index j, double winkel) const;

    // Whether the intervals of points a and b alone exclude every element from
    // i to j; then pruefen(i, j) finds none.
    bool widerlegt(Index i, Index j, Index a, Index b) const;

    // True where it can be shown that no circle or line through point i passes
    // within the band of points a, b and c: then no element from i ends at or
    // beyond the last of them. False where such a circle may exist.
    bool kreisUnmoeglich(Index i, Index a, Index b, Index c) const;
    // The same for up to eight points.
    bool kreisUnmoeglich(Index i, std::span<const Index> punkte) const;

    // The circle of the arc from i to j with tangent-chord angle `winkel`.
    Stueckkreis kreis(Index i, Index j, double winkel) const;

    // Whether every point of that arc lies within the band of the polyline
    // through points i to j, edge by edge as described above; `zugabe` widens
    // the band (for an arc as written, with rounded centre).
    bool zwischenpunkteImBand(Index i, Index j, const Stueckkreis& k, double zugabe = 0.0) const;

private:
    // The intersection of the points' intervals for the pair (i, j).
    struct Intervall {
        double bb = 0;  // the chord squared
        double lo = -3, hi = 3, loW = -3, hiW = 3;
        Index zeugeLo = -1, zeugeHi = -1;
        bool gewickelt = false;
        bool leer = false;
    };
    // Stops at the first point that leaves no element where `bisLeer`.
    Intervall intervall(Index i, Index j, bool bisLeer) const;
    int flachste(const Intervall& iv, double kandidat[2]) const;
    // Its parts: one, or two where wrapping intervals cut it (an empty part has
    // its lower end above its upper).
    using Teile = std::array<std::pair<double, double>, 2>;
    static Teile teile(const Intervall& iv);
    static double flachsterWinkel(double c);
    bool kantePruefen(Index n, Index i, Index j, const Stueckkreis& k, double links,
                      double rechts) const;

    const Bahnpunkte& p_;
    Toleranzband band_;
    double groessere_;
};

}  // namespace bogenkette
