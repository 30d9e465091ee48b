// The text of an NC program in one dialect, composed block by block from the
// path and written out whole at the end, when the number of arcs for its
// comment is known.
#pragma once

#include "geometry/bahn.h"
#include "nc/ncprogramm.h"

#include <memory>
#include <string>

namespace bogenkette {

class Ausgabe;

// What the program's head states besides the path.
struct Programmangaben {
    std::string programmname;  // base name of the program file, without extension
    std::string punktdatei;    // base name of the point file
    double fehl = 0.0;
    Index boegen = 0;  // arcs of the chain
    Bahnrahmen rahmen;
};

class Programmtext : public Bahnempfaenger {
public:
    // The text of `dialekt` with feed `vorschub` (mm/min).
    static std::unique_ptr<Programmtext> erstellen(Dialekt dialekt, double vorschub);

    // Writes the whole program: head, the blocks of the path, end.
    virtual void schreiben(Ausgabe& ziel, const Programmangaben& angaben) const = 0;
};

// The program name of BEGIN PGM: every character of `name` (UTF-8) other than an
// ASCII letter, digit or '_' becomes '_'; an empty name gives "_".
std::string programmnameBilden(const std::string& name);

}  // namespace bogenkette
