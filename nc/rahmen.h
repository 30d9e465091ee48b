// The frame of a program that a machine runs as it stands: the tool call and the
// spindle, the moves in Z, the approach onto point 1, the departure from the
// last point and the end. The path's blocks stand between approach and
// departure; without any machining option a program has no frame.
//
// klartext, after BEGIN PGM, the comment and the blank form:
//   TOOL CALL T Z S..          L Z+sicher R0 FMAX M3
//   L X.. Y.. R0 FMAX          (the approach start)
//   L Z-tiefe R0 F..           (plunge feed)
//   APPR LCT X.. Y.. R.. RL|RR F..   (compensation: onto point 1)
//   ... the path ...
//   DEP LCT X.. Y.. R.. F..    (compensation: to the departure end)
//   L Z+sicher R0 FMAX M2      END PGM
// din, after %, the comment and G21 G17 G90:
//   T.. M6   S.. M3   G0 Z sicher   G0 X.. Y.. (the approach start)
//   G1 Z-tiefe F..             (plunge feed)
//   G1 G41|G42 D.. X.. Y.. F.. (compensation: the entry move)
//   G3|G2 X.. Y.. I.. J..      (compensation: the lead-in arc onto point 1)
//   ... the path ...
//   G3|G2 X.. Y.. I.. J..      (compensation: the lead-out arc)
//   G40 G1 X.. Y..             (compensation: the exit move)
//   G0 Z sicher   M5   M30   %
// With compensation the approach and the departure carry the feed and the path
// none; without it the tool plunges at point 1, leaves at the last point, and
// the path's first block carries the feed as in a program without frame.
#pragma once

#include "geometry/bahn.h"
#include "nc/bearbeitung.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bogenkette {

// Where the frame moves in the plane, on the path's grid.
struct Rahmenlage {
    Bahnpunkt start;  // where the tool plunges: the approach start
    Bahnpunkt ziel;   // where it leaves the depth: the departure end
    // With compensation: the tangential arcs onto point 1 and off the last point,
    // of radius anRadius and abRadius (ten-thousandths), both of sense `sinn`. The
    // entry move runs from start to anHilfe, the lead-in arc about anMitte onto
    // point 1; the lead-out arc about abMitte to abHilfe, the exit move on to ziel.
    Bahnpunkt anHilfe, anMitte, abHilfe, abMitte;
    std::int64_t anRadius = 0, abRadius = 0;
    Bahnelement::Art sinn = Bahnelement::Art::gerade;
};

// A feed or speed as a program writes it: whole values without decimals, others
// with up to four ("500", "166.6667").
std::string zahlwort(double wert);

// A coordinate word: " X+12.3450" (with `plus`) or " X12.3450".
std::string koordinatenwort(std::string_view buchstabe, std::int64_t zehntausendstel, bool plus);

class Rahmen {
public:
    // `vorschub`: the program's feed, mm/min.
    Rahmen(const Bearbeitung& bearbeitung, double vorschub);

    bool mitKorrektur() const { return bearbeitung_.korrektur != Korrektur::aus; }

    // The blocks before the path and after it, without block numbers and line ends.
    std::vector<std::string> klartextKopf(const Rahmenlage& lage, Bahnpunkt anfang) const;
    std::vector<std::string> klartextSchluss(const Rahmenlage& lage) const;
    std::vector<std::string> dinKopf(const Rahmenlage& lage, Bahnpunkt anfang) const;
    std::vector<std::string> dinSchluss(const Rahmenlage& lage, Bahnpunkt ende) const;

    // How many blocks klartextKopf gives (known before the path is made).
    std::size_t klartextKopfsaetze() const { return mitKorrektur() ? 5 : 4; }

private:
    Bearbeitung bearbeitung_;
    std::string vorschub_;    // " F500"
    std::string zustellung_;  // " F166.6667"
};

}  // namespace bogenkette
