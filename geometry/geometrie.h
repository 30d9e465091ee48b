// Plane geometry of the arc chain: the direction of a vector in degrees and the
// circle through three points.
//
// Both functions evaluate their formulas exactly in the order written, in double,
// from absolute coordinates: the report depends on the last bit of these results,
// so no algebraic "improvement" (a shift to a local origin, fused multiply-add,
// reordered sums) is allowed here.
#pragma once

namespace bogenkette {

// Degrees per radian, the double nearest to 180/pi.
inline constexpr double gradProRadiant = 57.29577951308232;

// Centre and radius given for three points whose determinant is exactly 0.
inline constexpr double kollinearWert = 1e9;

struct Kreis {
    double a = 0.0;  // centre x
    double b = 0.0;  // centre y
    double R = 0.0;  // radius, never negative
    // The degenerate circle (a = b = R = 1e9) of three points whose determinant is
    // exactly 0; no point lies near it.
    bool entartet = false;
};

// The degenerate circle.
inline constexpr Kreis entarteterKreis{kollinearWert, kollinearWert, kollinearWert, true};

// Direction of the vector (nenner, zaehler) in degrees, counter-clockwise from the
// positive x axis, from 0 up to 360. A vertical vector (nenner == 0) gives 90 upward,
// 270 downward and 0 for the zero vector.
double winkel(double zaehler, double nenner);

// Circle through (x1, y1), (x2, y2), (x3, y3) from the general circle equation.
// Gives a = b = R = 1e9 when the determinant comes out as exactly 0; a radicand
// that rounding drives below 0 counts as 0.
Kreis kreisDurch3Punkte(double x1, double x2, double x3, double y1, double y2, double y3);

}  // namespace bogenkette
