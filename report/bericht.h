// The result report: a 17-line header stating the contour error, then per arc one
// 80-character row per point (x, y, radius error, radius angle) and a 5-line arc
// block with centre a, b and radius R. Windows-1252, CR LF after every line.
//
// Lines go to the output as they are built; the report is never held as a whole.
#pragma once

#include "geometry/geometrie.h"
#include "geometry/kette.h"
#include "input/kontur.h"
#include "report/zahlenformat.h"

#include <string>

namespace bogenkette {

class Ausgabe;
class Zahlenformat;

inline constexpr int zeilenbreite = 80;

class Bericht : public Kettenausgabe {
public:
    // `name` is the report's name for messages.
    Bericht(Ausgabe& ausgabe, const Zahlenformat& format, const Kontur& kontur, std::string name);

    void kopfSchreiben(double fehl);
    // Row of point p against the circle at index c. Throws Fehler when a text
    // would start left of column 1 or a value is not a finite number.
    void zeileSchreiben(Index p, Index c) override;
    void kreisblockSchreiben(Index c) override;
    // The same for a circle given by its values, which need not be in the
    // contour's circle arrays any more (the chain reuses their places).
    void zeileSchreiben(Index p, const Kreis& kreis);
    void kreisblockSchreiben(const Kreis& kreis);

    // The radius error of the last row written.
    double radienfehler() const { return radienfehler_; }

private:
    Kreis kreis(Index c) const;
    // Places the three-decimal text of wert so that it ends in column
    // `letzteSpalte` (1-based); throws when it would start left of column 1.
    void setzen(double wert, std::size_t letzteSpalte, Index p, const char* feld);
    void laengePruefen(std::size_t laenge, std::size_t letzteSpalte, Index p,
                       const char* feld) const;
    void wertzeile(const char* bezeichnung, double wert);

    Ausgabe& aus_;
    const Zahlenformat& format_;
    const Kontur& k_;
    std::string name_;
    double radienfehler_ = 0.0;
    // The row, behind room for a text that starts left of it (see setzen).
    char zeilenpuffer_[maxKurztext + zeilenbreite];
    char* druckzeile() { return zeilenpuffer_ + maxKurztext; }
};

}  // namespace bogenkette
