// Reading a point file ("SPL" file) into the point list.
//
// Accepted: one point per line as x,y with a period as decimal separator, blanks
// or tabs around each number, an optional sign and exponent ("12.5,-3.75",
// " +3. , .5e-2"); line ends CR LF, LF or a lone CR; a UTF-8 byte-order mark at the
// start; lines of only blanks or tabs, which are not points. Anything else rejects
// the whole file with a message naming the line, as does a value outside the range
// the caller gives (the report has no room for larger ones). At least three points
// are needed.
//
// The file is read twice in bounded memory: once to check and count its points,
// so that every array is allocated once at its final size, and once to fill them.
// Both passes read the same open file; one that cannot start again from its first
// byte (a pipe) is refused after the first pass.
#pragma once

#include "input/kontur.h"

#include <memory>
#include <string>
#include <string_view>

namespace bogenkette {

// Longest line accepted; no point needs more.
inline constexpr std::size_t maxZeilenlaenge = 4096;

// The values accepted for one coordinate: min <= v <= max. `zeichen` is the
// room its column of the report has, for the message that refuses a value.
struct Achsenbereich {
    double min, max;
    std::size_t zeichen;
};
struct Wertebereich {
    Achsenbereich x, y;
};

// Reads the point file at strDateiname. Throws Fehler.
Kontur punktdateiLesen(const std::string& strDateiname, const Wertebereich& bereich);

// The same for a file's content held in memory; `name` is used in messages.
Kontur punkteAusText(std::string_view inhalt, const std::string& name, const Wertebereich& bereich);

// Channel 1 of the window: the point file held open for reading from its choice to
// the end of the computation, so that a file that cannot be read is reported when
// it is chosen. punktdateiLesen reads the file again by name.
class Punktkanal {
public:
    // Opens the file; throws Fehler naming it when it cannot be opened or is no
    // regular file (a folder, a pipe, a device), without waiting on a pipe.
    explicit Punktkanal(const std::string& strDateiname);

private:
    std::shared_ptr<void> datei_;
};

// Parses one number of the point file format (sign, digits with optional point,
// optional exponent, nothing else). Gives false for anything else, including
// values beyond the range of double; a value too small for double becomes 0.
bool zahlLesen(std::string_view text, double& wert);

}  // namespace bogenkette
