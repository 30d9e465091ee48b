#include "geometry/kette_einfach.h"

#include "geometry/kettenrechner.h"

#include <cmath>

namespace bogenkette {

namespace {

// Trials that scan all of their points, for the middle point and for the test.
class EinfacheVersuche {
public:
    EinfacheVersuche(const Kontur& kontur, double fehl) : k_(kontur), fehl_(fehl) {}

    void neuerBogen(Index anfang) { anfang_ = anfang; }
    Index mitte(Index e) const { return mitteSuchen(k_, anfang_, e); }
    bool passt(Index e, const Kreis& kreis) const
    {
        return alleInnerhalb(k_, anfang_, e, kreis, fehl_);
    }

private:
    const Kontur& k_;
    const double fehl_;
    Index anfang_ = 1;
};

}  // namespace

void berechneKetteEinfach(const Kontur& kontur, double fehl, Bogenempfaenger& empfaenger)
{
    EinfacheVersuche versuche(kontur, fehl);
    Kettenrechner<EinfacheVersuche>(kontur, empfaenger, versuche).rechnen();
}

Index mitteSuchen(const Kontur& k, Index anfang, Index e)
{
    const auto x = [&](Index p) { return k.xWert[static_cast<std::size_t>(p)]; };
    const double xMitte = (x(anfang) + x(e)) / 2;
    double abstandMin = std::fabs(x(anfang) - xMitte);
    Index mitte = anfang;
    for (Index i = anfang; i <= e; ++i) {
        const double abstand = std::fabs(x(i) - xMitte);
        if (abstand <= abstandMin) {
            abstandMin = abstand;
            mitte = i;
        }
    }
    return mitte;
}

bool alleInnerhalb(const Kontur& k, Index anfang, Index e, const Kreis& kreis, double fehl)
{
    for (Index i = anfang; i <= e; ++i) {
        const double dx = k.xWert[static_cast<std::size_t>(i)] - kreis.a;
        const double dy = k.yWert[static_cast<std::size_t>(i)] - kreis.b;
        const double abstandQ = dx * dx + dy * dy;
        if (!(std::fabs(std::sqrt(abstandQ) - kreis.R) <= fehl))
            return false;
    }
    return true;
}

}  // namespace bogenkette
