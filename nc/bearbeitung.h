// The machining options of an NC program that a machine runs as it stands: the
// tool and its spindle speed, the cutting depth below the top (Z 0) and the safe
// height above it, the plunge feed, and cutter radius compensation with the
// tool's radius. A program given any of them gets its whole frame (nc/rahmen.h);
// one given none holds the contour only, for pasting into a program of one's own.
//
// The converter takes each as an option of its name (--werkzeug 3), the window
// from its settings file under the same names; both read them here.
#pragma once

#include "geometry/korrektur.h"

#include <optional>
#include <string>
#include <string_view>

namespace bogenkette {

struct Bearbeitung {
    int werkzeug = 1;                  // tool number
    double drehzahl = 3000;            // spindle speed, 1/min
    double tiefe = 1;                  // cutting depth below the top, mm
    double sicher = 5;                 // safe height above the top, mm
    std::optional<double> zustellung;  // plunge feed, mm/min; a third of the feed when not given
    Korrektur korrektur = Korrektur::aus;
    std::optional<double> werkzeugradius;  // mm; needed with compensation

    // The plunge feed for the program's feed `vorschub`.
    double zustellungBei(double vorschub) const;
};

// The names of the options, in the order of the converter's usage text.
inline constexpr std::string_view bearbeitungsnamen[] = {
    "werkzeug", "drehzahl", "tiefe", "sicher", "zustellung", "korrektur", "werkzeugradius"};

// Sets the option `name` (one of bearbeitungsnamen) from its text (a number with a
// period as decimal separator; korrektur: links, rechts or aus). Gives what is
// wrong with the text ("ist keine Werkzeugnummer von 1 bis 32767"), or nothing.
std::optional<std::string> bearbeitungSetzen(Bearbeitung& bearbeitung, std::string_view name,
                                             const std::string& text);

// The text of option `name` as bearbeitungSetzen reads it back; nothing for
// zustellung and werkzeugradius when they are not set.
std::optional<std::string> bearbeitungText(const Bearbeitung& bearbeitung, std::string_view name);

// Whether compensation is asked for without the tool radius it needs.
bool radiusFehlt(const Bearbeitung& bearbeitung);

// The text of the side of compensation: "links", "rechts" or "aus".
const char* korrekturText(Korrektur korrektur);

// A number as a message shows it to the user: German decimal comma, as many
// decimals as it has (3, 2,5).
std::string deutscheZahl(double wert);

}  // namespace bogenkette
