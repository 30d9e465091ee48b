// A picture of the path the machine cuts, as SVG: the path (geometry/bahn.h) in
// a strong red, its straight elements as lines and its arcs as SVG arcs, the
// points over it as a thin grey polyline, and below them a scale bar and the
// numbers of points and of the path's elements (of the chain's arcs, for the
// path along the chain). The drawing's unit is the points' length unit with y upward;
// the picture fills the view that shows it (viewBox, width and height 100%), so
// a browser opens it at any size. Points closer than a 20,000th of the drawing
// to the last one drawn are left out of the grey line.
//
// Written like the report: to a temporary file beside its target that takes its
// name only once the whole run has succeeded.
#pragma once

#include "geometry/bahnausgabe.h"

#include <memory>
#include <string>

namespace bogenkette {

class Ausgabe;
class Berichtsdatei;

class Bahnbild : public Bahnausgabe {
public:
    // Writes the picture to the file `pfad`; creates the temporary file at once
    // and throws Fehler naming the picture when it cannot.
    explicit Bahnbild(std::string pfad);
    // Writes the picture into `ziel` (e.g. memory); `name` names it in messages.
    Bahnbild(Ausgabe& ziel, std::string name);
    ~Bahnbild() override;

    // Throws Fehler when a point lies beyond the coordinates a path can hold.
    void beginnen(const Kontur& kontur, double fehl, const Toleranzband& band) override;
    void bahnBeginnen(Bahnpunkt start) override;
    void elementAufnehmen(Bahnpunkt von, const Bahnelement& element) override;
    void abschliessen(const Bahnabschluss& abschluss) override;
    void freigeben() override;

private:
    void text(std::string_view text);
    // A coordinate in ten-thousandths, or a length in the points' unit.
    void zahl(std::int64_t zehntausendstel);
    void laenge(double mm);
    void ort(Bahnpunkt p);  // "x y" with y upward
    void punkteZeichnen(const Kontur& kontur);
    void legendeZeichnen(const Bahnabschluss& abschluss);

    std::string name_;
    std::unique_ptr<Berichtsdatei> datei_;
    Ausgabe* ziel_ = nullptr;
    Bahnrahmen rahmen_;
    double groesse_ = 0.0;  // the larger side of the drawing
    const Kontur* kontur_ = nullptr;
};

}  // namespace bogenkette
