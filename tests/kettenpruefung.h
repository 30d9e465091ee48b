// Checks of a finished run that must hold for every accepted point list, shared by
// the property tests and the fuzz targets.
//
// Kettenmitschrift sits between the fitting and the report and notes every piece
// handed out. ketteUndBerichtPruefen then checks the chain against the rules of
// the fitting (every point covered in order, joining points shared, the two-point
// piece of a failed first trial, the overlap of a last arc through the last three
// points, the kind of every piece, radius errors within fehl, R never negative) and
// the report text against the pieces (17 header lines, 80-character rows with the
// right texts in the right columns, 5-line arc blocks, CR LF after every line,
// nothing after the last block).
#pragma once

#include "geometry/geometrie.h"
#include "geometry/kette.h"
#include "input/kontur.h"

#include <string>
#include <string_view>
#include <vector>

namespace bogenkette {

class Zahlenformat;

// Collects the broken rules a check finds, the first 20 of them.
class Meldungen {
public:
    explicit Meldungen(std::vector<std::string>& ziel) : ziel_(ziel) {}
    void operator()(const std::string& text)
    {
        if (ziel_.size() < 20)
            ziel_.push_back(text);
    }
    bool leer() const { return ziel_.empty(); }

private:
    std::vector<std::string>& ziel_;
};

class Kettenmitschrift : public Bogenempfaenger {
public:
    explicit Kettenmitschrift(Bogenempfaenger& ziel) : ziel_(ziel) {}
    void bogenAufnehmen(const Bogen& bogen) override
    {
        boegen.push_back(bogen);
        ziel_.bogenAufnehmen(bogen);
    }

    std::vector<Bogen> boegen;

private:
    Bogenempfaenger& ziel_;
};

// Checks the chain. Rule violations are appended to `fehler` as text.
void kettePruefen(const Kontur& k, double fehl, const std::vector<Bogen>& boegen,
                  std::vector<std::string>& fehler);

// The chain and the complete report text written for it. Empty when all holds.
std::vector<std::string> ketteUndBerichtPruefen(const Kontur& k, double fehl,
                                                const Zahlenformat& format,
                                                const std::vector<Bogen>& boegen,
                                                std::string_view bericht);

// The 80-character row the report must hold for point p against `kreis`: the four
// three-decimal texts right-aligned at columns 14, 29, 44 and 64, a later text
// overwriting the end of an earlier one it reaches into. Empty when a text would
// start left of column 1 or a value is not finite (the run must then stop).
std::string erwarteteZeile(const Kontur& k, Index p, const Kreis& kreis,
                           const Zahlenformat& format);

}  // namespace bogenkette
