// Reading the contour of a DXF drawing into the point list, with dxflib.
//
// A drawing may hold several contours; in drawing order each polyline
// (LWPOLYLINE, or POLYLINE other than a mesh) is one, and so is each chain of
// LINE entities, a line continuing the chain when it starts exactly where the
// line before ended. Entities inside block definitions are not part of the
// drawing and are left out. The points of a contour are its vertices in order
// (for a line chain the start of its first line and the end of every line); an
// arc segment of a polyline (a vertex with a bulge) is expanded into points on
// the arc, at least one per quarter turn and close enough that the straight line
// between two of them stays within fehl/4 of the arc. A closed polyline ends
// with its first vertex again.
//
// A drawing that holds no contour, that does not end with the DXF end marker
// (0 / EOF: cut off or damaged), a binary DXF, and values that are no numbers or
// do not fit the report's columns are refused with a message naming the file and
// the entity (its number among the contours and its handle).
#pragma once

#include "input/kontur.h"
#include "input/punktdatei.h"

#include <string>
#include <string_view>

namespace bogenkette {

// Whether the point file is read as a DXF drawing: its name ends in ".dxf", in
// any case.
bool istDxfName(const std::string& pfad);

// Most points the arcs of a contour may be expanded into.
inline constexpr Index groessteDxfPunktzahl = 20'000'000;

struct Dxfkontur {
    Kontur kontur;       // the points of the chosen contour
    Index konturen = 0;  // the contours of the drawing
};

// Reads contour `nummer` (from 1, in drawing order) of the DXF drawing at
// `pfad`. Throws Fehler.
Dxfkontur dxfLesen(const std::string& pfad, const Wertebereich& bereich, double fehl,
                   Index nummer = 1);

// The same for a drawing held in memory; `name` is used in messages.
Dxfkontur dxfAusText(std::string_view inhalt, const std::string& name, const Wertebereich& bereich,
                     double fehl, Index nummer = 1);

}  // namespace bogenkette
