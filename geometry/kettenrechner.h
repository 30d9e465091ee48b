// The course of the arc chain, shared by every way of fitting it: arcs growing by
// trials, a failing trial closing the arc with the trial before it, a failed first
// trial giving a straight piece of two points, and the two endings at the last
// point. How a trial finds its middle point and tests its points is left to
// `Versuche`, which offers
//   void neuerBogen(Index anfang)           a new arc starts at anfang;
//   Index mitte(Index e)                    the middle point of anfang .. e;
//   bool passt(Index e, const Kreis& k)     every point of anfang .. e within fehl of k.
// Trials of one arc come in order, each with e one greater than the one before.
#pragma once

#include "geometry/geometrie.h"
#include "geometry/kette.h"

namespace bogenkette {

template <class Versuche>
class Kettenrechner {
public:
    Kettenrechner(const Kontur& kontur, Bogenempfaenger& empfaenger, Versuche& versuche)
        : k_(kontur), aus_(empfaenger), versuche_(versuche)
    {
    }

    void rechnen()
    {
        const Index anzahl = k_.anzahl;
        bool letzter = false;  // a trial has reached the last point
        Index anfang = 0;
        Index versuch = 0;
        for (;;) {
            // New arc: it starts at the last point of the arc handed out before.
            anfang = anfang + 1 + versuch;
            versuch = -1;
            versuche_.neuerBogen(anfang);
            Kreis passend;  // the circle of the last trial that fitted
            for (;;) {
                ++versuch;
                const Index e = anfang + 2 + versuch;
                if (e == anzahl)
                    letzter = true;
                const Kreis kreis = kreisDurch(anfang, versuche_.mitte(e), e);
                if (!versuche_.passt(e, kreis))
                    break;
                if (letzter) {
                    aus_.bogenAufnehmen({anfang, anzahl, kreis, Bogen::Art::kreisbogen});
                    return;
                }
                passend = kreis;
            }
            const Index e = anfang + 2 + versuch;
            if (versuch == 0)
                aus_.bogenAufnehmen({anfang, anfang + 1, entarteterKreis, Bogen::Art::gerade});
            else
                aus_.bogenAufnehmen({anfang, e - 1, passend, Bogen::Art::kreisbogen});
            if (letzter) {
                // The last point is left: an arc through the last three points.
                const Kreis schluss = kreisDurch(anzahl - 2, anzahl - 1, anzahl);
                aus_.bogenAufnehmen({anzahl - 2, anzahl, schluss, Bogen::Art::schluss});
                return;
            }
        }
    }

private:
    double x(Index p) const { return k_.xWert[static_cast<std::size_t>(p)]; }
    double y(Index p) const { return k_.yWert[static_cast<std::size_t>(p)]; }

    Kreis kreisDurch(Index p1, Index p2, Index p3) const
    {
        return kreisDurch3Punkte(x(p1), x(p2), x(p3), y(p1), y(p2), y(p3));
    }

    const Kontur& k_;
    Bogenempfaenger& aus_;
    Versuche& versuche_;
};

}  // namespace bogenkette
