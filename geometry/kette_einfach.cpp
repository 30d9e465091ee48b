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

    // The highest index of anfang .. e whose x is nearest to the mean x of the
    // first and the end point.
    Index mitte(Index e) const
    {
        const double xMitte = (x(anfang_) + x(e)) / 2;
        double abstandMin = std::fabs(x(anfang_) - xMitte);
        Index mitte = anfang_;
        for (Index k = anfang_; k <= e; ++k) {
            const double abstand = std::fabs(x(k) - xMitte);
            if (abstand <= abstandMin) {
                abstandMin = abstand;
                mitte = k;
            }
        }
        return mitte;
    }

    // A deviation equal to fehl passes; one that cannot be computed fails.
    bool passt(Index e, const Kreis& kreis) const
    {
        for (Index i = anfang_; i <= e; ++i) {
            const double dx = x(i) - kreis.a;
            const double dy = y(i) - kreis.b;
            const double abstandQ = dx * dx + dy * dy;
            if (!(std::fabs(std::sqrt(abstandQ) - kreis.R) <= fehl_))
                return false;
        }
        return true;
    }

private:
    double x(Index p) const { return k_.xWert[static_cast<std::size_t>(p)]; }
    double y(Index p) const { return k_.yWert[static_cast<std::size_t>(p)]; }

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

}  // namespace bogenkette
