// The tolerance test of the arc chain without testing every point in every trial.
//
// The straightforward test computes, for every point of a trial,
//   abstandQ = (x - a)^2 + (y - b)^2   and fails it when  !(fabs(sqrt(abstandQ) - R) <= fehl).
// This one decides every point exactly as that test does, but
//  - compares abstandQ with a band of squared distances that surely pass, so that
//    only points outside the band need the square root (the test as written);
//  - keeps, for the points of the growing arc, a tree of nodes, each with the
//    bounding box of its points and bounds of their squared distances from the
//    centre they were last measured against. Moved to the new trial's centre (the
//    box bounds how much the squared distances can change), a node whose bounds
//    lie wholly inside the band that surely passes lets all its points pass
//    without looking at them. A leaf also keeps its points' extent along and
//    across its chord, which bounds them far closer than its box when the arc
//    runs aslant. Only the points of nodes that do not pass are tested again,
//    and their bounds drawn tight about the new centre.
// On one long arc, whose circle moves little from trial to trial, a trial thus
// costs the test of its new point and a few ring checks, instead of all points.
// Why no decision can differ from the straightforward test: see the .cpp.
#pragma once

#include "input/kontur.h"

#include <cmath>
#include <vector>

namespace bogenkette {

class Toleranzpruefung {
public:
    Toleranzpruefung(const Kontur& kontur, double fehl) : k_(kontur), fehl_(fehl) {}

    // A new arc starts at point anfang.
    void neuerBogen(Index anfang)
    {
        anfang_ = anfang;
        if (!ebenen_.empty())
            baumLeeren();
    }

    // Whether every point anfang .. e lies within fehl of the circle (a, b, R),
    // decided for every point as the straightforward test decides it. Trials of
    // one arc come in order, each with e one greater than the one before.
    bool passt(Index e, double a, double b, double R);

private:
    // The node's points lie in the box [xMin, xMax] x [yMin, yMax], and their
    // exact squared distances from (a, b) within [qMin, qMax].
    struct Knoten {
        double xMin, xMax, yMin, yMax;
        double a, b, qMin, qMax;
    };
    struct Grenzen {
        double unten, oben;
    };
    // A leaf's points in a frame of their own: through its point m, along the
    // direction w, and across it along w' = (-wy, wx). For the leaf's points p the
    // computed s1 = (p - m).w lie in [s1Min, s1Max], s2 = (p - m).w' in
    // [s2Min, s2Max]. With w along the leaf's chord, s2 spans little more than
    // the arc's sagitta, where the box may be as wide as the chord is long.
    // The frame does not depend on any centre. gueltig is false while w is 0.
    struct Rahmen {
        double mx, my, wx, wy;
        double s1Min, s1Max, s2Min, s2Max;
        bool gueltig;
    };

    double x(Index p) const { return k_.xWert[static_cast<std::size_t>(p)]; }
    double y(Index p) const { return k_.yWert[static_cast<std::size_t>(p)]; }

    void bandSetzen(double a, double b, double R);
    bool punktPasst(Index p, double& abstandQ) const;
    bool punkteTesten(Index von, Index bis, double& qMin, double& qMax) const;

    void baumLeeren();
    void aufnehmen(Index i, double abstandQ);
    bool knotenPruefen(std::size_t ebene, std::size_t j, Grenzen& g);
    bool blattPruefen(std::size_t j);

    Grenzen umsetzen(const Knoten& n) const;
    Grenzen rahmenUmsetzen(const Knoten& n, const Rahmen& r) const;
    static Grenzen verschoben(const Knoten& n, double kMin, double kMax, double d2, double terme);
    void rahmenSetzen(std::size_t j, Index punkte);
    void rahmenErweitern(Rahmen& r, Index p) const;
    Knoten vereinigung(std::size_t ebene, std::size_t j) const;
    void einschliessen(Knoten& n, Index p) const;
    static void boxErweitern(Knoten& n, const Knoten& r);

    const Kontur& k_;
    const double fehl_;
    Index anfang_ = 1;

    // The trial's circle and its bands: a squared distance computed as the test
    // computes it within [qUnten_, qOben_], and an exact squared distance within
    // [QUnten_, QOben_], surely pass.
    double a_ = 0, b_ = 0, R_ = 0;
    double qUnten_ = 0, qOben_ = 0, QUnten_ = 0, QOben_ = 0;
    bool bandGueltig_ = false;

    // ebenen_[0][j] holds the points anfang_ + j * blatt .. + blatt - 1; node j
    // of level L + 1 holds nodes 2j and 2j + 1 of level L. The top level has one
    // node. The points anfang_ .. anfang_ + imBaum_ - 1 are in the tree.
    std::vector<std::vector<Knoten>> ebenen_;
    std::vector<Rahmen> rahmen_;  // the frame of each leaf
    Index imBaum_ = 0;
};

}  // namespace bogenkette
