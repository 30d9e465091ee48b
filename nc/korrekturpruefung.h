// Whether a tool that the control keeps on one side of the path (cutter radius
// compensation) can cut that path, judged as the control computes the tool
// centre: the path offset by the tool radius R, around an outer corner on an arc
// about its point, at an inner corner to where the offsets of its two elements
// meet (below a turn of 0.05 radians, or less where a large tool would cut
// deeper than the band that way, a control runs straight through). The path is
// refused, with a message naming the point, where
//
// - an arc that turns towards the tool (an inner arc) has a radius below R: its
//   offset would turn inside out;
// - an element is shorter than what the inner corners at its two ends cut off its
//   offset (the control refuses such a move as a gouge). It counts as an inner
//   rounding of the largest radius for which it is not;
// - an inner corner is too sharp for the tool, which cannot reach into it, to come
//   within fehl of its point: it counts as a rounding of the largest radius that
//   reaches it within fehl, fehl cos(a/2) / (1 - cos(a/2)) for a turn by a.
//
// It also places the approach and the departure (nc/rahmen.h): quarter arcs of
// radius k R from the tool's side onto point 1 and off the last point, tangent to
// the first and last element (as a control's APPR LCT and DEP LCT are), with
// straight entry and exit moves of k R, for the first k of 2, 1.5, 1.25 and 1.1
// at which the tool keeps clear (R - 0.002) of every segment of the points'
// polyline; where none does, there is no room for it and the path is refused.
// A closed contour that turns inwards at point 1 has its tool at the start too
// close to its last element: so it is refused beyond a turn of some degrees.
// Nothing checks parts of the contour that come closer to each other than the
// tool's diameter elsewhere.
#pragma once

#include "geometry/bahn.h"
#include "geometry/korrektur.h"
#include "input/kontur.h"
#include "nc/rahmen.h"

#include <optional>
#include <string>

namespace bogenkette {

// An element of the path as the check sees it, in the points' length unit.
struct Pfadstueck {
    bool bogen = false;
    double ax = 0, ay = 0, bx = 0, by = 0;  // start and end
    double cx = 0, cy = 0, r = 0;           // centre and radius of an arc
    double sinn = 0;                        // of an arc: +1 counter-clockwise, -1 clockwise
    double winkel = 0;                      // sweep of an arc
    Index von = 0, bis = 0;                 // the points it runs from and to
};

class Korrekturpruefung : public Bahnempfaenger {
public:
    // Passes the path on to `ziel` as it comes. `seite` is links or rechts;
    // `punktdatei` names the point file in messages; kontur and ziel outlive it.
    Korrekturpruefung(const Kontur& kontur, double fehl, Korrektur seite, double werkzeugradius,
                      std::string punktdatei, Bahnempfaenger& ziel);

    void bahnBeginnen(Bahnpunkt start) override;
    void elementAufnehmen(Bahnpunkt von, const Bahnelement& element) override;
    // After the last element: judges it and places the approach and the departure.
    void abschliessen();

    // Why the tool cannot cut the path (naming the point file and the point), as
    // soon as that is known; the elements after it are not passed on.
    const std::optional<std::string>& ablehnung() const { return ablehnung_; }
    // Where the frame moves: valid after abschliessen without ablehnung.
    const Rahmenlage& lage() const { return lage_; }

private:
    void innenradiusAblehnen(Index punkt, double radius);
    // Judges the last element, whose end the corner to `naechstes` (if any) cuts.
    void letztesPruefen(const Pfadstueck* naechstes, double kuerzungEnde);
    void anUndAbfahrtSetzen();

    const Kontur& kontur_;
    const double fehl_;
    const double seite_;  // +1 tool left of the path, -1 right
    const double radius_;
    const std::string punktdatei_;
    Bahnempfaenger& ziel_;
    Bahnpunkt start_, ende_;
    // The first element, and the two that a corner still judges.
    std::optional<Pfadstueck> erstes_, vorletztes_, letztes_;
    double kuerzungAnfang_ = 0;  // what the corner before the last element cuts off it
    Rahmenlage lage_;
    std::optional<std::string> ablehnung_;
};

}  // namespace bogenkette
