// The path the machine cuts (geometry/bahnausgabe.h) as a DXF drawing for CAD and CAM
// systems, written with dxflib: every element of the path as a LINE or ARC entity
// on the layer BAHN, the same elements as the NC program with the same digits,
// and the points as one LWPOLYLINE on the layer PUNKTE, drawn first so that the
// drawing read back as a point file gives the points again. Units millimetres;
// AutoCAD 2000 format (AC1015), ASCII with CR LF.
//
// An ARC runs counter-clockwise from its start angle to its end angle around the
// centre the NC program writes, with the radius to the element's start: a
// clockwise element is drawn from its end. Its two ends lie on the program's end
// points within the difference of the two radii the program has (below 0.0002).
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
class Dxfschreiber;

class DxfZeichnung : public Bahnausgabe {
public:
    // Writes the drawing to the file `pfad`; creates the temporary file at once
    // and throws Fehler naming the drawing when it cannot.
    explicit DxfZeichnung(std::string pfad);
    // Writes the drawing into `ziel` (e.g. memory); `name` names it in messages.
    DxfZeichnung(Ausgabe& ziel, std::string name);
    ~DxfZeichnung() override;

    // Throws Fehler when a point lies beyond the coordinates a path can hold.
    void beginnen(const Kontur& kontur, double fehl, const Toleranzband& band) override;
    void bahnBeginnen(Bahnpunkt start) override;
    void elementAufnehmen(Bahnpunkt von, const Bahnelement& element) override;
    void abschliessen(const Bahnabschluss& abschluss) override;
    void freigeben() override;

private:
    // Header, tables and blocks for a drawing of `punkte` points.
    void kopfSchreiben(Index punkte);
    void punkteSchreiben(const Kontur& kontur);

    std::string name_;
    std::unique_ptr<Berichtsdatei> datei_;
    Ausgabe* ziel_ = nullptr;
    std::unique_ptr<Dxfschreiber> schreiber_;
};

}  // namespace bogenkette
