// The converter's progress line: while a run takes longer than about a second,
// the terminal shows how many of the points have been fitted, in one line that
// overwrites itself. Only where the output is a terminal; a log file or pipe gets
// nothing.
#pragma once

#include "geometry/kette.h"

#include <chrono>
#include <string>

namespace bogenkette {

class Fortschritt : public Kettenausgabe {
public:
    // Writes to the file descriptor `ziel` (stderr), once the run has taken `ab`.
    Fortschritt(std::string punktdatei, int ziel, std::chrono::milliseconds ab);
    // Clears the line, also when the run has failed.
    ~Fortschritt() override;

    void beginnen(const Kontur& kontur, double fehl, const Toleranzband& band) override;
    void bogenAufnehmen(const Bogen& bogen) override;
    void abschliessen() override;

private:
    void schreiben(const std::string& text);

    using Uhr = std::chrono::steady_clock;
    const std::string punktdatei_;
    const int ziel_;
    const bool terminal_;
    Uhr::time_point naechste_;  // when the line is written next
    Index anzahl_ = 0;
    bool gezeigt_ = false;
};

}  // namespace bogenkette
