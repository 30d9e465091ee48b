// The text of an NC program in one dialect, composed block by block from the
// path and written out whole at the end, when the counts for its comment are
// known.
#pragma once

#include "geometry/bahnausgabe.h"
#include "nc/ncprogramm.h"
#include "nc/rahmen.h"

#include <memory>
#include <optional>
#include <string>

namespace bogenkette {

class Ausgabe;

// What the program's head states besides the path.
struct Programmangaben {
    std::string programmname;  // base name of the program file, without extension
    std::string punktdatei;    // base name of the point file
    double fehl = 0.0;
    Bahnabschluss bahn;  // the path's kind and counts
    Bahnrahmen rahmen;
    // Where the frame moves with compensation (nc/korrekturpruefung.h); without
    // it the tool plunges at point 1 and leaves at the last point.
    const Rahmenlage* lage = nullptr;
};

class Programmtext : public Bahnempfaenger {
public:
    // The text of `dialekt` with feed `vorschub` (mm/min), with the frame of
    // `rahmen` around the path or, without one, the path alone.
    static std::unique_ptr<Programmtext> erstellen(Dialekt dialekt, double vorschub,
                                                   std::optional<Rahmen> rahmen);

    // Writes the whole program: head, the blocks of the path, end.
    virtual void schreiben(Ausgabe& ziel, const Programmangaben& angaben) const = 0;
};

// The program name of BEGIN PGM: every character of `name` (UTF-8) other than an
// ASCII letter, digit or '_' becomes '_'; an empty name gives "_".
std::string programmnameBilden(const std::string& name);

}  // namespace bogenkette
