// The path the machine cuts (geometry/bahn.h) drawn into the sketch, in the
// picture area's units and on the scale of the points' sketch, so that a window
// can show it over the points in a colour of its own. Straight elements are one
// segment each; arcs are chords that stay within half a unit of the arc.
#pragma once

#include "geometry/bahn.h"
#include "sketch/skizze.h"

namespace bogenkette {

// The most chords an arc is drawn with.
inline constexpr int hoechstensSehnen = 2000;

// Draws one element of the path from `von` onto `flaeche` with the sketch's
// measure m. Draws nothing where m has no scale.
void bahnelementZeichnen(const Skizzenmass& m, Bahnpunkt von, const Bahnelement& element,
                         Zeichenflaeche& flaeche);

// Draws every element of a path as it is handed on.
class Bahnskizze : public Bahnempfaenger {
public:
    Bahnskizze(const Skizzenmass& mass, Zeichenflaeche& flaeche) : mass_(mass), flaeche_(flaeche) {}
    void bahnBeginnen(Bahnpunkt) override {}
    void elementAufnehmen(Bahnpunkt von, const Bahnelement& element) override
    {
        bahnelementZeichnen(mass_, von, element, flaeche_);
    }

private:
    Skizzenmass mass_;
    Zeichenflaeche& flaeche_;
};

}  // namespace bogenkette
