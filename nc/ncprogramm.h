// NC programs of the path the machine cuts (geometry/bahnausgabe.h), in two
// dialects:
//
// - klartext, Heidenhain's conversational programming: BEGIN PGM, numbered blocks,
//   L for straight moves, CC and C with DR+ / DR- for arcs, END PGM; coordinates
//   with explicit sign; ISO 8859-1, CR LF.
// - din, DIN 66025 / ISO 6983: %, G0 / G1 / G2 / G3 with I and J relative to the
//   start of the arc, M30, %; plain ASCII, LF.
//
// Both write every coordinate with four decimals and a period, the feed on the
// first cutting block, and a comment naming the point file (base name), fehl and
// the number of the path's elements ("8 Elemente (kuerzeste Bahn)"; for the path
// along the chain the number of its arcs). Given machining options
// (nc/bearbeitung.h), a program gets the frame a machine needs around the path
// (nc/rahmen.h): tool, spindle, the moves in Z, and with cutter radius
// compensation tangential approach and departure; where the tool cannot cut the
// path (nc/korrekturpruefung.h) the program is refused. A program is written like
// the report: to a temporary file beside its target that takes its name only
// once the whole run has succeeded.
#pragma once

#include "geometry/bahnausgabe.h"
#include "nc/bearbeitung.h"

#include <memory>
#include <string>

namespace bogenkette {

class Ausgabe;
class Berichtsdatei;
class Korrekturpruefung;
class Programmtext;

enum class Dialekt { klartext, din };

// Feed in mm/min where none is chosen, and the feeds a program takes.
inline constexpr double standardVorschub = 500.0;
inline constexpr double kleinsterVorschub = 0.0001;
inline constexpr double groessterVorschub = 99999.9999;

// The extension of a program file of the dialect: "H" or "NC".
const char* ncEndung(Dialekt dialekt);

class NcProgramm : public Bahnausgabe {
public:
    // Writes the program to the file `pfad`, named after it (BEGIN PGM); creates
    // the temporary file at once and throws Fehler naming the program when it
    // cannot, or when `vorschub` lies outside kleinsterVorschub to
    // groessterVorschub. `punktdatei` is the point file's path or name.
    // `bearbeitung`: the frame's options; none for the path alone.
    NcProgramm(Dialekt dialekt, std::string pfad, const std::string& punktdatei,
               double vorschub = standardVorschub,
               std::optional<Bearbeitung> bearbeitung = std::nullopt);
    // Writes the program into `ziel` (e.g. memory); `programmname` stands for the
    // program file's base name, and names it in messages.
    NcProgramm(Dialekt dialekt, Ausgabe& ziel, std::string programmname,
               const std::string& punktdatei, double vorschub = standardVorschub,
               std::optional<Bearbeitung> bearbeitung = std::nullopt);
    ~NcProgramm() override;

    // Throws Fehler when a point lies beyond the coordinates a program can hold.
    // With compensation, `band` is the one it asks for (bahnband).
    void beginnen(const Kontur& kontur, double fehl, const Toleranzband& band) override;
    void bahnBeginnen(Bahnpunkt start) override;
    void elementAufnehmen(Bahnpunkt von, const Bahnelement& element) override;
    // Throws Ablehnung (naming the point file and the point) when the tool cannot
    // cut the path with compensation.
    void abschliessen(const Bahnabschluss& abschluss) override;
    void freigeben() override;

private:
    std::string name_;  // the program as messages name it
    std::string programmname_;
    std::string punktdatei_;  // its base name
    std::string punktdateiPfad_;
    std::optional<Bearbeitung> bearbeitung_;
    double fehl_ = 0.0;
    Bahnrahmen rahmen_;
    std::unique_ptr<Berichtsdatei> datei_;
    Ausgabe* ziel_ = nullptr;
    std::unique_ptr<Programmtext> text_;
    std::unique_ptr<Korrekturpruefung> pruefung_;
};

}  // namespace bogenkette
