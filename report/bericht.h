// The result report: a 17-line header stating the contour error, then per arc one
// 80-character row per point (x, y, radius error, radius angle) and a 5-line arc
// block with centre a, b and radius R. Windows-1252, CR LF after every line.
//
// Lines go to the output as they are built; the report is never held as a whole.
#pragma once

#include "geometry/geometrie.h"
#include "geometry/kette.h"
#include "input/kontur.h"
#include "input/punktdatei.h"
#include "report/zahlenformat.h"

#include <string>

namespace bogenkette {

class Ausgabe;

// The columns of a row, counted from 1: each text ends in the last column of its
// field. A text longer than its field reaches into the field to its left; one that
// would start left of column 1 has no place.
inline constexpr std::size_t xSpalte = 14;
inline constexpr std::size_t ySpalte = 29;
inline constexpr std::size_t fehlerSpalte = 44;
inline constexpr std::size_t winkelSpalte = 64;
inline constexpr std::size_t zeilenbreite = 80;

// The x and y values whose three-decimal texts in `format` fit their columns:
// what the point file may hold.
Wertebereich wertebereich(const Zahlenformat& format);

class Bericht : public Bogenempfaenger {
public:
    // `name` is the report's name for messages.
    Bericht(Ausgabe& ausgabe, const Zahlenformat& format, const Kontur& kontur, std::string name);

    void kopfSchreiben(double fehl);
    // The arc's rows, each point measured against its circle, then its block.
    void bogenAufnehmen(const Bogen& bogen) override;
    // Row of point p against the circle. Throws Fehler when a text would start
    // left of column 1 or a value is not a finite number.
    void zeileSchreiben(Index p, const Kreis& kreis);
    void kreisblockSchreiben(const Kreis& kreis);

private:
    // Places the three-decimal text of wert so that it ends in column
    // `letzteSpalte`; throws when it would start left of column 1.
    void setzen(double wert, std::size_t letzteSpalte, Index p, const char* feld);
    void laengePruefen(std::size_t laenge, std::size_t letzteSpalte, Index p,
                       const char* feld) const;
    void wertzeile(const char* bezeichnung, double wert);

    Ausgabe& aus_;
    const Zahlenformat& format_;
    const Kontur& k_;
    std::string name_;
    // The row, behind room for a text that starts left of it (see setzen).
    char zeilenpuffer_[maxKurztext + zeilenbreite];
    char* druckzeile() { return zeilenpuffer_ + maxKurztext; }
};

}  // namespace bogenkette
