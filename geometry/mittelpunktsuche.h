// The middle-point search of the arc chain in logarithmic time per trial.
//
// A trial over the points anfang .. e takes as its middle point the HIGHEST index
// k among those whose computed distance fabs(xWert(k) - xMitte) is smallest, with
// xMitte = (xWert(anfang) + xWert(e)) / 2. The straightforward search scans all
// points of the trial; this one keeps the x values of the arc's points sorted
// (SortierteX) and looks only at the nearest x values on either side of xMitte;
// while the arc's x values run one way only, a binary search over the points
// themselves does. The result is the scan's result, rounding ties and repeated x
// values included (see the .cpp for why). Only x values that are not numbers
// make it scan.
#pragma once

#include "geometry/kette_einfach.h"
#include "input/kontur.h"

#include <cmath>
#include <vector>

namespace bogenkette {

// The x values of consecutive points, sorted, in blocks of bounded size, so that
// inserting costs a short move and finding costs two binary searches. Entries of
// equal x stand in the order they were inserted, so that the last of a run of
// equal x values has the highest index when indices are inserted in ascending order.
class SortierteX {
public:
    struct Eintrag {
        double x;
        Index k;
    };
    // A place in the sorted order: block and position in it.
    struct Stelle {
        std::size_t block = 0, pos = 0;
    };

    void leeren();
    // Inserts after every entry whose x is not greater. x must not be NaN.
    void einfuegen(double x, Index k);

    // The first entry whose x is >= wert, or ende().
    Stelle untereGrenze(double wert) const;
    // The first entry whose x is > wert, or ende().
    Stelle obereGrenze(double wert) const;
    Stelle anfang() const { return {0, 0}; }
    Stelle ende() const { return {bloecke_.size(), 0}; }
    bool gleich(Stelle s, Stelle t) const { return s.block == t.block && s.pos == t.pos; }
    Stelle naechste(Stelle s) const;
    Stelle vorige(Stelle s) const;  // s must not be anfang()
    const Eintrag& eintrag(Stelle s) const { return bloecke_[s.block][s.pos]; }

private:
    static constexpr std::size_t blockgroesse = 64;
    std::vector<std::vector<Eintrag>> bloecke_;
    std::vector<double> groesstesX_;  // last (largest) x of each block
};

class Mittelpunktsuche {
public:
    explicit Mittelpunktsuche(const Kontur& kontur) : k_(kontur) {}

    // A new arc starts at point anfang; its first trial ends at anfang + 2.
    void neuerBogen(Index anfang)
    {
        anfang_ = anfang;
        eingefuegt_ = anfang - 1;
        sortierbar_ = true;
        sortiert_.leeren();
        geprueft_ = anfang;
        steigend_ = fallend_ = true;
        letztesC_ = anfang;
    }

    // The middle point of the trial anfang .. e. Trials of one arc come in order,
    // each with e one greater than the one before.
    Index suchen(Index e)
    {
        const double xMitte = (x(anfang_) + x(e)) / 2;
        if (!sortierbar_)
            return mitteSuchen(k_, anfang_, e);
        return schnellSuchen(e, xMitte);
    }

private:
    double x(Index p) const { return k_.xWert[static_cast<std::size_t>(p)]; }

    Index schnellSuchen(Index e, double xMitte);
    Index sortiertSuchen(double xMitte) const;
    Index monotonSuchen(Index e, double xMitte);

    const Kontur& k_;
    Index anfang_ = 1;
    Index eingefuegt_ = 0;  // last point in sortiert_, anfang_ - 1 when empty
    bool sortierbar_ = true;
    // Whether x never falls (never rises) from anfang_ to geprueft_.
    Index geprueft_ = 1;
    bool steigend_ = true, fallend_ = true;
    Index letztesC_ = 1;  // where the last monotone search found the far side
    SortierteX sortiert_;
};

}  // namespace bogenkette
