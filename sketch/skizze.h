// The contour sketch: the points of the point list, joined in file order by
// straight segments, scaled into the picture area's own units.
//
// The picture area is 5800 units wide and 4800 high, origin at the top left, y
// growing downward. Both axes share one scale, the smaller of 5800 / x range and
// 4800 / y range, and every scaled offset is shrunk by 0.9: the figure sits in the
// frame from (240, 240) to (5460, 4560), its smallest x at 240 and its smallest y on
// the baseline 4560, larger y drawn higher up. An axis whose range is 0 leaves the
// scale to the other one; a single point, or points that are all equal, draw nothing.
//
// The computation has no drawing of its own: it hands each segment to a
// Zeichenflaeche. Pixelflaeche maps the units onto a surface of pixels and drops
// the segments that would add no pixel, so that a contour of a million points
// becomes a few thousand short lines.
#pragma once

#include "input/kontur.h"

#include <cstddef>
#include <cstdint>

namespace bogenkette {

inline constexpr double skizzenBreite = 5800.0;
inline constexpr double skizzenHoehe = 4800.0;

// Receives the segments of the sketch in the picture area's units, in single
// precision, each with both of its end points (not relative to an earlier one).
class Zeichenflaeche {
public:
    virtual ~Zeichenflaeche() = default;
    virtual void linieZiehen(float x1, float y1, float x2, float y2) = 0;
};

// Share of the width or height the figure may take, x of the smallest x, and y
// of the smallest y.
inline constexpr double skizzenAnteil = 0.9;
inline constexpr double skizzenRand = 240.0;
inline constexpr double skizzenGrundlinie = 4560.0;

// The extremes and the scale of one sketch.
struct Skizzenmass {
    double minx = 0.0, maxx = 0.0;
    double miny = 0.0, maxy = 0.0;
    // Drawing units per unit of the point file; 0 when nothing was drawn.
    double massstab = 0.0;
};

// Where a place of the point file lands in the picture area of sketch m.
inline float skizzenX(const Skizzenmass& m, double x)
{
    return static_cast<float>((x - m.minx) * m.massstab * skizzenAnteil + skizzenRand);
}
inline float skizzenY(const Skizzenmass& m, double y)
{
    return static_cast<float>(skizzenGrundlinie - (y - m.miny) * m.massstab * skizzenAnteil);
}

// Draws the open polyline from point 1 to point anzahl: anzahl - 1 segments in file
// order. An empty point list draws nothing and reads no element.
Skizzenmass skizzeZeichnen(const Kontur& kontur, Zeichenflaeche& flaeche);

// A surface of breite x hoehe pixels onto which the 5800 x 4800 units are stretched,
// each axis on its own. A unit point falls into the pixel that contains it. Segments
// are handed on in pixels, except those that would draw nothing new after the
// segment handed on before: one whose ends fall into the same pixel, and one that
// joins the same two pixels again (either way round). Consecutive segments of the
// sketch share their end points, so every pixel of a dropped segment is already
// drawn, given that a pixel line includes both of its end pixels.
class Pixelflaeche : public Zeichenflaeche {
public:
    Pixelflaeche(int breite, int hoehe);
    void linieZiehen(float x1, float y1, float x2, float y2) final;

protected:
    virtual void pixellinieZiehen(int x1, int y1, int x2, int y2) = 0;

private:
    int spalte(float x) const;
    int reihe(float y) const;

    double breite_, hoehe_;
    bool begonnen_ = false;
    int letzte_[4] = {0, 0, 0, 0};  // the last pixel line handed on
};

// Draws the sketch's pixel lines into an image of 32-bit pixels (rows of
// `zeilenlaenge` bytes, as a QImage of format RGB32 keeps them): solid, `staerke`
// pixels wide (1 or an odd number), both end pixels included, in `farbe`. Written
// straight into the rows, since a contour of scattered points can hand on a
// million long lines.
class Rasterflaeche : public Pixelflaeche {
public:
    Rasterflaeche(unsigned char* bits, int breite, int hoehe, std::ptrdiff_t zeilenlaenge,
                  std::uint32_t farbe, int staerke);

protected:
    void pixellinieZiehen(int x1, int y1, int x2, int y2) override;

private:
    void punktSetzen(int x, int y);

    unsigned char* const bits_;
    const int breite_, hoehe_;
    const std::ptrdiff_t zeilenlaenge_;
    const std::uint32_t farbe_;
    const int rand_;  // pixels on either side of the line's own
};

}  // namespace bogenkette
