#include "bench/kette_einfach.h"

#include "geometry/geometrie.h"

#include <cmath>

namespace bogenkette {

namespace {

// The state of one fitting run: the arc being built and its current trial.
class Kettenrechner {
public:
    Kettenrechner(Kontur& kontur, double fehl, Kettenausgabe& ausgabe)
        : k_(kontur), fehl_(fehl), aus_(ausgabe)
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
            bool passt = true;
            while (passt) {
                ++versuch_;
                const Index e = anfang_ + 2 + versuch_;
                if (e == k_.anzahl)
                    letzter_ = 1;
                mittelpunktSuchen(e);
                kreisSpeichern(versuch_, anfang_, mitte_, e);
                passt = versuchPasst(e);
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

    // mitte = the highest index of anfang .. e whose x is nearest to the mean x
    // of the first and the end point.
    void mittelpunktSuchen(Index e)
    {
        xMitte_ = (x(anfang_) + x(e)) / 2;
        abstandMin_ = std::fabs(x(anfang_) - xMitte_);
        for (Index k = anfang_; k <= e; ++k) {
            const double abstand = std::fabs(x(k) - xMitte_);
            if (abstand <= abstandMin_) {
                abstandMin_ = abstand;
                mitte_ = k;
            }
        }
    }

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

    // Every point of the trial within fehl of its circle (a deviation equal to
    // fehl passes). A deviation that cannot be computed (not a number) fails.
    bool versuchPasst(Index e) const
    {
        const auto v = static_cast<std::size_t>(versuch_);
        const double a = k_.kreisA[v], b = k_.kreisB[v], R = k_.kreisR[v];
        for (Index i = anfang_; i <= e; ++i) {
            const double dx = x(i) - a;
            const double dy = y(i) - b;
            const double abstandQ = dx * dx + dy * dy;
            if (!(std::fabs(std::sqrt(abstandQ) - R) <= fehl_))
                return false;
        }
        return true;
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
    const double fehl_;
    Kettenausgabe& aus_;

    Index anfang_ = 0;
    Index versuch_ = 0;
    int letzter_ = 0;
    Index mitte_ = 0;
    double xMitte_ = 0.0;
    double abstandMin_ = 0.0;
};

}  // namespace

void berechneKetteEinfach(Kontur& kontur, double fehl, Kettenausgabe& ausgabe)
{
    Kettenrechner(kontur, fehl, ausgabe).rechnen();
}

}  // namespace bogenkette
