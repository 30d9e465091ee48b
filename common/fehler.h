// The one error type of the computation: a German message for the user that names
// the file concerned (and, for bad input, the line). Thrown inside a run and caught
// where the run is started, which decides how to show it.
#pragma once

#include <stdexcept>
#include <string>

namespace bogenkette {

class Fehler : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An output of a run that cannot be made from its points (an NC program whose
// tool cannot cut the contour): that output is left out, the others, the report
// above all, are written all the same.
class Ablehnung : public Fehler {
public:
    using Fehler::Fehler;
};

// German wording of a system error number (errno), e.g. "Datei nicht gefunden".
std::string systemfehlerText(int fehlernummer);

// A file name as it appears in messages: in double quotes.
std::string dateiname(const std::string& pfad);

}  // namespace bogenkette
