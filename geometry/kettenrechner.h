// The course of the arc chain, shared by every way of fitting it: arcs growing by
// trials, a failing trial closing the arc with the trial before it, a failed first
// trial giving a straight piece of two points, and the two endings at the last
// point. How a trial finds its middle point and tests its points is left to
// `Versuche`, which offers
//   void neuerBogen(Index anfang)                       a new arc starts at anfang;
//   Index mitte(Index e)                                the middle point of anfang .. e;
//   bool passt(Index e, double a, double b, double R)   every point of anfang .. e
//                                                       within fehl of the circle.
// Trials of one arc come in order, each with e one greater than the one before.
#pragma once

#include "geometry/geometrie.h"
#include "geometry/kette.h"

namespace bogenkette {

template <class Versuche>
class Kettenrechner {
public:
    Kettenrechner(Kontur& kontur, Kettenausgabe& ausgabe, Versuche& versuche)
        : k_(kontur), aus_(ausgabe), versuche_(versuche)
    {
    }

    void rechnen()
    {
        letzter_ = 0;
        anfang_ = 0;
        versuch_ = 0;
        for (;;) {
            // New arc: it starts at the last point of the arc reported before.
            anfang_ = anfang_ + 1 + versuch_;
            versuch_ = -1;
            versuche_.neuerBogen(anfang_);
            bool passt = true;
            while (passt) {
                ++versuch_;
                const Index e = anfang_ + 2 + versuch_;
                if (e == k_.anzahl)
                    letzter_ = 1;
                mitte_ = versuche_.mitte(e);
                kreisSpeichern(versuch_, anfang_, mitte_, e);
                const auto v = static_cast<std::size_t>(versuch_);
                passt = versuche_.passt(e, k_.kreisA[v], k_.kreisB[v], k_.kreisR[v]);
                if (passt && letzter_ == 1) {
                    bogenSchreiben(anfang_, k_.anzahl, versuch_);
                    return;
                }
            }
            const Index e = anfang_ + 2 + versuch_;
            if (versuch_ == 0) {
                // The first trial failed: a straight piece of two points.
                setzeKreis(0, {kollinearWert, kollinearWert, kollinearWert});
                bogenSchreiben(anfang_, anfang_ + 1, 0);
            } else {
                bogenSchreiben(anfang_, e - 1, versuch_ - 1);
            }
            if (letzter_ == 1) {
                letzterBogen(versuch_ == 0 ? 0 : versuch_ - 1);
                return;
            }
        }
    }

private:
    double x(Index p) const { return k_.xWert[static_cast<std::size_t>(p)]; }
    double y(Index p) const { return k_.yWert[static_cast<std::size_t>(p)]; }

    void setzeKreis(Index v, const Kreis& kreis)
    {
        const auto i = static_cast<std::size_t>(v);
        k_.kreisA[i] = kreis.a;
        k_.kreisB[i] = kreis.b;
        k_.kreisR[i] = kreis.R;
    }

    void kreisSpeichern(Index v, Index p1, Index p2, Index p3)
    {
        setzeKreis(v, kreisDurch3Punkte(x(p1), x(p2), x(p3), y(p1), y(p2), y(p3)));
    }

    void bogenSchreiben(Index von, Index bis, Index c)
    {
        for (Index p = von; p <= bis; ++p)
            aus_.zeileSchreiben(p, c);
        aus_.kreisblockSchreiben(c);
    }

    // The trial that reached the last point failed: the last three points get
    // their own circle, without middle-point search and without tolerance test.
    void letzterBogen(Index c)
    {
        const Index n = k_.anzahl;
        kreisSpeichern(c, n - 2, n - 1, n);
        bogenSchreiben(n - 2, n, c);
    }

    Kontur& k_;
    Kettenausgabe& aus_;
    Versuche& versuche_;

    Index anfang_ = 0;
    Index versuch_ = 0;
    int letzter_ = 0;
    Index mitte_ = 0;
};

}  // namespace bogenkette
